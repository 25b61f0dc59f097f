// The numbered rename dialog offscreen: controls, defaults, the start-number
// list, the two layouts, the preview, Accept and Abort, and help mode on
// every control with a topic.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <set>

#include "app/program/InstallRenameCommands.h"
#include "rename/core/RememberedNumbering.h"
#include "rename/renameall.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::Answer;
using Names = std::set<std::string>;

class RenameAllDialogTest : public app::MainWindowFixture {
 protected:
  void open(std::initializer_list<const char*> files = {}) {
    for (const char* name : files) browsed.write(name, name);
    start();
    commands = &installRenameCommands(*window);
    dialog = &commands->showNumberedDialog();
  }
  template <class Widget>
  Widget& control(const char* name) {
    auto* widget = dialog->findChild<Widget*>(name);
    if (!widget) ADD_FAILURE() << "no control " << name;
    return *widget;
  }
  QComboBox& combo() { return control<QComboBox>("Combo1"); }
  QLineEdit& result() { return control<QLineEdit>("result"); }
  void click(QWidget& widget) { QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(5, 5)); }
  void helpOn() {
    click(control<QPushButton>("helper"));
    ASSERT_TRUE(dialog->helpMode().isOn());
  }
  Names names() { return testing::namesIn(browsed.path()); }
  void unloadPending() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  RenameCommands* commands = nullptr;
  renameall* dialog = nullptr;
};

TEST_F(RenameAllDialogTest, ControlsWithCaptionsTooltipsAndDefaults) {
  open();
  EXPECT_EQ(control<QGroupBox>("Frame1").title(), "Name Options");
  EXPECT_EQ(control<QGroupBox>("Frame2").title(), "Number Positions");
  EXPECT_EQ(control<QGroupBox>("Frame3").title(), "Dividing Character");
  const std::pair<const char*, const char*> options[] = {{"Option1", "Common"},
                                                         {"Option2", "Unique (as is )"},
                                                         {"Option3", "Left"},
                                                         {"Option4", "Right"}};
  for (const auto& [name, caption] : options)
    EXPECT_EQ(control<QRadioButton>(name).text(), caption);
  EXPECT_EQ(control<QRadioButton>("Option1").toolTip(), "All named the same with numbers added!");
  EXPECT_EQ(control<QRadioButton>("Option2").toolTip(),
            "Names stay the same as original with numbering added!");
  EXPECT_EQ(control<QRadioButton>("Option3").toolTip(),
            "Numbers will be added to the left of filename!");
  EXPECT_EQ(control<QRadioButton>("Option4").toolTip(),
            "Numbers will be added to the right of filename!");
  EXPECT_EQ(control<QLineEdit>("Text2").toolTip(),
            "Character to add between filename and numbers!");
  EXPECT_EQ(control<QLineEdit>("Text2").text(), "");
  EXPECT_EQ(control<QLabel>("label2").text(), "Common Filename");
  EXPECT_EQ(control<QLineEdit>("Text1").text(), "file");
  EXPECT_EQ(control<QLabel>("Label1").text(), "Start numbering at?");
  EXPECT_EQ(control<QLabel>("Label3").text(), "Result");
  EXPECT_EQ(result().text(), "file 01.ext");
  EXPECT_EQ(control<QPushButton>("Accept").text(), "Accept");
  EXPECT_EQ(control<QPushButton>("Abort").text(), "Abort");
  EXPECT_EQ(control<QPushButton>("helper").text(), "(?)");
  EXPECT_TRUE(control<QRadioButton>("Option1").isChecked());
  EXPECT_TRUE(control<QRadioButton>("Option3").isChecked());
  EXPECT_TRUE(combo().isEditable());
  EXPECT_EQ(combo().currentText(), "01");
}

TEST_F(RenameAllDialogTest, StartNumberListRunsFrom00To999) {
  open();
  ASSERT_EQ(combo().count(), 1000);
  EXPECT_EQ(combo().itemText(0), "00");
  EXPECT_EQ(combo().itemText(9), "09");
  EXPECT_EQ(combo().itemText(10), "10");
  EXPECT_EQ(combo().itemText(99), "99");
  EXPECT_EQ(combo().itemText(999), "999");
}

