// The "Edit" menu of the main window and the history window, over real
// temporary files and a history in memory: Undo takes the last rename batch
// back, its caption follows the newest batch, the history window lists the
// batches and undoes the chosen one.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <set>

#include "app/program/InstallEditCommands.h"
#include "app/program/InstallRenameCommands.h"
#include "app/program/InstallTagEditorCommands.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/core/Mnemonics.h"
#include "ui/history/ObservedHistory.h"

namespace brindle::app {
namespace {

using platform::Answer;
using Names = std::set<std::string>;

class EditMenuTest : public MainWindowFixture {
 protected:
  EditMenuTest() {
    auto opened = history::openHistory(":memory:");
    EXPECT_TRUE(opened.ok());
    store = std::move(opened.value());
    observed = std::make_unique<ui::ObservedHistory>(*store);
  }
  ~EditMenuTest() override { window.reset(); }

  /// Starts the window over `names` with every command installed; with
  /// `recording` false the history is off.
  void startWith(std::initializer_list<const char*> names, bool recording = true) {
    for (const char* name : names) browsed.write(name, name);
    start();
    ui::ObservedHistory* history = recording ? observed.get() : nullptr;
    rename::installRenameCommands(*window, history);
    auto& tagEditors = tageditor::installTagEditorCommands(*window, history);
    edits = &installEditCommands(*window, history, tagEditors);
  }
  QAction& undoItem() { return *window->menuItem("mnuundo"); }
  void choose(const char* item) { window->menuItem(item)->trigger(); }
  Names names() {
    Names result;
    for (const auto& entry : std::filesystem::directory_iterator(browsed.path())) {
      result.insert(entry.path().filename().string());
    }
    return result;
  }
  std::vector<std::string> listed() {
    std::vector<std::string> result;
    for (int i = 0; i < window->fileList().listCount(); ++i) {
      result.push_back(window->fileList().entryName(i));
    }
    return result;
  }
  /// Selects every file and runs the rename item `item`, answering Yes.
  void renameAll(const char* item) {
    window->fileList().selectAllEntries();
    test.dialogs.answer(Answer::Yes);
    choose(item);
    test.dialogs.clear();
  }

  std::unique_ptr<history::History> store;
  std::unique_ptr<ui::ObservedHistory> observed;
  EditCommands* edits = nullptr;
};

TEST_F(EditMenuTest, EditMenuFollowsTheFirstMenuWithUndoAndHistory) {
  startWith({"a.txt"});
  QMenu* edit = window->menu("edit");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->title(), "&Edit");
  const QList<QAction*> bar = window->menuBar()->actions();
  ASSERT_GE(bar.size(), 3);
  EXPECT_EQ(bar[0]->menu(), window->menu("Options"));
  EXPECT_EQ(bar[1]->menu(), edit);
  const QList<QAction*> items = edit->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->objectName(), "mnuundo");
  EXPECT_EQ(items[1]->objectName(), "mnuhistory");
  EXPECT_EQ(ui::withoutMnemonic(items[1]->text()), "History...");
  EXPECT_EQ(undoItem().shortcut(), QKeySequence(QKeySequence::Undo));
}

TEST_F(EditMenuTest, UndoTakesTheLastRenameBatchBackAndRereadsTheList) {
  startWith({"A.MP3", "B.Txt", "c.txt"});
  EXPECT_EQ(undoItem().text(), "Undo");
  EXPECT_FALSE(undoItem().isEnabled());

  renameAll("convertlow");
  ASSERT_EQ(names(), (Names{"a.mp3", "b.txt", "c.txt"}));
  // The caption follows the batch as soon as it closes.
  EXPECT_EQ(undoItem().text(), "Undo Convert All to Lowercase");
  EXPECT_TRUE(undoItem().isEnabled());

  choose("mnuundo");
  EXPECT_EQ(names(), (Names{"A.MP3", "B.Txt", "c.txt"}));
  EXPECT_EQ(listed(), (std::vector<std::string>{"A.MP3", "B.Txt", "c.txt"}));
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  const std::string text = test.dialogs.calls()[0].message.text;
  EXPECT_EQ(text.rfind("undid batch ", 0), 0u) << text;
  EXPECT_NE(text.find("2 file(s) restored"), std::string::npos) << text;
  EXPECT_NE(text.find("restored: " + (browsed / "A.MP3")), std::string::npos) << text;
  EXPECT_NE(text.find("restored: " + (browsed / "B.Txt")), std::string::npos) << text;
  EXPECT_EQ(test.dialogs.unscriptedPrompts(), 0u);

  // The undo is the newest batch now: Ctrl+Z again redoes the renames.
  EXPECT_EQ(undoItem().text(), "Undo Undo Convert All to Lowercase");
  test.dialogs.clear();
  choose("mnuundo");
  EXPECT_EQ(names(), (Names{"a.mp3", "b.txt", "c.txt"}));
}

