// Undo of a recorded batch: the reverse changes, themselves recorded as a
// batch (so undoing an undo redoes), never overwriting what changed since.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "history/History.h"

namespace brindle::history {

struct UndoReport {
  /// The batch that was undone.
  BatchId undone = 0;
  /// The batch that undid it; none when there was nothing left to undo.
  std::optional<BatchId> undoBatch;
  /// Files brought back (their paths after the undo).
  std::vector<std::string> restored;
  /// Files left alone, each with the reason: "path: reason".
  std::vector<std::string> leftAlone;
};

/// Whether a batch in `state` can be undone: closed, and not undone yet.
bool canUndo(BatchState state);

/// The newest batch that can be undone (what Ctrl+Z undoes); none when
/// there is none.
platform::Result<std::optional<BatchSummary>> lastUndoableBatch(History& history);

/// Undoes batch `id`: its renames new -> old in reverse order, its tag saves
/// after -> before through runTagBatch, as one batch that `undoes` it and is
/// named "Undo " and the batch's command. A file whose tags are no longer
/// what the batch wrote, or a rename whose old name is taken now, is left
/// alone and reported; the rest is undone, and batch `id` is marked Undone.
/// Fails, touching nothing, when the batch is unknown, open or undone
/// already, or the undo cannot be recorded.
platform::Result<UndoReport> undoBatch(History& history, platform::FileSystem& fileSystem,
                                       BatchId id, const std::atomic<bool>* stop = nullptr);

/// The report as lines for a person.
std::vector<std::string> describeUndo(const UndoReport& report);

}  // namespace brindle::history
