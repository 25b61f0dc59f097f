// The help-mode contract of the tag editor: every control with a topic shows
// its topic in help mode and does nothing else, and every window leaves help
// mode; outside help mode it acts. The menu items "(?)" and "Exit", and the
// main window's items that open the tag editor.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "tageditor/TagField.h"
#include "tests/tageditor/AudioFiles.h"
#include "tests/tageditor/TagEditorFixture.h"
#include "ui/DirectoryListBox.h"
#include "ui/FileListBox.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;
using platform::testing::FsOp;

class TagEditorHelpMode : public TagEditorFixture {
 protected:
  void SetUp() override {
    browsed.write("a.mp3", id3tag(3, textFrame("TIT2", "Title") + textFrame("TPE1", "Artist")) +
                               audio() + v1Tag("T1", "A1", "Al1", "1999", "C1", 17));
    browsed.write("b.mp3", audio());
    browsed.makeDirectory("sub");
    openEditor();
    doubleClick("a.mp3");
    help.addWindow(otherWindow);
  }
  void TearDown() override { help.removeWindow(otherWindow); }

  void enterHelpMode() {
    editor().menuItem("mnuhelpme")->trigger();
    window->helpMode().toggle();
    otherWindow.toggle();
    test.dialogs.clear();
    test.fileSystem.clearCalls();
  }

  /// Exactly one box, with the topic's text; help mode off in every window;
  /// the only file read is the help file, and nothing else changed.
  void expectOnlyTopicShown(int topic, const TagFields& fieldsBefore) {
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.messages().at(0).title, "Help!");
    EXPECT_EQ(test.dialogs.messages().at(0).text, topicText(topic));
    EXPECT_FALSE(editor().helpMode().isOn());
    EXPECT_FALSE(window->helpMode().isOn());
    EXPECT_FALSE(otherWindow.isOn());
    EXPECT_EQ(editor().cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(test.fileSystem.calls().size(), 1u);
    EXPECT_EQ(test.fileSystem.calls()[0].op, FsOp::ReadFile);
    EXPECT_EQ(test.fileSystem.calls()[0].path, programFolder.file("Brindlehelp.txt"));
    EXPECT_EQ(editor().fields(), fieldsBefore);
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().directoryList().path(), browsed.path());
    EXPECT_EQ(editor().fileList().selectedCount(), 0);
  }

  ui::HelpMode otherWindow;
};

struct ButtonCase {
  const char* name;
  int topic;
};

class ButtonContract : public TagEditorHelpMode,
                       public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonContract, ShowsTopicInHelpModeAndActsOtherwise) {
  const ButtonCase& item = GetParam();
  editor().fileList().clearSelection();
  const TagFields before = editor().fields();
  enterHelpMode();
  EXPECT_EQ(editor().cursor().shape(), Qt::WhatsThisCursor);
  click(item.name);
  expectOnlyTopicShown(item.topic, before);

  // Outside help mode the button acts: no help box, and (for every button
  // but Exit) its command runs.
  test.dialogs.clear();
  editor().fileList().setCurrentIndex(editor().fileList().model()->index(0, 0));
  setField(kV2Title, "the DARK side");
  setField(kV2Genre, "Jazz");
  const TagFields onScreen = editor().fields();
  test.fileSystem.clearCalls();
  // Exit asks about the edits first.
  if (std::string(item.name) == "Command7") test.dialogs.answer(platform::Answer::Discard);
  click(item.name);
  for (const auto& message : test.dialogs.messages()) EXPECT_NE(message.title, "Help!");
  // The batch tools act by asking first (unanswered: No).
  bool asked = false;
  for (const auto& message : test.dialogs.messages()) {
    if (message.buttons == platform::Buttons::YesNo) asked = true;
  }
  const bool acted = editor().fields() != onScreen || !test.fileSystem.calls().empty() ||
                     !editor().isVisible() || asked;
  EXPECT_TRUE(acted) << item.name;
}

