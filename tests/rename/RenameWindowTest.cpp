// The rename commands in the main window: the menu items run them (or show
// their topics in help mode), the progress bar follows the walk, and the
// "Save Edited" button renames from the name box.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <set>

#include "app/program/InstallRenameCommands.h"
#include "rename/renameall.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::Answer;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using Names = std::set<std::string>;

class RenameWindowTest : public app::MainWindowFixture {
 protected:
  void startWith(std::initializer_list<const char*> names) {
    for (const char* name : names) browsed.write(name, name);
    start();
    commands = &installRenameCommands(*window);
  }
  void choose(const char* item) { window->menuItem(item)->trigger(); }
  Names names() { return testing::namesIn(browsed.path()); }
  std::vector<std::string> listed() {
    std::vector<std::string> result;
    for (int i = 0; i < window->fileList().listCount(); ++i) {
      result.push_back(window->fileList().entryName(i));
    }
    return result;
  }

  RenameCommands* commands = nullptr;
};

TEST_F(RenameWindowTest, EveryRenameItemShowsItsTopicInHelpMode) {
  startWith({"Song.MP3"});
  const std::pair<const char*, int> items[] = {
      {"renameextension", 15}, {"renameallfiles", 16}, {"renamesingle", 17}, {"removechars", 18},
      {"converup", 19},        {"convertlow", 20},     {"titlecase", 21},    {"RemoveLeftMost", 42},
      {"RemoveRightMost", 43}, {"mmost", 44},
  };
  for (const auto& [item, topic] : items) {
    SCOPED_TRACE(item);
    window->fileList().selectAllEntries();
    window->fileList().setListIndex(0);
    test.dialogs.clear();
    choose("sensitivehelp");
    choose(item);
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.calls()[0].message.title, "Help!");
    EXPECT_EQ(test.dialogs.calls()[0].message.text, topicText(topic));
    EXPECT_FALSE(window->helpMode().isOn());
  }
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::Rename).empty());
  EXPECT_EQ(commands->numberedDialog(), nullptr);
  EXPECT_EQ(names(), Names{"Song.MP3"});
}

TEST_F(RenameWindowTest, LowerCaseFromTheMenuRenamesAndRereadsTheList) {
  startWith({"A.MP3", "b.Txt", "Keep.TXT"});
  window->fileList().setSelected(0, true);
  window->fileList().setSelected(1, true);
  test.dialogs.answer(Answer::Yes);
  choose("convertlow");
  EXPECT_EQ(names(), (Names{"a.mp3", "b.txt", "Keep.TXT"}));
  EXPECT_EQ(listed(), (std::vector<std::string>{"a.mp3", "b.txt", "Keep.TXT"}));
  EXPECT_EQ(window->fileList().selectedCount(), 0);
  EXPECT_EQ(window->countBox().text(), "3");
}

TEST_F(RenameWindowTest, ProgressBarShowsThePositionAndEndsAtZero) {
  for (int i = 0; i < 10; ++i) {
    const std::string number = std::to_string(i);
    browsed.write("f" + number + ".txt");
  }
  start();
  installRenameCommands(*window);
  window->fileList().setSelected(9, true);
  std::vector<int> values;
  QObject::connect(&window->progressBar(), &QProgressBar::valueChanged,
                   [&values](int value) { values.push_back(value); });
  test.dialogs.answer(Answer::Yes);
  choose("converup");
  EXPECT_EQ(window->progressBar().maximum(), 10);
  EXPECT_EQ(values, (std::vector<int>{9, 0}));
  EXPECT_EQ(window->progressBar().value(), 0);
  EXPECT_TRUE(names().count("F9.TXT"));
}

TEST_F(RenameWindowTest, EmptyListDoesNotLeaveABusyProgressBar) {
  startWith({});
  test.dialogs.answer(Answer::Yes);
  choose("titlecase");
  EXPECT_GT(window->progressBar().maximum(), 0);
  EXPECT_EQ(window->progressBar().value(), 0);
}

TEST_F(RenameWindowTest, CountIsAMemberOfTheWindowKeptBetweenCommands) {
  startWith({"Song01.mp3"});
  window->fileList().selectAllEntries();
  test.dialogs.type("2").answer(Answer::Ok);
  choose("RemoveRightMost");
  EXPECT_EQ(names(), Names{"Song.mp3"});
  EXPECT_EQ(commands->numbers().count, 2);
  test.dialogs.type("").answer(Answer::Cancel);
  choose("mmost");
  EXPECT_EQ(commands->numbers().count, 0);
}

