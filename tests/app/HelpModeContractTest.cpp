// The help mode contract of the main window: every menu item and control
// with a topic shows that topic in help mode and does nothing else, every
// window leaves help mode; outside help mode the item runs its command.
#include <QAction>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <optional>

#include "app/MainMenu.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/core/HelpTopics.h"

namespace brindle::app {
namespace {

using platform::testing::FsOp;

class HelpModeContract : public MainWindowFixture {
 protected:
  void SetUp() override {
    browsed.write("a.txt");
    browsed.write("b.txt");
    browsed.makeDirectory("sub");
    start();
    help.addWindow(otherWindow);
  }
  void TearDown() override { help.removeWindow(otherWindow); }

  void enterHelpMode() {
    window->helpMode().toggle();
    otherWindow.toggle();
    EXPECT_EQ(window->cursor().shape(), Qt::WhatsThisCursor);
    test.dialogs.clear();
    test.fileSystem.clearCalls();
  }

  /// One box with the topic's text, help mode off everywhere, only the help file read.
  void expectOnlyTopicShown(int topic) {
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.messages().at(0).title, "Help!");
    EXPECT_EQ(test.dialogs.messages().at(0).text, topicText(topic));
    EXPECT_FALSE(window->helpMode().isOn());
    EXPECT_FALSE(otherWindow.isOn());
    ASSERT_EQ(test.fileSystem.calls().size(), 1u);
    EXPECT_EQ(test.fileSystem.calls()[0].op, FsOp::ReadFile);
    EXPECT_EQ(test.fileSystem.calls()[0].path, programFolder.file("Brindlehelp.txt"));
    EXPECT_TRUE(test.shell.opened().empty());
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
  }

  ui::HelpMode otherWindow;
};

// A menu item (with its command) or a control (pressed or focused).
struct Target {
  std::string name;
  int topic;
  std::optional<MenuCommand> command;
  bool focus = false;
};

class HelpModeTarget : public HelpModeContract, public ::testing::WithParamInterface<Target> {};

TEST_P(HelpModeTarget, ShowsTopicInHelpModeAndRunsOtherwise) {
  const Target& target = GetParam();
  int runs = 0;
  if (target.command) window->setCommand(*target.command, [&] { ++runs; });
  QWidget* widget = target.name == "Dir1"      ? window->directoryList().viewport()
                    : target.name == "File1"   ? window->fileList().viewport()
                    : target.name == "PathBar" ? static_cast<QWidget*>(&window->pathBar())
                                               : window->findChild<QWidget*>(target.name.c_str());
  ASSERT_TRUE(target.command || widget);
  const auto hit = [&] {
    if (target.command) {
      window->menuItem(target.name)->trigger();
    } else if (target.focus) {
      QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
      QApplication::sendEvent(widget, &focus);
    } else {
      QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(5, 5));
      QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(5, 5));
    }
  };
  hit();
  EXPECT_EQ(runs, target.command ? 1 : 0);
  EXPECT_TRUE(test.dialogs.calls().empty());

  const std::string pathBefore = window->currentDirectory();
  window->fileList().clearSelection();
  enterHelpMode();
  hit();
  expectOnlyTopicShown(target.topic);
  EXPECT_EQ(runs, target.command ? 1 : 0);
  EXPECT_EQ(window->fileList().selectedCount(), 0);
  EXPECT_EQ(window->currentDirectory(), pathBefore);
}

std::vector<Target> targets() {
  // clang-format off
  std::vector<Target> all{
      {"Dir1", topics::kDirectoryList, {}}, {"File1", topics::kFileList, {}},
      {"Text1", topics::kFileCountBox, {}}, {"Text1", topics::kFileCountBox, {}, true},
      {"Text2", topics::kPathBox, {}}, {"Text2", topics::kPathBox, {}, true},
      {"PathBar", topics::kPathBox, {}}, {"Text3", topics::kNameBox, {}},
      {"Picture1", topics::kMainWindowPicture, {}}};
  // clang-format on
  for (const auto& item : mainMenuItems()) {
    if (item.isSeparator() || item.topic == topics::kNoTopic) continue;
    if (*item.command == MenuCommand::exit || *item.command == MenuCommand::about) continue;
    all.push_back({objectNameOf(*item.command), item.topic, item.command});
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(EveryItemAndControl, HelpModeTarget, ::testing::ValuesIn(targets()),
                         [](const auto& info) {
                           return info.param.name + (info.param.focus ? "Focus" : "");
                         });

// The (?) item toggles help mode silently; Exit, About, Disclaimer and Save
// Edited run in help mode and leave it on.
TEST_F(HelpModeContract, ItemsWithoutTopicRunInHelpMode) {
  window->menuItem("sensitivehelp")->trigger();
  EXPECT_TRUE(window->helpMode().isOn());
  window->menuItem("sensitivehelp")->trigger();
  EXPECT_FALSE(window->helpMode().isOn());

  int runs = 0;
  for (MenuCommand command :
       {MenuCommand::about, MenuCommand::mnudisclaimer, MenuCommand::Command1}) {
    window->setCommand(command, [&] { ++runs; });
  }
  enterHelpMode();
  window->menuItem("about")->trigger();
  window->menuItem("mnudisclaimer")->trigger();
  window->saveEditedButton().setEnabled(true);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(runs, 3);
  EXPECT_TRUE(test.dialogs.calls().empty());
  window->menuItem("exit")->trigger();
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Exit, Are You Sure?");
  EXPECT_TRUE(window->helpMode().isOn());
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace brindle::app
