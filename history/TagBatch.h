// Tag saves as one batch of the history: recorded first, then each file
// written, then one flush per file system, then the batch closed.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "history/History.h"

namespace brindle::history {

/// What became of one file of a batch.
struct FileResult {
  std::string path;
  bool changed = false;
  /// Why it was left as it was, when it was not changed.
  std::string reason;
};

/// Called after each file, as soon as it is done or has failed.
using FileReport = std::function<void(const FileResult&)>;

/// Records the changes as a batch named `command` in `history` (none: the
/// history is off, and each file is flushed as it is written), then writes
/// each file (id3v2::replaceTagRegions from `before` to `after`). A file
/// that fails is reported and left as it was; the rest go on. When `stop`
/// becomes true, the file being written is finished and the batch closes as
/// stopped. Fails only when the batch could not be recorded: then no file
/// was touched.
platform::Result<std::vector<FileResult>> runTagBatch(
    History* history, platform::FileSystem& fileSystem, const std::string& command,
    const std::vector<TagChange>& changes, const std::atomic<bool>* stop = nullptr,
    const FileReport& report = {}, std::optional<BatchId> undoes = std::nullopt);

enum class RecoveredAs {
  /// The file has its new tags whole.
  New,
  /// The file has its old tags (it was never changed, or they were written
  /// back because the new ones were not whole).
  Old,
};

/// Brings one file of a batch a crash left open to one whole state.
platform::Result<RecoveredAs> recoverTagChange(platform::FileSystem& fileSystem,
                                               const TagChange& change);

}  // namespace brindle::history
