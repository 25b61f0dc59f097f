// The main window's wiring: start-up, lists, name box, path bar, menus, keys, information windows,
// closing, the next run, and the help mode contract of every item and control.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <brindle/Version.h>
#include <optional>

#include "app/MainMenu.h"
#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmDisclaimer.h"
#include "infowindows/frmWarning.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/core/HelpTopics.h"
#include "ui/core/Mnemonics.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::testing::FsOp;

class MainWindowTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    browsed.write("b.mp3", std::string(3000, 'b'));
    browsed.write("A.txt", std::string(10, 'a'));
    browsed.write(".hidden");
    browsed.makeDirectory("Music");
    browsed.write("Music/song.mp3");
  }
  void TearDown() override { help.removeWindow(otherWindow); }
  QStringList shownNames() {
    QStringList names;
    for (int i = 0; i < window->fileList().listCount(); ++i)
      names << QString::fromStdString(window->fileList().entryName(i));
    return names;
  }
  /// Folder shown | path box | count box, and " | save" while Save Edited is on.
  std::string state() {
    return window->currentDirectory() + " | " + window->pathBox().text().toStdString() + " | " +
           window->countBox().text().toStdString() +
           (window->saveEditedButton().isEnabled() ? " | save" : "");
  }
  template <class Window>
  static std::vector<Window*> shown() {
    std::vector<Window*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
        found.push_back(window);
    return found;
  }
  /// How many Help, About, Warning and Disclaimer windows are open.
  static std::string openCounts() {
    using namespace infowindows;
    return std::to_string(shown<HelpForm>().size()) + std::to_string(shown<Aboutform>().size()) +
           std::to_string(shown<frmWarning>().size()) +
           std::to_string(shown<frmDisclaimer>().size());
  }
  ui::HelpMode otherWindow;
};

TEST_F(MainWindowTest, StartUpFillsTheListsAndASecondInstanceEnds) {
  start();
  EXPECT_EQ(window->windowTitle().toStdString(),
            kProductName + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor));
  EXPECT_EQ(shownNames(), (QStringList{".hidden", "A.txt", "b.mp3"}));
  EXPECT_EQ(state(), browsed.path() + " | " + browsed.path() + " | 3");
  EXPECT_EQ(window->driveList().currentText().toStdString(), browsed.path());
  EXPECT_TRUE(test.dialogs.calls().empty());
  test.instanceGuard.setAnotherRunning(true);
  frmmainbrindle second(services, help, browsed.path());
  EXPECT_FALSE(second.startUp());
  EXPECT_EQ(test.dialogs.messages().at(0).text + std::to_string(test.dialogs.messages().size()),
            "Brindle Already Running?1");
  EXPECT_EQ(test.instanceGuard.calls(), 2);
}

// The name box holds the one clicked entry; a key typed there, or several entries selected, turn
// Save Edited on; the readout shows caret and marking; a header click sorts (again: reversed).
TEST_F(MainWindowTest, NameBoxAndSortingFollowTheClicks) {
  start();
  clickEntry(1);
  QLineEdit& nameBox = window->nameBox();
  EXPECT_EQ(nameBox.text(), "A.txt");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
  nameBox.setFocus();
  QTest::keyClick(&nameBox, Qt::Key_Home);
  QTest::keyClick(&nameBox, Qt::Key_Backspace);  // changes nothing, still counts
  EXPECT_TRUE(window->saveEditedButton().isEnabled());
  clickEntry(2, Qt::ControlModifier);
  EXPECT_EQ(nameBox.text(), "");
  EXPECT_EQ(window->selectionNote().text(), "2 of 3 files selected");
  nameBox.setText("abcdef");
  nameBox.setSelection(5, -4);  // marked backwards: the start is position 2
  EXPECT_EQ(window->caretReadout().text(), "2,4");

  ui::FileListBox& list = window->fileList();
  EXPECT_EQ(list.model()->index(2, 1).data().toString(), "2.9 KB");
  QHeaderView* header = list.header();
  ASSERT_TRUE(header->isVisible());
  const auto clickHeader = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  clickHeader(1);
  clickHeader(1);
  EXPECT_EQ(shownNames(), (QStringList{"b.mp3", "A.txt", ".hidden"}));
  window->rereadFileList();
  EXPECT_EQ(shownNames(), (QStringList{"b.mp3", "A.txt", ".hidden"}));
  clickHeader(0);
  EXPECT_EQ(shownNames(), (QStringList{".hidden", "A.txt", "b.mp3"}));
}