TEST_F(RenameAllDialogTest, TwoLayouts) {
  open();
  auto shown = [&](const char* name) { return control<QWidget>(name).isVisible(); };
  EXPECT_TRUE(dialog->showsCommonLayout());
  for (const char* name : {"Text1", "label2", "Label3", "result"}) EXPECT_TRUE(shown(name)) << name;
  for (const char* name : {"Frame2", "Frame3"}) EXPECT_FALSE(shown(name)) << name;
  EXPECT_EQ(control<QLabel>("Label1").y(), 360 / 15);
  EXPECT_EQ(combo().y(), 600 / 15);

  click(control<QRadioButton>("Option2"));
  EXPECT_FALSE(dialog->showsCommonLayout());
  for (const char* name : {"Text1", "label2", "Label3", "result"})
    EXPECT_FALSE(shown(name)) << name;
  for (const char* name : {"Frame2", "Frame3"}) EXPECT_TRUE(shown(name)) << name;
  EXPECT_EQ(control<QLabel>("Label1").y(), 1680 / 15);
  EXPECT_EQ(combo().y(), 1920 / 15);

  click(control<QRadioButton>("Option1"));
  EXPECT_TRUE(dialog->showsCommonLayout());
  EXPECT_EQ(combo().y(), 600 / 15);
}

TEST_F(RenameAllDialogTest, PreviewShowsTheCommonRuleWithTheStartAsTyped) {
  open();
  control<QLineEdit>("Text1").setText("song");
  EXPECT_EQ(result().text(), "song 01.ext");
  combo().setEditText("001");
  EXPECT_EQ(result().text(), "song 001.ext");
  combo().setCurrentIndex(12);
  EXPECT_EQ(result().text(), "song 12.ext");
  click(control<QRadioButton>("Option2"));
  combo().setEditText("7");
  EXPECT_EQ(result().text(), "song 7.ext");
}

TEST_F(RenameAllDialogTest, AcceptRenamesTheSelectionAndHides) {
  open({"a.mp3", "b.mp3", "c.wav", "d.txt"});
  for (int i = 0; i < 3; ++i) window->fileList().setSelected(i, true);
  control<QLineEdit>("Text1").setText("song");
  combo().setEditText("001");
  test.dialogs.answer(Answer::Yes);
  click(control<QPushButton>("Accept"));
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text, "RENAME ALL SELECTED FILES?");
  EXPECT_EQ(test.dialogs.calls()[0].message.title, "Rename All Selected Files");
  EXPECT_EQ(names(), (Names{"d.txt", "song 01.mp3", "song 02.mp3", "song 03.wav"}));
  EXPECT_EQ(window->fileList().listCount(), 4);
  EXPECT_EQ(window->fileList().entryName(1), "song 01.mp3");
  EXPECT_FALSE(dialog->isVisible());

  // Hidden, not unloaded: the texts stay for the next showing.
  unloadPending();
  ASSERT_EQ(commands->numberedDialog(), dialog);
  commands->showNumberedDialog();
  EXPECT_EQ(control<QLineEdit>("Text1").text(), "song");
  EXPECT_EQ(combo().currentText(), "001");
}

TEST_F(RenameAllDialogTest, AcceptWithUniqueRightAndDivider) {
  open({"track.mp3", "tune.mp3"});
  window->fileList().selectAllEntries();
  click(control<QRadioButton>("Option2"));
  click(control<QRadioButton>("Option4"));
  control<QLineEdit>("Text2").setText("-");
  combo().setEditText("9");
  test.dialogs.answer(Answer::Yes);
  click(control<QPushButton>("Accept"));
  EXPECT_EQ(names(), (Names{"track-09.mp3", "tune-10.mp3"}));
}

TEST_F(RenameAllDialogTest, AcceptAnsweredNoOrRefusedStaysOpen) {
  open({"a.mp3"});
  window->fileList().selectAllEntries();
  test.dialogs.answer(Answer::No);
  click(control<QPushButton>("Accept"));
  EXPECT_TRUE(dialog->isVisible());
  combo().setEditText("-3");
  click(control<QPushButton>("Accept"));
  EXPECT_EQ(test.dialogs.calls().back().message.text, "Error, no numbers");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(names(), Names{"a.mp3"});
}

