// ShowHelpTopic: the help file comes from the program's folder, every window
// leaves help mode, and the box is titled "Help!".
#include "ui/core/ContextHelp.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"

namespace brindle::ui {
namespace {

using platform::Buttons;
using platform::Icon;
using platform::testing::FsOp;
using platform::testing::TestPlatform;
using testsupport::TempDir;

class ContextHelpTest : public ::testing::Test {
 protected:
  ContextHelpTest() : test(folder.path()) {
    folder.write("Brindlehelp.txt", "HID:20\r\nLower case.\r\nHIDOVER:\r\nHID:21\r\nT\xE9st\r\n");
  }

  TempDir folder;
  TestPlatform test;
  platform::Platform services = test.platform();
  ContextHelp help{services};
};

TEST_F(ContextHelpTest, ShowsTopicInHelpBox) {
  help.ShowHelpTopic(20, "Brindlehelp.txt", kHelpPointer);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  const platform::MessageRequest box = test.dialogs.messages()[0];
  EXPECT_EQ(box.text, "Lower case.\r\n");
  EXPECT_EQ(box.title, "Help!");
  EXPECT_EQ(box.buttons, Buttons::Ok);
  EXPECT_EQ(box.icon, Icon::None);
}

TEST_F(ContextHelpTest, DecodesEightBitTextAndRunsToEndWithoutClosingLine) {
  help.ShowHelpTopic(21, "Brindlehelp.txt", kHelpPointer);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "T\xC3\xA9st\r\n");
}

TEST_F(ContextHelpTest, UnknownTopicShowsEmptyBox) {
  help.ShowHelpTopic(99, "Brindlehelp.txt", kHelpPointer);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "");
  EXPECT_EQ(test.dialogs.messages()[0].title, "Help!");
}

TEST_F(ContextHelpTest, NormalPointerShowsNothing) {
  HelpMode window;
  window.toggle();
  help.addWindow(window);
  help.ShowHelpTopic(20, "Brindlehelp.txt", kNormalPointer);
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_TRUE(test.fileSystem.calls().empty());
  EXPECT_TRUE(window.isOn());
}

TEST_F(ContextHelpTest, EveryWindowLeavesHelpModeBeforeTheBoxShows) {
  HelpMode main, tagEditor, renameDialog;
  std::vector<int> shapesSeen;
  HelpMode* windows[] = {&main, &tagEditor, &renameDialog};
  for (HelpMode* window : windows) {
    help.addWindow(*window);
    window->toggle();
  }
  test.dialogs.setObserver([&](const auto&) {
    for (HelpMode* window : windows) shapesSeen.push_back(window->pointerShape());
  });
  EXPECT_TRUE(help.handledAsHelp(main, 20));
  EXPECT_EQ(shapesSeen, (std::vector<int>{0, 0, 0}));
  EXPECT_FALSE(help.handledAsHelp(main, 20));
  EXPECT_EQ(test.dialogs.calls().size(), 1u);
}

TEST_F(ContextHelpTest, RemovedWindowIsLeftAlone) {
  HelpMode window;
  help.addWindow(window);
  help.removeWindow(window);
  window.toggle();
  help.ShowHelpTopic(20, "Brindlehelp.txt", kHelpPointer);
  EXPECT_TRUE(window.isOn());
}

TEST_F(ContextHelpTest, ReadsFromProgramFolderAndKeepsWorkingDirectory) {
  TempDir elsewhere;
  elsewhere.write("Brindlehelp.txt", "HID:20\r\nwrong file\r\nHIDOVER:\r\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  help.ShowHelpTopic(20, "Brindlehelp.txt", kHelpPointer);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(elsewhere.path()));
  std::filesystem::current_path(before);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Lower case.\r\n");
  ASSERT_EQ(test.fileSystem.callsOf(FsOp::ReadFile).size(), 1u);
  EXPECT_EQ(test.fileSystem.callsOf(FsOp::ReadFile)[0].path, folder.file("Brindlehelp.txt"));
}

TEST_F(ContextHelpTest, UnreadableHelpFileSaysSo) {
  test.fileSystem.fail(FsOp::ReadFile, {13, "Cannot open: Permission denied"});
  HelpMode window;
  help.addWindow(window);
  window.toggle();
  help.ShowHelpTopic(20, "Brindlehelp.txt", kHelpPointer);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].icon, Icon::Critical);
  EXPECT_NE(test.dialogs.messages()[0].text.find("help file"), std::string::npos);
  EXPECT_FALSE(window.isOn());
}

TEST(HelpModeTest, ToggleTwiceIsOffAndShowsPointer) {
  std::vector<int> shown;
  HelpMode mode([&](int shape) { shown.push_back(shape); });
  EXPECT_FALSE(mode.isOn());
  mode.toggle();
  EXPECT_TRUE(mode.isOn());
  EXPECT_EQ(mode.pointerShape(), kHelpPointer);
  mode.toggle();
  EXPECT_FALSE(mode.isOn());
  EXPECT_EQ(shown, (std::vector<int>{14, 0}));
}

}  // namespace
}  // namespace brindle::ui