// Folder list, drive list (an unreadable drive changes nothing) and path bar (completion; Enter on
// a folder shows it, on anything else puts the shown folder back) all re-read the files.
TEST_F(MainWindowTest, FolderListsDrivesAndPathBarShowAFolder) {
  testsupport::TempDir other;
  other.write("x.txt");
  test.fileSystem.setDrives({"/", browsed.path(), other.path(), "/no-such-drive-here"});
  start();
  const std::string music = browsed.file("Music");
  browsed.write("new.txt");
  window->pathBox().setText("typed");
  window->saveEditedButton().setEnabled(true);
  emit window->directoryList().entryClicked();
  EXPECT_EQ(state(), browsed.path() + " | typed | 4");
  window->saveEditedButton().setEnabled(true);
  const auto found = window->directoryList().findItems("Music", Qt::MatchEndsWith);
  ASSERT_EQ(found.size(), 1);
  emit window->directoryList().itemActivated(found[0]);
  EXPECT_EQ(state(), music + " | " + music + " | 1");
  emit window->driveList().activated(window->driveList().findText("/no-such-drive-here"));
  EXPECT_EQ(state(), music + " | " + music + " | 1");
  emit window->driveList().activated(
      window->driveList().findText(QString::fromStdString(other.path())));
  EXPECT_EQ(state(), other.path() + " | " + other.path() + " | 1");

  QLineEdit& bar = window->pathBar();
  EXPECT_EQ(bar.text().toStdString(), other.path());
  bar.clear();
  QTest::keyClicks(&bar, QString::fromStdString(browsed.path() + "/Mu"));
  ASSERT_EQ(bar.completer()->model()->rowCount(), 1);
  EXPECT_EQ(bar.completer()->model()->index(0, 0).data().toString().toStdString(), music);
  bar.completer()->popup()->hide();
  bar.setText(QString::fromStdString(music));
  QTest::keyClick(&bar, Qt::Key_Return);
  EXPECT_EQ(state(), music + " | " + music + " | 1");
  bar.setText(QString::fromStdString(browsed.file("Music/song.mp3")));
  QTest::keyClick(&bar, Qt::Key_Return);
  EXPECT_EQ(window->currentDirectory() + "|" + bar.text().toStdString(), music + "|" + music);
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// Select All, Refresh, F5, a double click, the context menu; Select All on an empty folder.
TEST_F(MainWindowTest, ListItemsAndKeys) {
  start();
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->fileList().selectionFlags(), (std::vector<bool>{true, true, true}));
  browsed.write("c.txt");
  window->menuItem("refreshfiles")->trigger();
  EXPECT_EQ(window->countBox().text(), "4");
  browsed.write("late.txt");
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(&window->fileList(), Qt::Key_F5);
  EXPECT_EQ(window->countBox().text(), "5");
  ui::FileListBox& list = window->fileList();
  const QPoint second = list.visualRect(list.model()->index(1, 0)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(test.shell.opened(), (std::vector<std::string>{browsed.file("A.txt")}));
  emit list.customContextMenuRequested(QPoint(3, 3));
  EXPECT_TRUE(window->windowMenu().isVisible());
  window->windowMenu().close();
  testsupport::TempDir empty;
  window = std::make_unique<frmmainbrindle>(services, help, empty.path());
  ASSERT_TRUE(window->startUp());
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->countBox().text(), "0");
}

// Every menu's captions carry the access keys the mnemonics rule gives them.
TEST_F(MainWindowTest, MenusCarryTheirAccessKeys) {
  start();
  std::vector<QList<QAction*>> menus{window->menuBar()->actions()};
  for (const char* name : {"Options", "print", "filewindow", "help", "edit"})
    menus.push_back(window->menu(name)->actions());
  for (const QList<QAction*>& actions : menus) {
    QStringList marked, plain;
    for (QAction* action : actions)
      marked << action->text(), plain << ui::withoutMnemonic(action->text());
    EXPECT_EQ(ui::withMnemonics(plain), marked);
    EXPECT_GE(marked.join("").count(u'&'), 2);
  }
}

