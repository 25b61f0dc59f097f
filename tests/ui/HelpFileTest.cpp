// The help file format (which lines open and close a topic, what text is
// shown) and the help box as ShowHelpTopic shows it; the windows' help mode
// is tested through the main window (tests/app HelpModeContract).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"
#include "ui/core/ContextHelp.h"
#include "ui/core/HelpFile.h"

namespace brindle::ui {
namespace {

using platform::testing::FsOp;

TEST(HelpFile, ShowsExactlyTheTopicLines) {
  struct Case {
    const char* file;
    long topic;
    const char* expected;
  };
  // clang-format off
  const Case cases[] = {
      {"HID:20\r\nfirst\r\nsecond\r\nHIDOVER:\r\n", 20, "first\r\nsecond\r\n"},
      {"hid:20\r\ntext\r\nHIDOVER:\r\n", 20, "text\r\n"},                      // lower case opening
      {"HID:20\r\ntext\r\nhidover:\r\nafter\r\n", 20, "text\r\n"},             // lower case closing
      {"HID:20\r\ntext\r\n HIDOVER:\r\nmore\r\nHIDOVER:\r\n", 20, "text\r\n HIDOVER:\r\nmore\r\n"},
      {"HID:20 \r\nwrong\r\nHIDOVER:\r\nHID:20\r\nright\r\nHIDOVER:\r\n", 20, "right\r\n"},
      {"HID:200\r\nwrong\r\nHIDOVER:\r\n", 20, ""},                           // same prefix
      {"HID:0\r\none\r\nHIDOVER:\r\nHID:0\r\ntwo\r\nHIDOVER:\r\n", 0, "one\r\n"},  // first wins
      {"HID:1\r\nx\r\nHIDOVER:\r\n", 2, ""},                                  // missing
      {"HID:3\r\na\r\nb", 3, "a\r\nb\r\n"},                                   // no closing line
      {"HID:4\r\nHIDOVER:\r\n", 4, ""},
      {"intro\r\nHID:5\r\nx\r\nHIDOVER:\r\ntail\r\n", 5, "x\r\n"},
      {"HID:6\r\n\r\nx\r\n\r\nHIDOVER:\r\n", 6, "\r\nx\r\n\r\n"},
      {"HID:8\nx\ny\nHIDOVER:\n", 8, "x\r\ny\r\n"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(findHelpTopic(c.file, helpTopicKey(c.topic)), c.expected) << c.file;
  }
  EXPECT_EQ(latin1ToUtf8("caf\xE9 \xFF"), "caf\xC3\xA9 \xC3\xBF");
}

// Read from the program's folder whatever the working folder, decoded from
// 8 bits; the normal pointer shows nothing; every window but a removed one
// leaves help mode before the box shows; an unreadable file is said.
TEST(ContextHelp, ShowsTheTopicFromTheProgramsFolder) {
  testsupport::TempDir folder, elsewhere;
  folder.write("Brindlehelp.txt", "HID:20\r\nLower case.\r\nHIDOVER:\r\nHID:21\r\nT\xE9st\r\n");
  elsewhere.write("Brindlehelp.txt", "HID:20\r\nwrong file\r\nHIDOVER:\r\n");
  platform::testing::TestPlatform test(folder.path());
  platform::Platform services = test.platform();
  ContextHelp help{services};
  std::vector<int> pointers;
  HelpMode window, other([&](int shape) { pointers.push_back(shape); }), removed;
  for (HelpMode* mode : {&window, &other, &removed}) {
    help.addWindow(*mode);
    mode->toggle();
  }
  help.removeWindow(removed);
  test.dialogs.setObserver([&](const auto&) { pointers.push_back(window.pointerShape()); });
  const auto shown = [&](long topic, int pointer) {
    test.dialogs.clear();
    help.ShowHelpTopic(topic, "Brindlehelp.txt", pointer);
    return test.dialogs.calls().empty() ? "(none)" : test.dialogs.messages().at(0).text;
  };

  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  EXPECT_EQ(shown(20, kNormalPointer), "(none)");
  EXPECT_TRUE(window.isOn());
  EXPECT_EQ(shown(20, kHelpPointer), "Lower case.\r\n");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(elsewhere.path()));
  std::filesystem::current_path(before);
  EXPECT_EQ(test.fileSystem.callsOf(FsOp::ReadFile).at(0).path, folder.file("Brindlehelp.txt"));
  EXPECT_EQ(test.dialogs.messages().at(0).title, "Help!");
  EXPECT_EQ(pointers, (std::vector<int>{kHelpPointer, kNormalPointer, kNormalPointer}));
  EXPECT_FALSE(window.isOn());
  EXPECT_TRUE(removed.isOn());
  EXPECT_FALSE(help.handledAsHelp(window, 20));
  EXPECT_EQ(shown(21, kHelpPointer), "T\xC3\xA9st\r\n");

  test.fileSystem.fail(FsOp::ReadFile, {13, "Cannot open: Permission denied"});
  EXPECT_NE(shown(20, kHelpPointer).find("help file"), std::string::npos);
  EXPECT_EQ(test.dialogs.messages().at(0).icon, platform::Icon::Critical);
}

}  // namespace
}  // namespace brindle::ui
