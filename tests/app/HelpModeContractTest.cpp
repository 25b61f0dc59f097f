// The help mode contract of the main window: every menu item and control
// with a topic shows that topic in help mode and does nothing else, every
// window leaves help mode; outside help mode the item runs its command.
#include <QAction>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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

  /// Exactly one box with the topic's text, help mode off everywhere, and
  /// no file touched but the help file.
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

class MenuItemContract : public HelpModeContract,
                         public ::testing::WithParamInterface<MenuItemSpec> {};

TEST_P(MenuItemContract, ShowsTopicInHelpModeAndRunsOtherwise) {
  const MenuCommand command = *GetParam().command;
  int runs = 0;
  window->setCommand(command, [&] { ++runs; });
  QAction* action = window->menuItem(objectNameOf(command));
  ASSERT_NE(action, nullptr);

  enterHelpMode();
  action->trigger();
  expectOnlyTopicShown(GetParam().topic);
  EXPECT_EQ(runs, 0);

  test.dialogs.clear();
  action->trigger();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(test.dialogs.calls().empty());
}

std::vector<MenuItemSpec> itemsWithTopics() {
  std::vector<MenuItemSpec> items;
  for (const MenuItemSpec& spec : mainMenuItems()) {
    if (spec.isSeparator() || spec.topic == topics::kNoTopic) continue;
    if (*spec.command == MenuCommand::exit || *spec.command == MenuCommand::about) continue;
    items.push_back(spec);
  }
  return items;
}

INSTANTIATE_TEST_SUITE_P(EveryItem, MenuItemContract, ::testing::ValuesIn(itemsWithTopics()),
                         [](const auto& info) { return objectNameOf(*info.param.command); });

struct ControlCase {
  const char* name;
  bool focus;  // false: a mouse press
  int topic;
};

class ControlContract : public HelpModeContract,
                        public ::testing::WithParamInterface<ControlCase> {};

TEST_P(ControlContract, ShowsTopicOnlyInHelpMode) {
  const ControlCase& control = GetParam();
  const std::string name = control.name;
  QWidget* widget = name == "Dir1"      ? window->directoryList().viewport()
                    : name == "File1"   ? window->fileList().viewport()
                    : name == "PathBar" ? static_cast<QWidget*>(&window->pathBar())
                                        : window->findChild<QWidget*>(control.name);
  ASSERT_NE(widget, nullptr);
  const auto hit = [&] {
    if (control.focus) {
      QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
      QApplication::sendEvent(widget, &focus);
    } else {
      QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(5, 5));
      QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(5, 5));
    }
  };
  const std::string pathBefore = window->currentDirectory();
  hit();
  EXPECT_TRUE(test.dialogs.calls().empty());

  window->fileList().clearSelection();
  enterHelpMode();
  hit();
  expectOnlyTopicShown(control.topic);
  EXPECT_EQ(window->fileList().selectedCount(), 0);
  EXPECT_EQ(window->currentDirectory(), pathBefore);
}

INSTANTIATE_TEST_SUITE_P(EveryControl, ControlContract,
                         ::testing::Values(ControlCase{"Dir1", false, topics::kDirectoryList},
                                           ControlCase{"File1", false, topics::kFileList},
                                           ControlCase{"Text1", false, topics::kFileCountBox},
                                           ControlCase{"Text1", true, topics::kFileCountBox},
                                           ControlCase{"Text2", false, topics::kPathBox},
                                           ControlCase{"Text2", true, topics::kPathBox},
                                           ControlCase{"PathBar", false, topics::kPathBox},
                                           ControlCase{"Text3", false, topics::kNameBox},
                                           ControlCase{"Picture1", false,
                                                       topics::kMainWindowPicture}),
                         [](const auto& info) {
                           return std::string(info.param.name) +
                                  (info.param.focus ? "Focus" : "Press");
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