// Help and About open once, modeless; the Disclaimer brings the warning and shows the main window
// again on OK; closing the main window closes them all, asking nothing; Exit asks, Yes closes all.
TEST_F(MainWindowTest, InformationWindowsAndExit) {
  programFolder.write("User License Agreement.txt", "Terms.\r\n");
  start();
  window->menuItem("help1")->trigger();
  window->menuItem("about")->trigger();
  window->menuItem("about")->trigger();
  window->menuItem("mnudisclaimer")->trigger();
  EXPECT_EQ(openCounts(), "1111");
  infowindows::frmDisclaimer* disclaimer = shown<infowindows::frmDisclaimer>().at(0);
  EXPECT_EQ(disclaimer->text1(), "Terms.\r\n");
  window->hide();
  QTest::mouseClick(disclaimer->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_EQ(openCounts(), "1110");
  EXPECT_TRUE(window->isVisible());
  QWidget other;
  other.show();
  window->close();
  EXPECT_EQ(openCounts(), "0000");
  EXPECT_FALSE(other.isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty());

  start();
  other.show();
  for (Answer answer : {Answer::No, Answer::Yes}) {
    test.dialogs.clear();
    test.dialogs.answer(answer);
    window->menuItem("exit")->trigger();
    EXPECT_EQ(test.dialogs.messages().at(0).text + std::to_string(test.dialogs.messages().size()),
              "Exit, Are You Sure?1");
    EXPECT_EQ(window->isVisible(), answer == Answer::No);
    EXPECT_EQ(other.isVisible(), answer == Answer::No);
  }
}

// The folder shown and the window's place at closing are where the next run starts.
TEST_F(MainWindowTest, TheNextRunStartsInTheLastFolderAndPlace) {
  start();
  ASSERT_TRUE(window->directoryList().setPath(browsed.file("Music")));
  window->setGeometry(40, 50, 700, 500);
  QApplication::processEvents();
  window->browseSplitter().setSizes({200, 460});
  const QList<int> panes = window->browseSplitter().sizes();
  const QPoint position = window->geometry().topLeft();
  window->close();
  auto next = std::make_unique<frmmainbrindle>(services, help, browsed.path());
  ASSERT_TRUE(next->startUp());
  EXPECT_EQ(next->currentDirectory(), browsed.file("Music"));
  EXPECT_EQ(next->size(), QSize(700, 500));
  EXPECT_EQ(next->geometry().topLeft(), position);
  next->show();
  QApplication::processEvents();
  EXPECT_EQ(next->browseSplitter().sizes(), panes);
}

// A menu item (with its command) or a control (pressed or focused) and its help topic.
struct Target {
  std::string name;
  int topic;
  std::optional<MenuCommand> command;
  bool focus = false;
};

class HelpModeTarget : public MainWindowTest, public ::testing::WithParamInterface<Target> {};

// Outside help mode the item runs its command; in help mode it shows its topic (only the help file
// read) and does nothing else, and every window leaves help mode.
TEST_P(HelpModeTarget, ShowsTopicInHelpModeAndRunsOtherwise) {
  const Target& target = GetParam();
  start();
  help.addWindow(otherWindow);
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
  window->helpMode().toggle();
  otherWindow.toggle();
  EXPECT_EQ(window->cursor().shape(), Qt::WhatsThisCursor);
  test.dialogs.clear();
  test.fileSystem.clearCalls();
  hit();
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages().at(0).title + test.dialogs.messages().at(0).text,
            "Help!" + topicText(target.topic));
  EXPECT_FALSE(window->helpMode().isOn() || otherWindow.isOn());
  ASSERT_EQ(test.fileSystem.calls().size(), 1u);
  EXPECT_EQ(test.fileSystem.calls()[0].op, FsOp::ReadFile);
  EXPECT_EQ(test.fileSystem.calls()[0].path, programFolder.file("Brindlehelp.txt"));
  EXPECT_TRUE(test.shell.opened().empty());
  EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(runs, target.command ? 1 : 0);
  EXPECT_EQ(window->fileList().selectedCount(), 0);
  EXPECT_EQ(window->currentDirectory(), pathBefore);
}

std::vector<Target> targets() {
  // clang-format off
  std::vector<Target> all{{"Dir1", topics::kDirectoryList, {}}, {"File1", topics::kFileList, {}},
      {"Text1", topics::kFileCountBox, {}}, {"Text1", topics::kFileCountBox, {}, true},
      {"Text2", topics::kPathBox, {}}, {"Text2", topics::kPathBox, {}, true}, {"PathBar", topics::kPathBox, {}},
      {"Text3", topics::kNameBox, {}}, {"Picture1", topics::kMainWindowPicture, {}}};
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

// The (?) item toggles help mode silently; Exit, About, Disclaimer and Save Edited run in help mode
// and leave it on.
TEST_F(MainWindowTest, ItemsWithoutTopicRunInHelpMode) {
  start();
  window->menuItem("sensitivehelp")->trigger();
  EXPECT_TRUE(window->helpMode().isOn());
  window->menuItem("sensitivehelp")->trigger();
  EXPECT_FALSE(window->helpMode().isOn());
  int runs = 0;
  for (MenuCommand command :
       {MenuCommand::about, MenuCommand::mnudisclaimer, MenuCommand::Command1})
    window->setCommand(command, [&] { ++runs; });
  window->helpMode().toggle();
  window->menuItem("about")->trigger();
  window->menuItem("mnudisclaimer")->trigger();
  window->saveEditedButton().setEnabled(true);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(runs, 3);
  EXPECT_TRUE(test.dialogs.calls().empty());
  window->menuItem("exit")->trigger();
  EXPECT_EQ(test.dialogs.messages().at(0).text + std::to_string(test.dialogs.calls().size()),
            "Exit, Are You Sure?1");
  EXPECT_TRUE(window->helpMode().isOn() && window->isVisible());
}

}  // namespace
}  // namespace brindle::app
