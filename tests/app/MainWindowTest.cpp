// The main window's wiring: start-up, name box, lists, path bar, menus and
// keys, the information windows, closing, and what the next run starts with.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <brindle/Version.h>

#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmDisclaimer.h"
#include "infowindows/frmWarning.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/core/Mnemonics.h"

namespace brindle::app {
namespace {

using platform::Answer;

class MainWindowTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    browsed.write("b.mp3", std::string(3000, 'b'));
    browsed.write("A.txt", std::string(10, 'a'));
    browsed.write(".hidden");
    browsed.makeDirectory("Music");
    browsed.write("Music/song.mp3");
  }
  QStringList shownNames() {
    QStringList names;
    for (int i = 0; i < window->fileList().listCount(); ++i) {
      names << QString::fromStdString(window->fileList().entryName(i));
    }
    return names;
  }
  std::string state() {
    return window->currentDirectory() + " | " + window->pathBox().text().toStdString() + " | " +
           window->countBox().text().toStdString() +
           (window->saveEditedButton().isEnabled() ? " | save" : "");
  }
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
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Brindle Already Running?");
  EXPECT_EQ(test.instanceGuard.calls(), 2);
}

// The name box holds the one clicked entry; a key typed there, or several
// entries selected, turn Save Edited on; the readout shows caret and marking.
TEST_F(MainWindowTest, NameBoxFollowsTheClicks) {
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
}

TEST_F(MainWindowTest, DirectoryAndDriveListsRereadTheFiles) {
  testsupport::TempDir other;
  other.write("x.txt");
  test.fileSystem.setDrives({"/", browsed.path(), other.path(), "/no-such-drive-here"});
  start();
  browsed.write("new.txt");
  window->pathBox().setText("typed");
  window->saveEditedButton().setEnabled(true);
  emit window->directoryList().entryClicked();
  EXPECT_EQ(state(), browsed.path() + " | typed | 4");

  window->saveEditedButton().setEnabled(true);
  const auto music = window->directoryList().findItems("Music", Qt::MatchEndsWith);
  ASSERT_EQ(music.size(), 1);
  emit window->directoryList().itemActivated(music[0]);
  EXPECT_EQ(state(), browsed.file("Music") + " | " + browsed.file("Music") + " | 1");

  int index = window->driveList().findText("/no-such-drive-here");
  emit window->driveList().activated(index);  // unreadable: nothing changes, nothing said
  EXPECT_EQ(state(), browsed.file("Music") + " | " + browsed.file("Music") + " | 1");
  index = window->driveList().findText(QString::fromStdString(other.path()));
  emit window->driveList().activated(index);
  EXPECT_EQ(state(), other.path() + " | " + other.path() + " | 1");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

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
  const QRect rect = list.visualRect(list.model()->index(1, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rect.center());
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
  for (const char* name : {"Options", "print", "filewindow", "help", "edit"}) {
    menus.push_back(window->menu(name)->actions());
  }
  for (const QList<QAction*>& actions : menus) {
    QStringList marked, plain;
    for (QAction* action : actions) {
      marked << action->text();
      plain << ui::withoutMnemonic(action->text());
    }
    EXPECT_EQ(ui::withMnemonics(plain), marked);
    EXPECT_GE(marked.join("").count(u'&'), 2);
  }
}

template <class Window>
std::vector<Window*> openWindows() {
  std::vector<Window*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
      found.push_back(window);
    }
  }
  return found;
}

// Help and About open once, modeless; the Disclaimer brings the warning and
// shows the main window again on OK; closing the main window closes them all.
TEST_F(MainWindowTest, InformationWindowsOpenFromTheMenus) {
  programFolder.write("User License Agreement.txt", "Terms.\r\n");
  start();
  window->menuItem("help1")->trigger();
  window->menuItem("about")->trigger();
  window->menuItem("about")->trigger();
  EXPECT_EQ(openWindows<infowindows::HelpForm>().size(), 1u);
  EXPECT_EQ(openWindows<infowindows::Aboutform>().size(), 1u);
  window->menuItem("mnudisclaimer")->trigger();
  EXPECT_EQ(openWindows<infowindows::frmWarning>().size(), 1u);
  const auto disclaimers = openWindows<infowindows::frmDisclaimer>();
  ASSERT_EQ(disclaimers.size(), 1u);
  EXPECT_EQ(disclaimers[0]->text1(), "Terms.\r\n");
  window->hide();
  QTest::mouseClick(disclaimers[0]->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_TRUE(openWindows<infowindows::frmDisclaimer>().empty());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty());

  QWidget other;
  other.show();
  window->close();
  EXPECT_TRUE(openWindows<infowindows::HelpForm>().empty());
  EXPECT_TRUE(openWindows<infowindows::Aboutform>().empty());
  EXPECT_TRUE(openWindows<infowindows::frmWarning>().empty());
  EXPECT_FALSE(other.isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty()) << "closing asks nothing";
}

TEST_F(MainWindowTest, ExitAsksAndYesClosesEveryWindow) {
  start();
  QWidget tagEditor;
  tagEditor.show();
  for (Answer answer : {Answer::No, Answer::Yes}) {
    test.dialogs.clear();
    test.dialogs.answer(answer);
    window->menuItem("exit")->trigger();
    ASSERT_EQ(test.dialogs.messages().size(), 1u);
    EXPECT_EQ(test.dialogs.messages()[0].text, "Exit, Are You Sure?");
    EXPECT_EQ(window->isVisible(), answer == Answer::No);
    EXPECT_EQ(tagEditor.isVisible(), answer == Answer::No);
  }
}

// The folder shown and the window's place at closing are where the next
// run starts.
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

// The path bar completes typed folders and shows a typed folder on Enter;
// anything else puts the shown folder back.
TEST_F(MainWindowTest, APathTypedIntoThePathBarIsShown) {
  start();
  QLineEdit& bar = window->pathBar();
  EXPECT_EQ(bar.text().toStdString(), browsed.path());
  bar.clear();
  QTest::keyClicks(&bar, QString::fromStdString(browsed.path() + "/Mu"));
  ASSERT_EQ(bar.completer()->model()->rowCount(), 1);
  EXPECT_EQ(bar.completer()->model()->index(0, 0).data().toString().toStdString(),
            browsed.file("Music"));
  bar.completer()->popup()->hide();

  bar.setText(QString::fromStdString(browsed.file("Music")));
  QTest::keyClick(&bar, Qt::Key_Return);
  EXPECT_EQ(state(), browsed.file("Music") + " | " + browsed.file("Music") + " | 1");
  bar.setText(QString::fromStdString(browsed.file("Music/song.mp3")));
  QTest::keyClick(&bar, Qt::Key_Return);
  EXPECT_EQ(window->currentDirectory(), browsed.file("Music"));
  EXPECT_EQ(bar.text().toStdString(), browsed.file("Music"));
}

// A click on a column's header orders by it (again: the other way round);
// the commands address the entries in the order shown.
TEST_F(MainWindowTest, TheFileListSortsBySizeAndDate) {
  start();
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

}  // namespace
}  // namespace brindle::app