TEST_F(RenameAllDialogTest, AcceptReportsFailuresAfterHiding) {
  open({"a.mp3", "b.mp3", "file 02.mp3"});
  window->fileList().setSelected(0, true);
  window->fileList().setSelected(1, true);
  test.dialogs.answer(Answer::Yes);
  bool hiddenWhenReported = false;
  test.dialogs.setObserver([&](const platform::testing::DialogCall& call) {
    if (call.message.title == "Rename Files") hiddenWhenReported = !dialog->isVisible();
  });
  click(control<QPushButton>("Accept"));
  ASSERT_EQ(test.dialogs.calls().size(), 2u);
  EXPECT_EQ(test.dialogs.calls()[1].message.text,
            "1 file(s) could not be renamed: the new name is taken or not allowed.");
  EXPECT_TRUE(hiddenWhenReported);
  EXPECT_EQ(browsed.read(browsed.file("file 02.mp3")), "file 02.mp3");
  test.dialogs.setObserver({});
}

TEST_F(RenameAllDialogTest, AbortUnloadsAndTheNextShowingStartsAfresh) {
  open();
  control<QLineEdit>("Text1").setText("song");
  click(control<QRadioButton>("Option2"));
  click(control<QPushButton>("Abort"));
  unloadPending();
  EXPECT_EQ(commands->numberedDialog(), nullptr);
  dialog = &commands->showNumberedDialog();
  EXPECT_EQ(control<QLineEdit>("Text1").text(), "file");
  EXPECT_TRUE(dialog->showsCommonLayout());
}

// The choices of the last Accept that renamed are where the next dialog
// starts, in this run or the next; Abort remembers nothing.
TEST_F(RenameAllDialogTest, TheLastAcceptedChoicesAreRemembered) {
  open({"track.mp3", "tune.mp3"});
  window->fileList().selectAllEntries();
  click(control<QRadioButton>("Option2"));
  click(control<QRadioButton>("Option4"));
  control<QLineEdit>("Text2").setText("-");
  combo().setEditText("07");
  test.dialogs.answer(Answer::Yes);
  click(control<QPushButton>("Accept"));
  ASSERT_EQ(names(), (Names{"track-07.mp3", "tune-08.mp3"}));
  const std::optional<NumberingChoices> stored = rememberedNumbering(test.settings);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->options.layout, NumberingOptions::Layout::UniqueRight);
  EXPECT_EQ(stored->options.divider, "-");
  EXPECT_EQ(stored->startText, "07");

  // A new dialog (as in the next run) starts with them.
  delete commands->numberedDialog();
  dialog = &commands->showNumberedDialog();
  EXPECT_FALSE(dialog->showsCommonLayout());
  EXPECT_TRUE(control<QRadioButton>("Option2").isChecked());
  EXPECT_TRUE(control<QRadioButton>("Option4").isChecked());
  EXPECT_EQ(control<QLineEdit>("Text2").text(), "-");
  EXPECT_EQ(combo().currentText(), "07");

  // Changed and aborted: the remembered choices stay.
  control<QLineEdit>("Text2").setText("_");
  click(control<QPushButton>("Abort"));
  unloadPending();
  dialog = &commands->showNumberedDialog();
  EXPECT_EQ(control<QLineEdit>("Text2").text(), "-");
}

// The dialog lists what Accept would make of every selected file, kept up
// to date with the choices; nothing is renamed by it.
TEST_F(RenameAllDialogTest, TheListShowsEverySelectedFilesNewName) {
  open({"a.mp3", "b.mp3", "c.wav", "song 02.wav"});
  window->fileList().setSelected(0, true);
  window->fileList().setSelected(2, true);
  dialog->hide();
  commands->showNumberedDialog();
  QPlainTextEdit& list = dialog->previewList();
  EXPECT_TRUE(list.isReadOnly());
  EXPECT_EQ(list.toPlainText(),
            "2 files to rename:\n"
            "a.mp3 -> file 01.mp3\n"
            "c.wav -> file 02.wav\n");
  control<QLineEdit>("Text1").setText("song");
  EXPECT_EQ(list.toPlainText(),
            "1 file to rename, 1 not renamed (marked):\n"
            "a.mp3 -> song 01.mp3\n"
            "c.wav -> song 02.wav  [not renamed: File exists]\n");
  EXPECT_EQ(names(), (Names{"a.mp3", "b.mp3", "c.wav", "song 02.wav"}));
}

