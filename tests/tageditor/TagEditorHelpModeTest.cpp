// The tag editor's help-mode contract: every control with a topic shows its
// topic in help mode and does nothing else, and every window leaves help mode.
#include <QComboBox>

#include "tests/tageditor/TagEditorFixture.h"
#include "ui/core/HelpTopics.h"

namespace brindle::tageditor {
namespace {

using platform::testing::FsOp;

struct ControlCase {
  std::string name;
  int topic;
};

std::vector<ControlCase> controlsWithTopics() {
  std::vector<ControlCase> controls{
      {"Drive1", topics::kTagEditorDrive},    {"File1", topics::kTagEditorFileList},
      {"Frame2", topics::kTagEditorReadout},  {"Picture1", topics::kTagEditorPicture},
      {"Command1", topics::kSaveTags},        {"Command2", topics::kCopyVersion2To1},
      {"Command3", topics::kCopyVersion1To2}, {"Command4", topics::kTitleCaseFields},
      {"Command5", topics::kUsePrevious},     {"Command6", topics::kNameFromFile},
      {"Command7", topics::kExitTagEditor},   {"Command8", topics::kClearAllTags},
      {"Command9", topics::kClearVersion1},   {"Command10", topics::kClearVersion2},
      {"Command11", topics::kAutoInfo},       {"Command12", topics::kNumberTracks}};
  for (const FieldSpec& spec : fieldSpecs()) {
    controls.push_back({"txt_" + std::to_string(spec.index), spec.topic});
  }
  return controls;
}

class TagEditorHelpMode : public TagEditorFixture,
                          public ::testing::WithParamInterface<ControlCase> {
 protected:
  void SetUp() override {
    writeSong("a.mp3", "Title");
    openEditor();
    doubleClick("a.mp3");
    help.addWindow(otherWindow);
  }
  void TearDown() override { help.removeWindow(otherWindow); }

  QWidget* target(const std::string& name) {
    if (name == "File1") return editor().fileList().viewport();
    if (name == "txt_6") return static_cast<QPlainTextEdit*>(editor().txt(kV2Comment))->viewport();
    return editor().findChild<QWidget*>(QString::fromStdString(name));
  }

  ui::HelpMode otherWindow;
};

TEST_P(TagEditorHelpMode, PressShowsTheTopicOnlyInHelpMode) {
  const ControlCase& control = GetParam();
  QWidget* widget = target(control.name);
  ASSERT_NE(widget, nullptr);
  editor().fileList().clearSelection();
  const TagFields before = editor().fields();
  editor().menuItem("mnuhelpme")->trigger();
  window->helpMode().toggle();
  otherWindow.toggle();
  EXPECT_EQ(editor().cursor().shape(), Qt::WhatsThisCursor);
  test.dialogs.clear();
  test.fileSystem.clearCalls();
  const QPoint at = control.name.starts_with("Command") ? widget->rect().center() : QPoint(4, 4);
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);

  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].title, "Help!");
  EXPECT_EQ(test.dialogs.messages()[0].text, topicText(control.topic));
  EXPECT_FALSE(editor().helpMode().isOn());
  EXPECT_FALSE(window->helpMode().isOn());
  EXPECT_FALSE(otherWindow.isOn());
  ASSERT_EQ(test.fileSystem.calls().size(), 1u);
  EXPECT_EQ(test.fileSystem.calls()[0].op, FsOp::ReadFile);
  EXPECT_EQ(editor().fields(), before);
  EXPECT_TRUE(editor().isVisible());
  EXPECT_EQ(editor().fileList().selectedCount(), 0);

  // Outside help mode the same press shows no topic.
  test.dialogs.clear();
  if (control.name == "Command7") test.dialogs.answer(platform::Answer::Discard);
  test.dialogs.answer(platform::Answer::No);
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  editor().driveList().hidePopup();
  for (const auto& message : test.dialogs.messages()) EXPECT_NE(message.title, "Help!");
}

INSTANTIATE_TEST_SUITE_P(EveryControl, TagEditorHelpMode, ::testing::ValuesIn(controlsWithTopics()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace brindle::tageditor