TEST_F(EditMenuTest, CaptionIsReadAgainWhenTheMenuOpens) {
  startWith({"x.txt"});
  // A batch recorded past the window (another program on the same history).
  ASSERT_TRUE(store->beginBatch("brindle-cli write", {}, {}).ok());
  ASSERT_TRUE(store->closeBatch(1, history::BatchState::Done).ok());
  EXPECT_EQ(undoItem().text(), "Undo");
  emit window->menu("edit")->aboutToShow();
  EXPECT_EQ(undoItem().text(), "Undo brindle-cli write");
  EXPECT_TRUE(undoItem().isEnabled());
}

TEST_F(EditMenuTest, NothingToUndoIsSaidAndTouchesNothing) {
  for (bool recording : {true, false}) {
    SCOPED_TRACE(recording);
    window.reset();
    startWith({"Keep.TXT"}, recording);
    EXPECT_FALSE(undoItem().isEnabled());
    test.dialogs.clear();
    edits->undoNewest();
    ASSERT_EQ(test.dialogs.calls().size(), 1u);
    EXPECT_EQ(test.dialogs.calls()[0].message.text, "Nothing to undo");
    EXPECT_EQ(names(), Names{"Keep.TXT"});
  }
}

TEST_F(EditMenuTest, HistoryWindowListsBatchesAndUndoesTheChosenOne) {
  startWith({"One.txt", "two.TXT"});
  renameAll("convertlow");
  renameAll("converup");
  ASSERT_EQ(names(), (Names{"ONE.TXT", "TWO.TXT"}));

  choose("mnuhistory");
  ui::HistoryWindow* history = edits->historyWindow();
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(history->isVisible());
  EXPECT_EQ(history->objectName(), "frmHistory");
  QTreeWidget& list = history->batchList();
  ASSERT_EQ(list.topLevelItemCount(), 2);
  // Newest first: time, command, files, state.
  EXPECT_EQ(list.topLevelItem(0)->text(1), "Convert All to Uppercase");
  EXPECT_EQ(list.topLevelItem(1)->text(1), "Convert All to Lowercase");
  EXPECT_EQ(list.topLevelItem(0)->text(2), "2");
  EXPECT_EQ(list.topLevelItem(0)->text(3), "done");
  EXPECT_EQ(list.topLevelItem(0)->text(0).size(), 19);
  EXPECT_FALSE(history->undoButton().isEnabled());

  // The older batch: its old names are free again only after the newer is
  // undone, so undoing it first leaves the files alone and says so.
  history->chooseRow(1);
  EXPECT_TRUE(history->undoButton().isEnabled());
  QTest::mouseClick(&history->undoButton(), Qt::LeftButton);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  const std::string leftAlone = test.dialogs.calls()[0].message.text;
  EXPECT_NE(leftAlone.find("0 file(s) restored"), std::string::npos) << leftAlone;
  EXPECT_NE(leftAlone.find("left alone: " + (browsed / "one.txt")), std::string::npos) << leftAlone;
  EXPECT_EQ(names(), (Names{"ONE.TXT", "TWO.TXT"}));
  test.dialogs.clear();
  // Nothing was undone: the batches stay as they were, the chosen one chosen.
  ASSERT_EQ(list.topLevelItemCount(), 2);
  EXPECT_EQ(list.topLevelItem(1)->text(3), "done");
  EXPECT_EQ(list.currentItem(), list.topLevelItem(1));

  // Undo of the newest: the list gains the undo, the batch reads "undone",
  // and the main window shows the names of before.
  history->chooseRow(0);
  QTest::mouseClick(&history->undoButton(), Qt::LeftButton);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_NE(test.dialogs.calls()[0].message.text.find("2 file(s) restored"), std::string::npos);
  EXPECT_EQ(names(), (Names{"one.txt", "two.txt"}));
  EXPECT_EQ(listed(), (std::vector<std::string>{"one.txt", "two.txt"}));
  ASSERT_EQ(list.topLevelItemCount(), 3);
  EXPECT_EQ(list.topLevelItem(0)->text(1), "Undo Convert All to Uppercase");
  EXPECT_EQ(list.topLevelItem(1)->text(1), "Convert All to Uppercase");
  EXPECT_EQ(list.topLevelItem(1)->text(3), "undone");
  // An undone batch cannot be undone again; its undo can.
  history->chooseRow(1);
  EXPECT_FALSE(history->undoButton().isEnabled());
  history->chooseRow(0);
  EXPECT_TRUE(history->undoButton().isEnabled());
  EXPECT_EQ(undoItem().text(), "Undo Undo Convert All to Uppercase");
}

TEST_F(EditMenuTest, OpenHistoryWindowFollowsEachNewBatch) {
  startWith({"One.txt"});
  choose("mnuhistory");
  ui::HistoryWindow* history = edits->historyWindow();
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(history->batchList().topLevelItemCount(), 0);
  renameAll("convertlow");
  ASSERT_EQ(history->batchList().topLevelItemCount(), 1);
  EXPECT_EQ(history->batchList().topLevelItem(0)->text(1), "Convert All to Lowercase");
  EXPECT_EQ(history->batchList().topLevelItem(0)->text(2), "1");
}

TEST_F(EditMenuTest, HistoryWhenOffSaysSo) {
  startWith({"a.txt"}, false);
  choose("mnuhistory");
  EXPECT_EQ(edits->historyWindow(), nullptr);
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text, "The history is off: changes are not recorded.");
}

}  // namespace
}  // namespace brindle::app
