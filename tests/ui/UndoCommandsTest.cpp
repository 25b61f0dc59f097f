// The Undo item's caption, undo of the newest or a chosen batch with its
// result in one message, and the history as rows, without widgets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "history/History.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "tests/support/TempDir.h"
#include "ui/history/UndoCommands.h"

namespace brindle::ui {
namespace {

using history::BatchState;
using testsupport::TempDir;

std::unique_ptr<history::History> memoryHistory() {
  auto opened = history::openHistory(":memory:");
  EXPECT_TRUE(opened.ok());
  return opened.ok() ? std::move(opened.value()) : nullptr;
}

/// A closed rename batch of one file of `folder`, renamed on the disk too.
history::BatchId renamed(history::History& history, TempDir& folder, const std::string& command,
                         const std::string& from, const std::string& to,
                         BatchState state = BatchState::Done) {
  auto id = history.beginBatch(command, {}, {{folder.path(), from, "", to}});
  EXPECT_TRUE(id.ok());
  EXPECT_EQ(std::rename((folder / from).c_str(), (folder / to).c_str()), 0);
  EXPECT_TRUE(history.closeBatch(id.value(), state).ok());
  return id.value();
}

TEST(UndoMenuState, CaptionNamesTheNewestBatchThatCanBeUndone) {
  TempDir folder;
  folder.write("A.mp3", "a");
  folder.write("B.mp3", "b");
  EXPECT_EQ(undoMenuState(nullptr).caption, "Undo");
  EXPECT_FALSE(undoMenuState(nullptr).enabled);

  auto history = memoryHistory();
  EXPECT_EQ(undoMenuState(history.get()).caption, "Undo");
  EXPECT_FALSE(undoMenuState(history.get()).enabled);

  renamed(*history, folder, "Convert All to Lowercase", "A.mp3", "a.mp3");
  EXPECT_EQ(undoMenuState(history.get()).caption, "Undo Convert All to Lowercase");
  EXPECT_TRUE(undoMenuState(history.get()).enabled);

  renamed(*history, folder, "Rename Single File", "B.mp3", "c.mp3");
  EXPECT_EQ(undoMenuState(history.get()).caption, "Undo Rename Single File");

  // A batch still open is skipped: the caption names the one below it.
  ASSERT_TRUE(history->beginBatch("Save", {}, {}).ok());
  EXPECT_EQ(undoMenuState(history.get()).caption, "Undo Rename Single File");
}

TEST(UndoNewestBatch, NothingToUndoIsSaid) {
  platform::posix::PosixFileSystem fileSystem;
  auto history = memoryHistory();
  for (history::History* store : {static_cast<history::History*>(nullptr), history.get()}) {
    platform::testing::ScriptedDialogs dialogs;
    EXPECT_FALSE(undoNewestBatch(store, fileSystem, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Nothing to undo");
    EXPECT_EQ(dialogs.messages()[0].buttons, platform::Buttons::Ok);
  }
}

TEST(UndoNewestBatch, UndoesTheNewestAndTellsTheResultInOneMessage) {
  TempDir folder;
  folder.write("A.mp3", "a");
  folder.write("B.mp3", "b");
  platform::posix::PosixFileSystem fileSystem;
  auto history = memoryHistory();
  renamed(*history, folder, "Convert All to Lowercase", "A.mp3", "a.mp3");
  const history::BatchId newest =
      renamed(*history, folder, "Convert All to Uppercase", "B.mp3", "B.MP3");

  platform::testing::ScriptedDialogs dialogs;
  ASSERT_TRUE(undoNewestBatch(history.get(), fileSystem, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder / "B.mp3"));
  EXPECT_TRUE(std::filesystem::exists(folder / "a.mp3"));
  ASSERT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "undid batch " + std::to_string(newest) +
                ": 1 file(s) restored\n  restored: " + (folder / "B.mp3"));
  EXPECT_EQ(dialogs.unscriptedPrompts(), 0u);

  // The undo is itself the newest batch: undoing again redoes.
  EXPECT_EQ(undoMenuState(history.get()).caption, "Undo Undo Convert All to Uppercase");
  ASSERT_TRUE(undoNewestBatch(history.get(), fileSystem, dialogs));
  EXPECT_TRUE(std::filesystem::exists(folder / "B.MP3"));
}

TEST(UndoChosenBatch, ABatchUndoneAlreadyIsRefusedWithTheReason) {
  TempDir folder;
  folder.write("A.mp3", "a");
  platform::posix::PosixFileSystem fileSystem;
  auto history = memoryHistory();
  const history::BatchId id = renamed(*history, folder, "Rename Single File", "A.mp3", "b.mp3");
  platform::testing::ScriptedDialogs dialogs;
  ASSERT_TRUE(undoChosenBatch(*history, fileSystem, dialogs, id));
  dialogs.clear();
  EXPECT_FALSE(undoChosenBatch(*history, fileSystem, dialogs, id));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.rfind("Cannot undo: ", 0), 0u);
  EXPECT_EQ(dialogs.messages()[0].icon, platform::Icon::Critical);
  EXPECT_TRUE(std::filesystem::exists(folder / "A.mp3"));
}

TEST(HistoryRows, EveryBatchNewestFirstWithTimeCommandFilesAndState) {
  TempDir folder;
  for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3"}) folder.write(name, "x");
  auto history = memoryHistory();
  struct Case {
    const char* command;
    const char* from;
    const char* to;
    BatchState state;
    const char* text;
    bool undoable;
  };
  const Case cases[] = {
      {"Convert All to Lowercase", "1.mp3", "one.mp3", BatchState::Done, "done", true},
      {"Rename Single File", "2.mp3", "two.mp3", BatchState::Stopped, "stopped", true},
      {"Remove Left Most", "3.mp3", "three.mp3", BatchState::Recovered, "recovered", true},
      {"Save", "4.mp3", "four.mp3", BatchState::Undone, "undone", false},
  };
  for (const Case& c : cases) renamed(*history, folder, c.command, c.from, c.to, c.state);
  ASSERT_TRUE(history->beginBatch("Auto Info", {}, {{folder.path(), "5.mp3", "", "5b.mp3"}}).ok());

  auto rows = historyRows(*history);
  ASSERT_TRUE(rows.ok());
  ASSERT_EQ(rows.value().size(), 5u);
  EXPECT_EQ(rows.value()[0].command, "Auto Info");
  EXPECT_EQ(rows.value()[0].state, "open");
  EXPECT_FALSE(rows.value()[0].undoable);
  for (std::size_t i = 0; i < 4; ++i) {
    const Case& expected = cases[3 - i];
    const HistoryRow& row = rows.value()[i + 1];
    SCOPED_TRACE(expected.command);
    EXPECT_EQ(row.command, expected.command);
    EXPECT_EQ(row.fileCount, 1);
    EXPECT_EQ(row.state, expected.text);
    EXPECT_EQ(row.undoable, expected.undoable);
    EXPECT_EQ(row.time.size(), 19u);
  }
}

TEST(LocalTimeText, LocalDateAndTime) {
  // Fixed zone for the test: UTC.
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(localTimeText(0), "1970-01-01 00:00:00");
  EXPECT_EQ(localTimeText(1796594980), "2026-12-06 22:09:40");
  ::setenv("TZ", "UTC-2", 1);
  ::tzset();
  EXPECT_EQ(localTimeText(1796594980), "2026-12-07 00:09:40");
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace brindle::ui
