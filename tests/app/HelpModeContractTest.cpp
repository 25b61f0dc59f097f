// Every menu item and control with a help topic: in help mode it shows its
// topic and does nothing else, and every window leaves help mode; outside
// help mode it runs its command.
#include <QAction>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <set>

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
    test.dialogs.clear();
    test.fileSystem.clearCalls();
  }

  /// Exactly one box, with the topic's text, and help mode off everywhere;
  /// the only file touched is the help file.
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

struct ItemCase {
  MenuCommand command;
  std::string name;
  int topic;
};

std::vector<ItemCase> itemsWithTopics() {
  std::vector<ItemCase> items;
  for (const MenuItemSpec& spec : mainMenuItems()) {
    if (spec.isSeparator() || spec.topic == topics::kNoTopic) continue;
    const MenuCommand command = *spec.command;
    if (command == MenuCommand::exit || command == MenuCommand::about) continue;
    items.push_back({command, objectNameOf(command), spec.topic});
  }
  return items;
}

class MenuItemContract : public HelpModeContract, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(MenuItemContract, ShowsTopicInHelpModeAndRunsOtherwise) {
  const ItemCase& item = GetParam();
  int runs = 0;
  window->setCommand(item.command, [&] { ++runs; });
  QAction* action = window->menuItem(item.name);
  ASSERT_NE(action, nullptr);

  enterHelpMode();
  EXPECT_EQ(window->cursor().shape(), Qt::WhatsThisCursor);
  action->trigger();
  expectOnlyTopicShown(item.topic);
  EXPECT_EQ(runs, 0);

  test.dialogs.clear();
  action->trigger();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(test.dialogs.calls().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryItem, MenuItemContract, ::testing::ValuesIn(itemsWithTopics()),
                         [](const auto& info) { return info.param.name; });

TEST(MenuTable, TopicsMatchTheMenus) {
  std::map<std::string, int> topicOf;
  for (const MenuItemSpec& spec : mainMenuItems()) {
    if (!spec.isSeparator()) topicOf[objectNameOf(*spec.command)] = spec.topic;
  }
  EXPECT_EQ(topicOf["convertlow"], 20);
  EXPECT_EQ(topicOf["mnump3"], 41);
  EXPECT_EQ(topicOf["mnueditmp3tags"], 41);
  EXPECT_EQ(topicOf["refreshfiles"], 40);
  EXPECT_EQ(topicOf["mmost"], 44);
  EXPECT_EQ(topicOf["mnudisclaimer"], topics::kNoTopic);
  EXPECT_EQ(topicOf["mnuundo"], topics::kNoTopic);
  EXPECT_EQ(topicOf["mnuhistory"], topics::kNoTopic);
  EXPECT_EQ(itemsWithTopics().size(), 22u);
}

TEST(MenuTable, ObjectNamesAreTheItemNames) {
  EXPECT_STREQ(objectNameOf(MenuCommand::convertlow), "convertlow");
  EXPECT_STREQ(objectNameOf(MenuCommand::delete_), "delete");
  EXPECT_STREQ(objectNameOf(MenuCommand::Command1), "Command1");
  // Every command but the "Save Edited" button has exactly one item.
  std::set<std::string> names;
  std::size_t items = 0;
  for (const MenuItemSpec& spec : mainMenuItems()) {
    if (spec.isSeparator()) continue;
    names.insert(objectNameOf(*spec.command));
    ++items;
  }
  EXPECT_EQ(items, 27u);
  EXPECT_EQ(names.size(), 27u);
  EXPECT_EQ(names.count("Command1"), 0u);
}

enum class Hit { Press, Focus };

struct ControlCase {
  const char* name;
  Hit hit;
  int topic;
};

class ControlContract : public HelpModeContract, public ::testing::WithParamInterface<ControlCase> {
 protected:
  QWidget* target(const std::string& name) {
    if (name == "Dir1") return window->directoryList().viewport();
    if (name == "File1") return window->fileList().viewport();
    return window->findChild<QWidget*>(QString::fromStdString(name));
  }
  void hit(QWidget* widget, Hit how) {
    if (how == Hit::Press) {
      QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(5, 5));
      QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(5, 5));
    } else {
      QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
      QApplication::sendEvent(widget, &focus);
    }
  }
};

TEST_P(ControlContract, ShowsTopicOnlyInHelpMode) {
  const ControlCase& control = GetParam();
  QWidget* widget = target(control.name);
  ASSERT_NE(widget, nullptr);
  const std::string pathBefore = window->currentDirectory();

  hit(widget, control.hit);
  EXPECT_TRUE(test.dialogs.calls().empty());

  window->fileList().clearSelection();
  enterHelpMode();
  hit(widget, control.hit);
  expectOnlyTopicShown(control.topic);
  EXPECT_EQ(window->fileList().selectedCount(), 0);
  EXPECT_EQ(window->currentDirectory(), pathBefore);
}

INSTANTIATE_TEST_SUITE_P(
    EveryControl, ControlContract,
    ::testing::Values(ControlCase{"Dir1", Hit::Press, 46}, ControlCase{"File1", Hit::Press, 27},
                      ControlCase{"Text1", Hit::Press, 28}, ControlCase{"Text1", Hit::Focus, 28},
                      ControlCase{"Text2", Hit::Press, 29}, ControlCase{"Text2", Hit::Focus, 29},
                      ControlCase{"Text3", Hit::Press, 47},
                      ControlCase{"Picture1", Hit::Press, 48}),
    [](const auto& info) {
      return std::string(info.param.name) + (info.param.hit == Hit::Press ? "Press" : "Focus");
    });

TEST_F(HelpModeContract, ToggleTwiceLeavesHelpModeOffSilently) {
  QAction* toggle = window->menuItem("sensitivehelp");
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(toggle->text(), "(?)");
  toggle->trigger();
  EXPECT_TRUE(window->helpMode().isOn());
  toggle->trigger();
  EXPECT_FALSE(window->helpMode().isOn());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(HelpModeContract, ExitAsksEvenInHelpMode) {
  enterHelpMode();
  window->menuItem("exit")->trigger();
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Exit, Are You Sure?");
  EXPECT_TRUE(window->helpMode().isOn());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(HelpModeContract, AboutAndDisclaimerRunInHelpMode) {
  int about = 0, disclaimer = 0;
  window->setCommand(MenuCommand::about, [&] { ++about; });
  window->setCommand(MenuCommand::mnudisclaimer, [&] { ++disclaimer; });
  enterHelpMode();
  window->menuItem("about")->trigger();
  window->menuItem("mnudisclaimer")->trigger();
  EXPECT_EQ(about, 1);
  EXPECT_EQ(disclaimer, 1);
  EXPECT_TRUE(test.dialogs.calls().empty());
  EXPECT_TRUE(window->helpMode().isOn());
}

TEST_F(HelpModeContract, SelectionChangesAndSaveEditedIgnoreHelpMode) {
  int saves = 0;
  window->setCommand(MenuCommand::Command1, [&] { ++saves; });
  enterHelpMode();
  window->saveEditedButton().setEnabled(true);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(window->helpMode().isOn());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

}  // namespace
}  // namespace brindle::app