INSTANTIATE_TEST_SUITE_P(EveryButton, ButtonContract,
                         ::testing::Values(ButtonCase{"Command1", 78}, ButtonCase{"Command2", 81},
                                           ButtonCase{"Command3", 80}, ButtonCase{"Command4", 74},
                                           ButtonCase{"Command5", 75}, ButtonCase{"Command6", 73},
                                           ButtonCase{"Command7", 79}, ButtonCase{"Command8", 69},
                                           ButtonCase{"Command9", 70}, ButtonCase{"Command10", 71},
                                           ButtonCase{"Command11", 76},
                                           ButtonCase{"Command12", 77}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ControlCase {
  std::string name;
  int topic;
};

std::vector<ControlCase> controlsWithTopics() {
  std::vector<ControlCase> controls{
      {"Drive1", 49}, {"File1", 57}, {"Frame2", 55}, {"Picture1", 72}};
  const int fieldTopics[kFieldCount] = {50, 51, 82, 52, 61, 53, 63, 83, 62,
                                        60, 59, 58, 64, 65, 66, 67, 68};
  for (int index = 0; index < kFieldCount; ++index) {
    controls.push_back({"txt_" + std::to_string(index), fieldTopics[index]});
  }
  return controls;
}

class ControlContract : public TagEditorHelpMode,
                        public ::testing::WithParamInterface<ControlCase> {
 protected:
  QWidget* target(const std::string& name) {
    if (name == "File1") return editor().fileList().viewport();
    if (name == "txt_6") return static_cast<QPlainTextEdit*>(editor().txt(kV2Comment))->viewport();
    return editor().findChild<QWidget*>(QString::fromStdString(name));
  }
};

TEST_P(ControlContract, PressShowsTopicOnlyInHelpMode) {
  const ControlCase& control = GetParam();
  QWidget* widget = target(control.name);
  ASSERT_NE(widget, nullptr);
  editor().fileList().clearSelection();
  const TagFields before = editor().fields();

  // Clicking outside help mode shows nothing (a click on the drive list
  // opens it; close it again).
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
  editor().driveList().hidePopup();
  EXPECT_TRUE(test.dialogs.calls().empty());

  editor().fileList().clearSelection();
  enterHelpMode();
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
  expectOnlyTopicShown(control.topic, before);
}

INSTANTIATE_TEST_SUITE_P(EveryControl, ControlContract, ::testing::ValuesIn(controlsWithTopics()),
                         [](const auto& info) { return info.param.name; });

TEST_F(TagEditorHelpMode, FieldTopicsMatchTheFieldTable) {
  for (const ControlCase& control : controlsWithTopics()) {
    if (control.name.rfind("txt_", 0) != 0) continue;
    EXPECT_EQ(fieldSpec(std::stoi(control.name.substr(4))).topic, control.topic) << control.name;
  }
}

TEST_F(TagEditorHelpMode, DriveChosenByKeyInHelpModeShowsItsTopicAndStays) {
  const int before = editor().driveList().currentIndex();
  enterHelpMode();
  const int other = before == 0 ? 1 : 0;
  editor().driveList().setCurrentIndex(other);
  emit editor().driveList().activated(other);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, topicText(49));
  EXPECT_EQ(editor().driveList().currentIndex(), before);
  EXPECT_EQ(editor().directoryList().path(), browsed.path());
}

TEST_F(TagEditorHelpMode, DoubleClickAfterTheTopicStillLoads) {
  setField(kV2Title, "changed");
  enterHelpMode();
  test.dialogs.answer(platform::Answer::Discard);  // the edit is not to be saved
  doubleClick("a.mp3");
  // The first press shows the topic and ends help mode; the double click
  // itself has no topic and loads the file.
  EXPECT_EQ(test.dialogs.messages().at(0).text, topicText(57));
  EXPECT_EQ(field(kV2Title), "Title");
}

TEST_F(TagEditorHelpMode, DirectoryChangeInHelpModeShowsTheClearTopicInstead) {
  enterHelpMode();
  ASSERT_TRUE(editor().directoryList().setPath(browsed.file("sub")));
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, topicText(69));
  EXPECT_EQ(field(kV2Title), "Title");
  EXPECT_TRUE(listed().empty());
}

TEST_F(TagEditorHelpMode, ToggleTwiceLeavesHelpModeOffSilently) {
  QAction* toggle = editor().menuItem("mnuhelpme");
  toggle->trigger();
  EXPECT_TRUE(editor().helpMode().isOn());
  EXPECT_EQ(editor().cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_FALSE(window->helpMode().isOn());
  toggle->trigger();
  EXPECT_FALSE(editor().helpMode().isOn());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(TagEditorHelpMode, ExitMenuItemRunsInHelpMode) {
  enterHelpMode();
  editor().menuItem("mnuexit")->trigger();
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_FALSE(editor().isVisible());
}

TEST_F(TagEditorHelpMode, TopicShownInTheMainWindowEndsTheEditorsHelpMode) {
  editor().menuItem("mnuhelpme")->trigger();
  window->helpMode().toggle();
  window->menuItem("refreshfiles")->trigger();
  EXPECT_EQ(test.dialogs.messages().at(0).text, topicText(40));
  EXPECT_FALSE(editor().helpMode().isOn());
}

TEST_F(TagEditorHelpMode, MainWindowItemsShowTopic41InHelpModeAndOpenTheEditorOtherwise) {
  editor().close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (const char* item : {"mnump3", "mnueditmp3tags"}) {
    SCOPED_TRACE(item);
    ASSERT_EQ(commands->tagEditor(), nullptr);
    window->helpMode().toggle();
    test.dialogs.clear();
    window->menuItem(item)->trigger();
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.messages()[0].text, topicText(41));
    EXPECT_EQ(commands->tagEditor(), nullptr);

    window->menuItem(item)->trigger();
    ASSERT_NE(commands->tagEditor(), nullptr);
    EXPECT_TRUE(commands->tagEditor()->isVisible());
    commands->tagEditor()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
}  // namespace brindle::tageditor
