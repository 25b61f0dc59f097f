// The rename commands in the main window: each menu item runs its command
// (or shows its topic in help mode) with the window's count, the progress bar
// follows the walk, "Save Edited" renames from the name box, and "Rename All
// Files" shows one modeless dialog.
#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <set>

#include "app/program/InstallRenameCommands.h"
#include "rename/renameall.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::Answer;
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
  void reply(const std::vector<std::string>& replies) {
    for (const std::string& text : replies) {
      if (text.starts_with('=')) test.dialogs.type(text.substr(1));
      for (Answer answer : {Answer::Yes, Answer::No, Answer::Ok, Answer::Cancel}) {
        if (text == platform::testing::answerName(answer)) test.dialogs.answer(answer);
      }
    }
  }
  Names names() { return testing::namesIn(browsed.path()); }
  std::vector<std::string> listed() {
    std::vector<std::string> result;
    for (int i = 0; i < window->fileList().listCount(); ++i)
      result.push_back(window->fileList().entryName(i));
    return result;
  }

  RenameCommands* commands = nullptr;
};

TEST_F(RenameWindowTest, EveryItemRunsItsCommandOrShowsItsTopicInHelpMode) {
  startWith({"My_Song01.MP3"});
  const struct {
    const char* item;
    int topic;
    std::vector<std::string> replies;
    const char* after;  // none: the numbered dialog opens (last)
    int count = 0;      // the window's count afterwards
  } items[] = {
      {"renameextension", 15, {"=wav", "Yes"}, "My_Song01.wav"},
      {"renamesingle", 17, {"Yes", "=x.mp3"}, "x.mp3"},
      {"removechars", 18, {"=_", "= ", "OK"}, "My Song01.MP3"},
      {"converup", 19, {"Yes"}, "MY_SONG01.MP3"},
      {"convertlow", 20, {"Yes"}, "my_song01.mp3"},
      {"titlecase", 21, {"Yes"}, "My_song01.mp3"},
      {"RemoveLeftMost", 42, {"=3", "OK"}, "Song01.MP3", 3},
      {"RemoveRightMost", 43, {"=", "OK"}, "My_Son.MP3", 3},  // the count kept
      {"RemoveRightMost", 43, {"=2", "OK"}, "My_Song.MP3", 2},
      {"mmost", 44, {"=3", "=1", "OK"}, "MySong01.MP3", 1},
      {"renameallfiles", 16, {}, nullptr, 1},
  };
  for (const auto& c : items) {
    SCOPED_TRACE(c.item);
    window->fileList().selectAllEntries();
    window->fileList().setListIndex(0);
    test.dialogs.clear();
    choose("sensitivehelp");
    choose(c.item);
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.calls()[0].message.title, "Help!");
    EXPECT_EQ(test.dialogs.calls()[0].message.text, topicText(c.topic));
    EXPECT_FALSE(window->helpMode().isOn());
    EXPECT_EQ(names(), Names{"My_Song01.MP3"});
    EXPECT_EQ(commands->numberedDialog(), nullptr);

    reply(c.replies);
    choose(c.item);
    EXPECT_EQ(commands->numbers().count, c.count);
    if (!c.after) {
      EXPECT_NE(commands->numberedDialog(), nullptr);
      continue;
    }
    EXPECT_EQ(names(), Names{c.after});
    EXPECT_EQ(listed(), std::vector<std::string>{c.after});
    std::filesystem::rename(browsed.file(c.after), browsed.file("My_Song01.MP3"));
    window->rereadFileList();
  }
}

// The progress bar shows the position in the list and ends at 0; the
// extension change leaves it alone.
TEST_F(RenameWindowTest, ProgressBarFollowsTheWalk) {
  for (int i = 0; i < 10; ++i) browsed.write("f" + std::to_string(i) + ".txt");
  startWith({});
  window->fileList().setSelected(9, true);
  std::vector<int> values;
  QObject::connect(&window->progressBar(), &QProgressBar::valueChanged,
                   [&values](int value) { values.push_back(value); });
  test.dialogs.answer(Answer::Yes);
  choose("converup");
  EXPECT_EQ(window->progressBar().maximum(), 10);
  EXPECT_EQ(values, (std::vector<int>{9, 0}));
  EXPECT_EQ(window->countBox().text(), "10");
  window->fileList().selectAllEntries();
  window->progressBar().setMaximum(77);
  test.dialogs.type("wav").answer(Answer::Yes);
  choose("renameextension");
  EXPECT_EQ(window->progressBar().maximum(), 77);
}

// "Save Edited" renames the current entry to the name box's text, then
// empties the box and disables the button.
TEST_F(RenameWindowTest, SaveEditedRenamesTheCurrentEntry) {
  startWith({"song.mp3"});
  clickEntry(0);
  ASSERT_EQ(window->nameBox().text(), "song.mp3");
  window->nameBox().setText("Song.mp3");
  ASSERT_TRUE(window->saveEditedButton().isEnabled());
  test.dialogs.answer(Answer::Yes);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text,
            "Rename:\r\n" + browsed.file("song.mp3") + "\r\nTo:\r\n" + browsed.file("Song.mp3"));
  EXPECT_EQ(listed(), std::vector<std::string>{"Song.mp3"});
  EXPECT_EQ(window->nameBox().text(), "");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
}

TEST_F(RenameWindowTest, RenameAllFilesShowsOneModelessDialogClosedWithTheWindow) {
  startWith({"a.mp3"});
  choose("renameallfiles");
  QPointer<renameall> dialog = commands->numberedDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  choose("renameallfiles");
  EXPECT_EQ(commands->numberedDialog(), dialog);
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(!dialog || !dialog->isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

}  // namespace
}  // namespace brindle::rename
