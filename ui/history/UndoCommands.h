// What the "Edit" menus and the history window do, without widgets: the
// caption of the Undo item, undoing a batch with the result told in one
// message, and the history's batches as rows for a list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/History.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::ui {

struct UndoMenuState {
  /// "Undo " and the command of the batch Undo would undo ("Undo Save"), or
  /// "Undo" alone when there is nothing to undo.
  std::string caption;
  bool enabled = false;
};

/// The Undo item for `history` (none: the history is off, nothing to undo).
UndoMenuState undoMenuState(history::History* history);

/// Undoes the newest batch that can be undone and tells the user the result
/// in one message ("Nothing to undo" when there is none). Asks nothing first:
/// an undo is itself a batch that can be undone. Returns whether a batch was
/// undone.
bool undoNewestBatch(history::History* history, platform::FileSystem& fileSystem,
                     platform::Dialogs& dialogs);

/// Undoes batch `id` and tells the user the result (or why it could not) in
/// one message. Returns whether it was undone.
bool undoChosenBatch(history::History& history, platform::FileSystem& fileSystem,
                     platform::Dialogs& dialogs, history::BatchId id);

/// One batch as the history window lists it.
struct HistoryRow {
  history::BatchId id = 0;
  /// When it was recorded, in local time ("2026-12-06 22:09:40").
  std::string time;
  std::string command;
  int fileCount = 0;
  /// "open", "done", "stopped", "recovered" or "undone".
  std::string state;
  bool undoable = false;
};

/// Every batch of `history`, newest first.
platform::Result<std::vector<HistoryRow>> historyRows(history::History& history);

/// `secondsSince1970` (UTC) as local date and time, "YYYY-MM-DD hh:mm:ss".
std::string localTimeText(std::int64_t secondsSince1970);

/// A batch state as a word for a person.
const char* stateText(history::BatchState state);

}  // namespace brindle::ui
