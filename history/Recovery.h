// Recovery at the start of a program: every batch a crash (or a kill) left
// open is brought to one whole state per file, and the user is told what
// became of each file.
#pragma once

#include <string>
#include <vector>

#include "history/History.h"

namespace brindle::history {

/// What a recovery did to one open batch.
struct RecoveredBatch {
  BatchId id = 0;
  std::string command;
  /// Files that now have the batch's change whole (their paths).
  std::vector<std::string> toNew;
  /// Files that are as they were before the batch.
  std::vector<std::string> toOld;
  /// Files that could not be reached, each with the reason:
  /// "path: reason".
  std::vector<std::string> unreachable;
};

/// Brings the files of every open batch whose program ended (see
/// History::isRunning), oldest first, to one whole state
/// each and marks the batch Recovered. A tag change goes through
/// recoverTagChange; a rename never stays under its temporary name: a file
/// found there is renamed on to its new name (back to its old one when the
/// new name is taken). Fails only when the history cannot be read.
platform::Result<std::vector<RecoveredBatch>> recoverOpenBatches(History& history,
                                                                 platform::FileSystem& fileSystem);

/// The report as lines for a person, one batch after the other; none when
/// nothing was open.
std::vector<std::string> describeRecovery(const std::vector<RecoveredBatch>& batches);

}  // namespace brindle::history
