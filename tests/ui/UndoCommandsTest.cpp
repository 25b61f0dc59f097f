// The Undo item's caption, undo of the newest or a chosen batch with its
// result in one message, and the history as rows, without widgets.
#include "ui/history/UndoCommands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "history/History.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

namespace brindle::ui {
namespace {

using history::BatchState;

class UndoCommandsTest : public ::testing::Test {
 protected:
  UndoCommandsTest() : history(std::move(history::openHistory(":memory:").value())) {}

  /// A closed batch renaming `from` to `to`, on the disk too.
  history::BatchId renamed(const std::string& command, const std::string& from,
                           const std::string& to, BatchState state = BatchState::Done) {
    folder.write(from, from);
    auto id = history->beginBatch(command, {}, {{folder.path(), from, "", to}});
    EXPECT_TRUE(id.ok());
    std::filesystem::rename(folder / from, folder / to);
    EXPECT_TRUE(history->closeBatch(id.value(), state).ok());
    return id.value();
  }
  std::string caption() { return undoMenuState(history.get()).caption; }

  testsupport::TempDir folder;
  std::unique_ptr<history::History> history;
  platform::posix::PosixFileSystem fileSystem;
  platform::testing::ScriptedDialogs dialogs;
};

// The caption names the newest batch that can be undone (an open one is
// skipped); the undo is told in one message and is itself the newest batch.
TEST_F(UndoCommandsTest, UndoesTheNewestBatchNamedInTheCaption) {
  EXPECT_FALSE(undoMenuState(nullptr).enabled);
  EXPECT_EQ(caption(), "Undo");
  EXPECT_FALSE(undoMenuState(history.get()).enabled);
  renamed("Convert All to Lowercase", "A.mp3", "a.mp3");
  const history::BatchId newest = renamed("Convert All to Uppercase", "B.mp3", "B.MP3");
  ASSERT_TRUE(history->beginBatch("Save", {}, {}).ok());
  EXPECT_EQ(caption(), "Undo Convert All to Uppercase");
  EXPECT_TRUE(undoMenuState(history.get()).enabled);

  ASSERT_TRUE(undoNewestBatch(history.get(), fileSystem, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder / "B.mp3"));
  EXPECT_TRUE(std::filesystem::exists(folder / "a.mp3"));
  ASSERT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "undid batch " + std::to_string(newest) +
                ": 1 file(s) restored\n  restored: " + (folder / "B.mp3"));
  EXPECT_EQ(caption(), "Undo Undo Convert All to Uppercase");
  ASSERT_TRUE(undoNewestBatch(history.get(), fileSystem, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder / "B.MP3"));
}

TEST_F(UndoCommandsTest, NothingToUndoOrUndoneAlreadyIsSaid) {
  for (history::History* store : {static_cast<history::History*>(nullptr), history.get()}) {
    dialogs.clear();
    EXPECT_FALSE(undoNewestBatch(store, fileSystem, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Nothing to undo");
  }
  const history::BatchId id = renamed("Rename Single File", "A.mp3", "b.mp3");
  ASSERT_TRUE(undoChosenBatch(*history, fileSystem, dialogs, id));
  dialogs.clear();
  EXPECT_FALSE(undoChosenBatch(*history, fileSystem, dialogs, id));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.starts_with("Cannot undo: "));
  EXPECT_EQ(dialogs.messages()[0].icon, platform::Icon::Critical);
  EXPECT_TRUE(std::filesystem::exists(folder / "A.mp3"));
}

TEST_F(UndoCommandsTest, RowsNewestFirstWithTimeCommandFilesAndState) {
  const std::pair<BatchState, std::string> states[] = {{BatchState::Done, "done"},
                                                       {BatchState::Stopped, "stopped"},
                                                       {BatchState::Recovered, "recovered"},
                                                       {BatchState::Undone, "undone"}};
  for (const auto& [state, text] : states) renamed(text, text, text + "b", state);
  ASSERT_TRUE(history->beginBatch("open", {}, {{folder.path(), "x", "", "y"}}).ok());
  std::vector<std::string> rows;
  for (const HistoryRow& row : historyRows(*history).value()) {
    EXPECT_EQ(row.time.size(), 19u);
    rows.push_back(row.command + " " + row.state + " " + std::to_string(row.fileCount) +
                   (row.undoable ? " undoable" : ""));
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"open open 1", "undone undone 1",
                                            "recovered recovered 1 undoable",
                                            "stopped stopped 1 undoable", "done done 1 undoable"}));
}

TEST(LocalTimeText, LocalDateAndTime) {
  for (const auto& [zone, expected] :
       {std::pair{"UTC", "2026-12-06 22:09:40"}, std::pair{"UTC-2", "2026-12-07 00:09:40"}}) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    EXPECT_EQ(localTimeText(1796594980), expected);
  }
  EXPECT_EQ(localTimeText(-7200), "1970-01-01 00:00:00");
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace brindle::ui
