// The main window's start-up, browsing state, name box and closing.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QStringListModel>
#include <QTest>

#include <filesystem>

#include "tests/app/MainWindowFixture.h"
#include "ui/core/Mnemonics.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

class MainWindowTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    browsed.write("b.mp3", "b");
    browsed.write("A.txt", "a");
    browsed.write(".hidden");
    browsed.makeDirectory("Music");
  }
  QStringList shownNames() {
    QStringList names;
    for (int i = 0; i < window->fileList().listCount(); ++i) {
      names << QString::fromStdString(window->fileList().entryName(i));
    }
    return names;
  }
};

TEST_F(MainWindowTest, StartUpSetsTitleAndFillsLists) {
  start();
  EXPECT_EQ(window->windowTitle(), "Brindle1.5");
  EXPECT_EQ(shownNames(), (QStringList{".hidden", "A.txt", "b.mp3"}));
  EXPECT_EQ(window->countBox().text(), "3");
  EXPECT_EQ(window->pathBox().text().toStdString(), browsed.path());
  EXPECT_EQ(window->currentDirectory(), browsed.path());
  EXPECT_EQ(window->fileList().path(), browsed.path());
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
  EXPECT_EQ(window->driveList().currentText().toStdString(), browsed.path());
  EXPECT_EQ(window->caretReadout().text(), "1,0");
  EXPECT_EQ(test.instanceGuard.calls(), 1);
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptions) {
  start();
  EXPECT_EQ(window->saveEditedButton().text(), "Save Edited");
  EXPECT_EQ(window->findChild<QLabel*>("Label3")->text(), "* Brindle *");
  EXPECT_EQ(window->findChild<QLabel*>("Label5")->text(), "Right Click For More Options");
  EXPECT_EQ(window->findChild<QLabel*>("Label1")->text(), "Files in Directory");
  EXPECT_EQ(window->findChild<QLabel*>("Label2")->text(), "Path:");
  EXPECT_EQ(window->findChild<QLabel*>("Selected")->text(), "Selected:");
  EXPECT_EQ(window->findChild<QLabel*>("Label7")->text(), "Selected:");
  EXPECT_EQ(window->fileList().toolTip(),
            "Double click to open with associated program,  Delete key deletes hi-lighted file!, "
            "Right Click For More Options!");
  EXPECT_EQ(window->fileList().selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(MainWindowTest, MenusInOrderWithSeparators) {
  start();
  auto captions = [](QMenu* menu) {
    QStringList list;
    for (QAction* action : menu->actions()) {
      list << (action->isSeparator() ? "-" : ui::withoutMnemonic(action->text()));
    }
    return list;
  };
  EXPECT_EQ(captions(&window->optionsMenu()),
            (QStringList{"Print", "-", "Edit", "-", "Delete", "-", "MP3 Tags", "-", "Exit"}));
  EXPECT_EQ(captions(window->menu("print")),
            (QStringList{"Files List To Printer", "-", "Append Files List To File", "-",
                         "Add Files List To Files"}));
  EXPECT_EQ(captions(&window->windowMenu()), (QStringList{"Select All Files",
                                                          "Refresh Files",
                                                          "-",
                                                          "Edit File",
                                                          "Delete File",
                                                          "-",
                                                          "Rename All Extension(s)",
                                                          "Rename All Files",
                                                          "Rename Single File",
                                                          "-",
                                                          "Remove Characters From Filenames",
                                                          "-",
                                                          "Convert All to Uppercase",
                                                          "Convert All to Lowercase",
                                                          "Convert to Title Case ",
                                                          "-",
                                                          "Remove Left Most",
                                                          "Remove Right Most",
                                                          "Remove Middle Most",
                                                          "-",
                                                          "Edit MP3 Tags"}));
  EXPECT_EQ(captions(window->menu("help")), (QStringList{"Help", "About", "-", "Disclaimer"}));
  EXPECT_EQ(captions(window->menu("edit")), (QStringList{"Undo", "History..."}));
  QStringList bar;
  for (QAction* action : window->menuBar()->actions()) bar << ui::withoutMnemonic(action->text());
  EXPECT_EQ(bar, (QStringList{"Options", "Edit", "Window", "Help", "(?)"}));
}

// Every menu and item can be reached with Alt and a letter: one access key
// per caption, none twice in a menu; the common commands have their keys.
TEST_F(MainWindowTest, MenusHaveAccessKeysAndTheCommonCommandsShortcuts) {
  start();
  std::vector<QList<QAction*>> menus{window->menuBar()->actions()};
  for (const char* name : {"Options", "print", "filewindow", "help"}) {
    menus.push_back(window->menu(name)->actions());
  }
  for (const QList<QAction*>& actions : menus) {
    QSet<QChar> keys;
    for (QAction* action : actions) {
      if (action->isSeparator() || action->text() == "(?)") continue;
      const QString text = action->text();
      SCOPED_TRACE(text.toStdString());
      ASSERT_EQ(text.count(u'&'), 1);
      const QChar key = text.at(text.indexOf(u'&') + 1).toLower();
      EXPECT_FALSE(keys.contains(key));
      keys.insert(key);
    }
  }
  EXPECT_EQ(window->menuItem("renamesingle")->shortcut(), QKeySequence(Qt::Key_F2));
  EXPECT_EQ(window->menuItem("refreshfiles")->shortcut(), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(window->menuItem("selectall")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));

  // F5 runs the item: a file written meanwhile shows up.
  browsed.write("late.txt");
  const int before = window->fileList().listCount();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(&window->fileList(), Qt::Key_F5);
  EXPECT_EQ(window->fileList().listCount(), before + 1);
}

TEST_F(MainWindowTest, SecondInstanceShowsMessageAndEnds) {
  test.instanceGuard.setAnotherRunning(true);
  frmmainbrindle second(services, help, browsed.path());
  EXPECT_FALSE(second.startUp());
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  const platform::MessageRequest box = test.dialogs.messages()[0];
  EXPECT_EQ(box.text, "Brindle Already Running?");
  EXPECT_EQ(box.buttons, Buttons::Ok);
  EXPECT_EQ(box.icon, Icon::None);
  EXPECT_EQ(box.title, "Brindle");
  EXPECT_EQ(second.fileList().listCount(), 0);
}

TEST_F(MainWindowTest, ClickingOneEntryFillsNameBox) {
  start();
  clickEntry(1);
  EXPECT_EQ(window->nameBox().text(), "A.txt");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
  EXPECT_EQ(window->fileList().currentName(), "A.txt");
  EXPECT_EQ(window->countBox().text(), "3");
}

TEST_F(MainWindowTest, ClickLeavingSeveralSelectedEmptiesNameBoxAndEnablesSave) {
  start();
  clickEntry(1);
  clickEntry(2, Qt::ControlModifier);
  EXPECT_EQ(window->fileList().selectedCount(), 2);
  EXPECT_EQ(window->nameBox().text(), "");
  EXPECT_TRUE(window->saveEditedButton().isEnabled());
  EXPECT_EQ(window->fileList().selectionFlags(), (std::vector<bool>{false, true, true}));
}

TEST_F(MainWindowTest, SaveEditedFollowsTheNameBox) {
  start();
  clickEntry(2);
  ASSERT_EQ(window->nameBox().text(), "b.mp3");
  QLineEdit& nameBox = window->nameBox();
  nameBox.setFocus();
  nameBox.end(false);
  QTest::keyClicks(&nameBox, "x");
  EXPECT_TRUE(window->saveEditedButton().isEnabled());
  QTest::keyClick(&nameBox, Qt::Key_Backspace);
  EXPECT_EQ(nameBox.text(), "b.mp3");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
  nameBox.setText("B.mp3");  // comparison is case-sensitive
  EXPECT_TRUE(window->saveEditedButton().isEnabled());

  // A directory change disables it again.
  window->directoryList().setPath(browsed.file("Music"));
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
}

TEST_F(MainWindowTest, TypingAKeyThatChangesNothingEnablesSave) {
  start();
  clickEntry(1);
  QLineEdit& nameBox = window->nameBox();
  nameBox.setFocus();
  nameBox.home(false);
  QTest::keyClick(&nameBox, Qt::Key_Backspace);  // nothing before the caret
  EXPECT_EQ(nameBox.text(), "A.txt");
  EXPECT_TRUE(window->saveEditedButton().isEnabled());
}

TEST_F(MainWindowTest, CaretReadoutShowsPositionAndSelectionLength) {
  start();
  QLineEdit& nameBox = window->nameBox();
  nameBox.setText("abcdef");
  nameBox.setCursorPosition(0);
  EXPECT_EQ(window->caretReadout().text(), "1,0");
  nameBox.setCursorPosition(4);
  EXPECT_EQ(window->caretReadout().text(), "5,0");
  nameBox.setSelection(2, 3);
  EXPECT_EQ(window->caretReadout().text(), "3,3");
  nameBox.setSelection(5, -4);  // marked backwards: start is still position 1
  EXPECT_EQ(window->caretReadout().text(), "2,4");
}

TEST_F(MainWindowTest, DirectoryChangeRereadsListAndPath) {
  browsed.write("Music/song.mp3");
  start();
  window->saveEditedButton().setEnabled(true);
  QListWidgetItem* music = nullptr;
  for (int row = 0; row < window->directoryList().count(); ++row) {
    if (window->directoryList().item(row)->text().trimmed() == "Music") {
      music = window->directoryList().item(row);
    }
  }
  ASSERT_NE(music, nullptr);
  emit window->directoryList().itemActivated(music);
  EXPECT_EQ(window->currentDirectory(), browsed.file("Music"));
  EXPECT_EQ(window->fileList().path(), browsed.file("Music"));
  EXPECT_EQ(window->countBox().text(), "1");
  EXPECT_EQ(window->pathBox().text().toStdString(), browsed.file("Music"));
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
}

TEST_F(MainWindowTest, DirectoryClickRereadsWithoutTouchingPathBox) {
  start();
  browsed.write("new.txt");
  window->pathBox().setText("typed");
  window->saveEditedButton().setEnabled(true);
  emit window->directoryList().entryClicked();
  EXPECT_EQ(window->countBox().text(), "4");
  EXPECT_EQ(window->pathBox().text(), "typed");
  EXPECT_FALSE(window->saveEditedButton().isEnabled());
}

TEST_F(MainWindowTest, UnreadableDriveLeavesListsAsTheyWere) {
  test.fileSystem.setDrives({"/", browsed.path(), "/no-such-drive-here"});
  start();
  const int index = window->driveList().findText("/no-such-drive-here");
  ASSERT_GE(index, 0);
  window->driveList().setCurrentIndex(index);
  emit window->driveList().activated(index);
  EXPECT_EQ(window->currentDirectory(), browsed.path());
  EXPECT_EQ(window->fileList().listCount(), 3);
  EXPECT_EQ(window->countBox().text(), "3");
  EXPECT_EQ(window->driveList().currentText(), "/no-such-drive-here");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(MainWindowTest, ChoosingADriveMovesToItsRoot) {
  testsupport::TempDir other;
  other.write("x.txt");
  test.fileSystem.setDrives({"/", browsed.path(), other.path()});
  start();
  const int index = window->driveList().findText(QString::fromStdString(other.path()));
  emit window->driveList().activated(index);
  EXPECT_EQ(window->currentDirectory(), other.path());
  EXPECT_EQ(window->countBox().text(), "1");
  EXPECT_EQ(window->pathBox().text().toStdString(), other.path());
}

TEST_F(MainWindowTest, EmptyDirectoryShowsZeroAndSelectAllDoesNothing) {
  testsupport::TempDir empty;
  window = std::make_unique<frmmainbrindle>(services, help, empty.path());
  ASSERT_TRUE(window->startUp());
  EXPECT_EQ(window->countBox().text(), "0");
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->fileList().selectedCount(), 0);
}

TEST_F(MainWindowTest, SelectAllAndRefresh) {
  start();
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->fileList().selectionFlags(), (std::vector<bool>{true, true, true}));
  browsed.write("c.txt");
  window->menuItem("refreshfiles")->trigger();
  EXPECT_EQ(window->fileList().listCount(), 4);
  EXPECT_EQ(window->countBox().text(), "4");
}

TEST_F(MainWindowTest, DoubleClickOpensEntryWithItsProgram) {
  start();
  ui::FileListBox& list = window->fileList();
  const QRect rect = list.visualRect(list.model()->index(1, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(test.shell.opened(), (std::vector<std::string>{browsed.file("A.txt")}));
}

TEST_F(MainWindowTest, DeleteKeyRunsTheDeleteCommand) {
  start();
  int deletes = 0;
  window->setCommand(MenuCommand::delete_, [&] { ++deletes; });
  clickEntry(0);
  QTest::keyClick(&window->fileList(), Qt::Key_Delete);
  EXPECT_EQ(deletes, 1);
  QTest::keyClick(&window->fileList(), Qt::Key_A);
  EXPECT_EQ(deletes, 1);
}

TEST_F(MainWindowTest, KeyboardMoveCountsAsClick) {
  start();
  clickEntry(0);
  window->fileList().setFocus();
  QTest::keyClick(&window->fileList(), Qt::Key_Down);
  EXPECT_EQ(window->nameBox().text(), "A.txt");
}

TEST_F(MainWindowTest, EntryPathAddsOneSeparator) {
  start();
  EXPECT_EQ(window->entryPathOf("a.txt"), browsed.path() + "/a.txt");
  EXPECT_EQ(platform::entryPath("/", "a.txt"), "/a.txt");
}

TEST_F(MainWindowTest, ExitAnsweredNoKeepsWindow) {
  start();
  test.dialogs.answer(Answer::No);
  window->menuItem("exit")->trigger();
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  const platform::MessageRequest box = test.dialogs.messages()[0];
  EXPECT_EQ(box.text, "Exit, Are You Sure?");
  EXPECT_EQ(box.buttons, Buttons::YesNo);
  EXPECT_EQ(box.icon, Icon::None);
  EXPECT_EQ(box.title, "Brindle");
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ExitAnsweredYesClosesEveryWindow) {
  start();
  QWidget tagEditor, sameCaption;
  tagEditor.setWindowTitle("Brindle Tag Editor");
  sameCaption.setWindowTitle(window->windowTitle());
  tagEditor.show();
  sameCaption.show();
  test.dialogs.answer(Answer::Yes);
  window->menuItem("exit")->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(tagEditor.isVisible());
  EXPECT_FALSE(sameCaption.isVisible());
  EXPECT_EQ(test.dialogs.calls().size(), 1u);
}

TEST_F(MainWindowTest, ClosingTheWindowClosesOthersWithoutQuestion) {
  start();
  QWidget renameDialog;
  renameDialog.show();
  window->close();
  EXPECT_FALSE(renameDialog.isVisible());
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(MainWindowTest, RightClickOnListPopsUpWindowMenu) {
  start();
  emit window->fileList().customContextMenuRequested(QPoint(3, 3));
  EXPECT_TRUE(window->windowMenu().isVisible());
  window->windowMenu().close();
}

// The folder shown and the window's place at closing are where the next
// run starts.
TEST_F(MainWindowTest, TheNextRunStartsInTheLastFolderAndPlace) {
  browsed.write("a.txt");
  testsupport::TempDir other;
  other.write("b.txt");
  start();
  ASSERT_TRUE(window->directoryList().setPath(other.path()));
  window->setGeometry(40, 50, 700, 500);
  QApplication::processEvents();
  window->browseSplitter().setSizes({200, 460});
  const QList<int> panes = window->browseSplitter().sizes();
  const QPoint position = window->geometry().topLeft();
  window->close();

  auto next = std::make_unique<frmmainbrindle>(services, help, browsed.path());
  ASSERT_TRUE(next->startUp());
  EXPECT_EQ(next->currentDirectory(), other.path());
  EXPECT_EQ(next->fileList().entryName(0), "b.txt");
  EXPECT_EQ(next->size(), QSize(700, 500));
  EXPECT_EQ(next->geometry().topLeft(), position);
  next->show();
  QApplication::processEvents();
  EXPECT_EQ(next->browseSplitter().sizes(), panes);
}

// The path bar shows the folder, completes typed folders and shows a typed
// folder on Enter; anything else puts the shown folder back.
TEST_F(MainWindowTest, APathTypedIntoThePathBarIsShown) {
  std::filesystem::create_directory(browsed.file("Music"));
  std::filesystem::create_directory(browsed.file("Mixes"));
  browsed.write("Music/song.mp3");
  start();
  QLineEdit& bar = window->pathBar();
  EXPECT_EQ(bar.text().toStdString(), browsed.path());

  bar.clear();
  QTest::keyClicks(&bar, QString::fromStdString(browsed.path() + "/Mu"));
  ASSERT_NE(bar.completer(), nullptr);
  auto* model = qobject_cast<QStringListModel*>(bar.completer()->model());
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->stringList(), QStringList{QString::fromStdString(browsed.file("Music"))});
  bar.completer()->popup()->hide();

  bar.setText(QString::fromStdString(browsed.file("Music")));
  QTest::keyClick(&bar, Qt::Key_Return);
  EXPECT_EQ(window->currentDirectory(), browsed.file("Music"));
  EXPECT_EQ(window->fileList().entryName(0), "song.mp3");
  EXPECT_EQ(window->pathBox().text().toStdString(), browsed.file("Music"));

  bar.setText(QString::fromStdString(browsed.file("Music/song.mp3")));
  QTest::keyClick(&bar, Qt::Key_Return);
  EXPECT_EQ(window->currentDirectory(), browsed.file("Music"));
  EXPECT_EQ(bar.text().toStdString(), browsed.file("Music"));
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// The status line counts the selected files; the caret readout stays.
TEST_F(MainWindowTest, TheStatusLineCountsTheSelectedFiles) {
  start();
  EXPECT_EQ(window->selectionNote().text(), "0 of 3 files selected");
  clickEntry(0);
  clickEntry(2, Qt::ControlModifier);
  EXPECT_EQ(window->selectionNote().text(), "2 of 3 files selected");
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->selectionNote().text(), "3 of 3 files selected");
  EXPECT_EQ(window->caretReadout().text(), "1,0");
  EXPECT_GE(window->fileList().minimumWidth(), 200);
}

// The file list shows size and date columns; a click on a column's header
// orders by it (again: the other way round); name order is the default.
TEST_F(MainWindowTest, TheFileListSortsBySizeAndDate) {
  browsed.write("b.mp3", std::string(3000, 'b'));
  browsed.write("A.txt", std::string(10, 'a'));
  start();
  ui::FileListBox& list = window->fileList();
  ASSERT_EQ(list.model()->columnCount(), 3);
  EXPECT_EQ(list.model()->headerData(1, Qt::Horizontal).toString(), "Size");
  EXPECT_EQ(list.model()->headerData(2, Qt::Horizontal).toString(), "Modified");
  EXPECT_EQ(shownNames(), (QStringList{".hidden", "A.txt", "b.mp3"}));
  EXPECT_EQ(list.model()->index(2, 1).data().toString(), "2.9 KB");
  EXPECT_EQ(list.model()->index(1, 1).data().toString(), "10 B");

  QHeaderView* header = list.header();
  ASSERT_TRUE(header->isVisible());
  const auto clickHeader = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  clickHeader(1);
  EXPECT_EQ(shownNames(), (QStringList{".hidden", "A.txt", "b.mp3"}));
  clickHeader(1);
  EXPECT_EQ(shownNames(), (QStringList{"b.mp3", "A.txt", ".hidden"}));
  // Entries are addressed in the order shown: the commands act on what is seen.
  EXPECT_EQ(list.entryName(0), "b.mp3");
  window->rereadFileList();
  EXPECT_EQ(shownNames(), (QStringList{"b.mp3", "A.txt", ".hidden"}));
  clickHeader(0);
  EXPECT_EQ(shownNames(), (QStringList{".hidden", "A.txt", "b.mp3"}));
}

}  // namespace
}  // namespace brindle::app