// Enter accepts as Accept does (the question still comes first); Escape
// aborts.
TEST_F(RenameAllDialogTest, EnterAcceptsAndEscapeAborts) {
  open({"a.mp3", "b.mp3"});
  window->fileList().selectAllEntries();
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  test.dialogs.answer(Answer::No);
  QTest::keyClick(&control<QLineEdit>("Text1"), Qt::Key_Return);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text, "RENAME ALL SELECTED FILES?");
  EXPECT_EQ(names(), (Names{"a.mp3", "b.mp3"}));
  QTest::keyClick(&control<QLineEdit>("Text1"), Qt::Key_Escape);
  unloadPending();
  EXPECT_EQ(commands->numberedDialog(), nullptr);
}

TEST_F(RenameAllDialogTest, HelperTogglesHelpMode) {
  open();
  EXPECT_FALSE(dialog->helpMode().isOn());
  click(control<QPushButton>("helper"));
  EXPECT_TRUE(dialog->helpMode().isOn());
  EXPECT_EQ(dialog->cursor().shape(), Qt::WhatsThisCursor);
  click(control<QPushButton>("helper"));
  EXPECT_FALSE(dialog->helpMode().isOn());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// In help mode every control with a topic shows it once and does nothing
// else; help mode is then off.
TEST_F(RenameAllDialogTest, EveryControlShowsItsTopicInHelpMode) {
  open({"a.mp3"});
  window->fileList().selectAllEntries();
  click(control<QRadioButton>("Option2"));  // shows Option3, Option4 and Text2
  const std::pair<const char*, int> controls[] = {
      {"Combo1", 30},  {"Option1", 33}, {"Option2", 34}, {"Option3", 35},
      {"Option4", 36}, {"Text2", 37},   {"Accept", 38},  {"Abort", 39},
  };
  for (const auto& [name, topic] : controls) {
    SCOPED_TRACE(name);
    test.dialogs.clear();
    helpOn();
    click(control<QWidget>(name));
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.calls()[0].message.title, "Help!");
    EXPECT_EQ(test.dialogs.calls()[0].message.text, topicText(topic));
    EXPECT_FALSE(dialog->helpMode().isOn());
  }
  // Nothing acted: still Unique, Left, visible, nothing renamed.
  unloadPending();
  ASSERT_EQ(commands->numberedDialog(), dialog);
  EXPECT_FALSE(dialog->showsCommonLayout());
  EXPECT_TRUE(control<QRadioButton>("Option3").isChecked());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(names(), Names{"a.mp3"});

  click(control<QRadioButton>("Option1"));
  for (const auto& [name, topic] : {std::pair{"Text1", 31}, std::pair{"result", 32}}) {
    SCOPED_TRACE(name);
    test.dialogs.clear();
    helpOn();
    click(control<QWidget>(name));
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.calls()[0].message.text, topicText(topic));
  }
}

TEST_F(RenameAllDialogTest, ChangesInHelpModeShowTheTopicInsteadOfThePreview) {
  open();
  helpOn();
  control<QLineEdit>("Text1").setText("song");
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text, topicText(31));
  EXPECT_EQ(result().text(), "file 01.ext");
  helpOn();
  combo().setEditText("5");
  EXPECT_EQ(test.dialogs.calls().back().message.text, topicText(30));
  EXPECT_EQ(result().text(), "file 01.ext");
}

TEST_F(RenameAllDialogTest, HelpModeIsSharedWithTheMainWindow) {
  open();
  helpOn();
  window->menuItem("sensitivehelp")->trigger();
  window->menuItem("selectall")->trigger();  // shows topic 12 from the main window
  EXPECT_EQ(test.dialogs.calls().back().message.text, topicText(12));
  EXPECT_FALSE(dialog->helpMode().isOn());
  EXPECT_FALSE(window->helpMode().isOn());
}

}  // namespace
}  // namespace brindle::rename