TEST_F(RenameWindowTest, SingleRenameOfTheCurrentEntry) {
  startWith({"a.txt", "b.txt"});
  clickEntry(1);
  test.dialogs.answer(Answer::Yes).type("c.txt");
  choose("renamesingle");
  EXPECT_EQ(names(), (Names{"a.txt", "c.txt"}));
  EXPECT_EQ(listed(), (std::vector<std::string>{"a.txt", "c.txt"}));
}

TEST_F(RenameWindowTest, ExtensionChangeLeavesTheProgressBarAlone) {
  startWith({"a.mp3", "b.mp3"});
  window->fileList().selectAllEntries();
  window->progressBar().setMaximum(77);
  test.dialogs.type("wav").answer(Answer::Yes);
  choose("renameextension");
  EXPECT_EQ(names(), (Names{"a.wav", "b.wav"}));
  EXPECT_EQ(window->progressBar().maximum(), 77);
}

TEST_F(RenameWindowTest, SaveEditedRenamesTheCurrentEntry) {
  startWith({"song.mp3", "other.mp3"});
  clickEntry(1);
  ASSERT_EQ(window->nameBox().text(), "song.mp3");
  window->nameBox().setText("Song.mp3");
  ASSERT_TRUE(window->saveEditedButton().isEnabled());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->nameBox().setFocus();
  test.dialogs.answer(Answer::Yes);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text,
            "Rename:\r\n" + browsed.file("song.mp3") + "\r\nTo:\r\n" + browsed.file("Song.mp3"));
  EXPECT_EQ(names(), (Names{"other.mp3", "Song.mp3"}));
  EXPECT_EQ(listed(), (std::vector<std::string>{"other.mp3", "Song.mp3"}));
  EXPECT_EQ(window->nameBox().text(), "");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), &window->fileList());
}

TEST_F(RenameWindowTest, SaveEditedAnsweredNoPutsTheNameBack) {
  startWith({"song.mp3"});
  clickEntry(0);
  window->nameBox().setText("x.mp3");
  test.dialogs.answer(Answer::No);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(window->nameBox().text(), "song.mp3");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
  EXPECT_EQ(names(), Names{"song.mp3"});
}

TEST_F(RenameWindowTest, SaveEditedWithBlanksOnlyDisablesTheButton) {
  startWith({"song.mp3"});
  clickEntry(0);
  window->nameBox().setText("   ");
  ASSERT_TRUE(window->saveEditedButton().isEnabled());
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
}

TEST_F(RenameWindowTest, SaveEditedThatFailsTellsTheUser) {
  startWith({"a.mp3", "b.mp3"});
  clickEntry(0);
  window->nameBox().setText("b.mp3");
  test.dialogs.answer(Answer::Yes);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  ASSERT_EQ(test.dialogs.calls().size(), 2u);
  EXPECT_EQ(test.dialogs.calls()[1].message.icon, platform::Icon::Critical);
  EXPECT_EQ(browsed.read(browsed.file("b.mp3")), "b.mp3");
  EXPECT_EQ(listed(), (std::vector<std::string>{"a.mp3", "b.mp3"}));
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
}

TEST_F(RenameWindowTest, SaveEditedIgnoresHelpMode) {
  startWith({"song.mp3"});
  clickEntry(0);
  window->nameBox().setText("x.mp3");
  choose("sensitivehelp");
  test.dialogs.answer(Answer::Yes);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(names(), Names{"x.mp3"});
}

// A name that is not UTF-8, shown unchanged in the name box, keeps its bytes:
// the question compares the real names, not what the box displays.
TEST_F(RenameWindowTest, SaveEditedKeepsTheBytesOfANameThatIsNotUtf8) {
  startWith({"\xE9.mp3", "\xE8.mp3"});
  clickEntry(1);
  ASSERT_EQ(window->fileList().currentName(), "\xE9.mp3");
  window->saveEditedButton().setEnabled(true);
  test.dialogs.answer(Answer::Yes);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  ASSERT_EQ(test.dialogs.calls().size(), 2u);
  EXPECT_EQ(test.dialogs.calls()[1].message.text, "Names must be different!");
  EXPECT_EQ(names(), (Names{"\xE8.mp3", "\xE9.mp3"}));
}

TEST_F(RenameWindowTest, RenameAllFilesShowsOneModelessDialog) {
  startWith({"a.mp3"});
  choose("renameallfiles");
  renameall* dialog = commands->numberedDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), "Rename Files");
  choose("renameallfiles");
  EXPECT_EQ(commands->numberedDialog(), dialog);
}

TEST_F(RenameWindowTest, ClosingTheMainWindowClosesTheDialog) {
  startWith({"a.mp3"});
  choose("renameallfiles");
  QPointer<renameall> dialog = commands->numberedDialog();
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(!dialog || !dialog->isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

}  // namespace
}  // namespace brindle::rename
