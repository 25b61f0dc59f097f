// The history in the program: recovery and what is said at the start, the
// "Edit" menu's wiring and the history window, over real temporary files and
// a history in memory; undo itself is tested in tests/ui.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "app/program/HistoryAtStart.h"
#include "app/program/InstallEditCommands.h"
#include "app/program/InstallRenameCommands.h"
#include "app/program/InstallTagEditorCommands.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/history/ObservedHistory.h"

namespace brindle::app {
namespace {

using platform::Answer;
using Names = std::vector<std::string>;

class EditMenuTest : public MainWindowFixture {
 protected:
  EditMenuTest() {
    auto opened = history::openHistory(":memory:");
    EXPECT_TRUE(opened.ok());
    store = std::move(opened.value());
    observed = std::make_unique<ui::ObservedHistory>(*store);
  }
  ~EditMenuTest() override { window.reset(); }

  /// Starts the window over `names` with every command; `recording` false: history off.
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
  /// The names the window lists, re-read from the folder after each command.
  Names listed() {
    Names result;
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

// The Edit menu follows Options; Undo (Ctrl+Z) takes the newest batch back,
// re-reads the list, and its caption follows the newest batch.
TEST_F(EditMenuTest, UndoItemUndoesTheNewestBatchAndRereadsTheList) {
  startWith({"A.MP3", "B.Txt", "c.txt"});
  EXPECT_EQ(window->menuBar()->actions()[1]->menu(), window->menu("edit"));
  EXPECT_EQ(undoItem().shortcut(), QKeySequence(QKeySequence::Undo));
  EXPECT_FALSE(undoItem().isEnabled());

  renameAll("convertlow");
  ASSERT_EQ(listed(), (Names{"a.mp3", "b.txt", "c.txt"}));
  EXPECT_EQ(undoItem().text(), "Undo Convert All to Lowercase");
  EXPECT_TRUE(undoItem().isEnabled());
  choose("mnuundo");
  EXPECT_EQ(listed(), (Names{"A.MP3", "B.Txt", "c.txt"}));
  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_NE(test.dialogs.calls()[0].message.text.find("2 file(s) restored"), std::string::npos);
  EXPECT_EQ(undoItem().text(), "Undo Undo Convert All to Lowercase");

  // A batch recorded past the window: the caption is read when the menu opens.
  ASSERT_TRUE(store->beginBatch("brindle-cli write", {}, {}).ok());
  ASSERT_TRUE(store->closeBatch(3, history::BatchState::Done).ok());
  emit window->menu("edit")->aboutToShow();
  EXPECT_EQ(undoItem().text(), "Undo brindle-cli write");
}

// The History item lists the batches, follows new ones, and undoes the
// chosen one; the main window shows the names of before.
TEST_F(EditMenuTest, HistoryWindowUndoesTheChosenBatch) {
  startWith({"One.txt", "two.TXT"});
  choose("mnuhistory");
  ui::HistoryWindow* history = edits->historyWindow();
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(history->isVisible());
  renameAll("convertlow");
  ASSERT_EQ(history->batchList().topLevelItemCount(), 1);
  EXPECT_FALSE(history->undoButton().isEnabled());
  history->chooseRow(0);
  QTest::mouseClick(&history->undoButton(), Qt::LeftButton);
  EXPECT_EQ(listed(), (Names{"One.txt", "two.TXT"}));
  ASSERT_EQ(history->batchList().topLevelItemCount(), 2);
  EXPECT_EQ(history->batchList().topLevelItem(1)->text(3), "undone");
  history->chooseRow(1);
  EXPECT_FALSE(history->undoButton().isEnabled());
}

TEST_F(EditMenuTest, WithTheHistoryOffBothItemsSaySo) {
  startWith({"Keep.TXT"}, false);
  choose("mnuhistory");
  EXPECT_EQ(edits->historyWindow(), nullptr);
  edits->undoNewest();
  ASSERT_EQ(test.dialogs.calls().size(), 2u);
  EXPECT_EQ(test.dialogs.calls()[0].message.text, "The history is off: changes are not recorded.");
  EXPECT_EQ(test.dialogs.calls()[1].message.text, "Nothing to undo");
}

history::Environment historyAt(const std::string& location) {
  return [location](const std::string& name) -> std::optional<std::string> {
    if (name == "BRINDLE_HISTORY") return location;
    return std::nullopt;
  };
}

TEST(HistoryAtStart, RecoversOpenBatchesAndSaysWhatItDid) {
  testsupport::TempDir folder;
  folder.write("Song.mp3", "song");
  const std::string location = folder / "history.sqlite";
  {
    auto history = history::openHistory(location);
    ASSERT_TRUE(history.ok());
    ASSERT_TRUE(history.value()
                    ->beginBatch("Convert All to Lowercase", {},
                                 {{folder.path(), "Song.mp3", ".brindle-12345678", "song.mp3"}})
                    .ok());
  }
  std::filesystem::rename(folder / "Song.mp3", folder / ".brindle-12345678");
  platform::posix::PosixFileSystem fileSystem;
  platform::testing::ScriptedDialogs dialogs;

  auto history = openHistoryAtStart(historyAt(location), fileSystem, dialogs);
  ASSERT_TRUE(history);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_NE(dialogs.messages()[0].text.find("Convert All to Lowercase"), std::string::npos);
  EXPECT_NE(dialogs.messages()[0].text.find(folder / "song.mp3"), std::string::npos);
  EXPECT_EQ(testsupport::TempDir::read(folder / "song.mp3"), "song");
  EXPECT_FALSE(std::filesystem::exists(folder / ".brindle-12345678"));

  // The next start finds nothing open and says nothing.
  history.reset();
  platform::testing::ScriptedDialogs quiet;
  EXPECT_TRUE(openHistoryAtStart(historyAt(location), fileSystem, quiet));
  EXPECT_TRUE(quiet.messages().empty());
}

// Off: no history, nothing said; unopenable: no history, and it is said.
TEST(HistoryAtStart, OffOrUnopenableMeansNoHistory) {
  testsupport::TempDir folder;
  folder.write("not-a-folder");
  platform::posix::PosixFileSystem fileSystem;
  for (const std::string& location : {std::string("off"), folder / "not-a-folder/history.sqlite"}) {
    platform::testing::ScriptedDialogs dialogs;
    EXPECT_FALSE(openHistoryAtStart(historyAt(location), fileSystem, dialogs));
    EXPECT_EQ(dialogs.messages().size(), location == "off" ? 0u : 1u);
    for (const auto& box : dialogs.messages()) {
      EXPECT_NE(box.text.find("not recorded"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace brindle::app
