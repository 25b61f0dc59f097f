// The history of every change the program makes to files: before a batch
// (one command of the user) touches a file, what it will change is recorded
// here, so that a batch stopped by a crash can be finished or rolled back
// per file, and any batch can be undone, also after a restart.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "id3v2/TagRegions.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::history {

using BatchId = std::int64_t;

enum class BatchState {
  /// Recorded, and its files may be changing now, or a crash stopped it.
  Open,
  /// Every file of it was done (those that failed are left as they were).
  Done,
  /// Stopped by the user (Cancel, Ctrl-C): the files done so far stay done.
  Stopped,
  /// Found open at a start and brought to one state per file.
  Recovered,
  /// Undone by a later batch.
  Undone,
};

using id3v2::TagChange;

/// The state as one lower-case word, as the history lists it ("done").
constexpr const char* stateName(BatchState state) {
  switch (state) {
    case BatchState::Open:
      return "open";
    case BatchState::Done:
      return "done";
    case BatchState::Stopped:
      return "stopped";
    case BatchState::Recovered:
      return "recovered";
    case BatchState::Undone:
      return "undone";
  }
  return "unknown";
}

/// One file's rename in `directory`. A two-step rename (a change of case)
/// passes through `temporaryName`, empty otherwise. A rename into another
/// folder has an empty `directory` and whole paths as its names.
struct RenameChange {
  std::string directory;
  std::string oldName;
  std::string temporaryName;
  std::string newName;
};

struct BatchSummary {
  BatchId id = 0;
  /// Seconds since 1970 (UTC) when the batch was recorded.
  std::int64_t startedAt = 0;
  /// What the user did, as a menu would say it ("Save", "Auto Info",
  /// "Convert to lower case", "brindle-cli write").
  std::string command;
  int fileCount = 0;
  BatchState state = BatchState::Open;
  /// The batch this one undid, if it is an undo.
  std::optional<BatchId> undoes;
};

/// The store. Implementations: SQLite on disk or in memory (openHistory).
class History {
 public:
  virtual ~History() = default;

  /// Records a new open batch with all its changes and flushes the record
  /// to the disk before it returns, so the files may change afterwards.
  virtual platform::Result<BatchId> beginBatch(const std::string& command,
                                               const std::vector<TagChange>& tags,
                                               const std::vector<RenameChange>& renames,
                                               std::optional<BatchId> undoes = std::nullopt) = 0;
  virtual platform::Status closeBatch(BatchId id, BatchState state) = 0;

  /// Every batch, newest first.
  virtual platform::Result<std::vector<BatchSummary>> batches() = 0;
  virtual platform::Result<std::vector<TagChange>> tagChanges(BatchId id) = 0;
  virtual platform::Result<std::vector<RenameChange>> renameChanges(BatchId id) = 0;

  /// Whether open batch `id` is still being carried out by a running
  /// program (this one or another): a recovery leaves it alone.
  virtual bool isRunning(BatchId id) {
    (void)id;
    return false;
  }
};

/// The size the history may reach before its oldest closed batches go.
inline constexpr std::uint64_t kDefaultSizeLimit = 256ULL * 1024 * 1024;

/// Opens (creating it when missing) the history at `location`; ":memory:"
/// gives one that lives as long as the object, for tests. Past `sizeLimit`
/// bytes the oldest closed batches are removed (when it opens and whenever a
/// batch closes); open batches are always kept.
platform::Result<std::unique_ptr<History>> openHistory(const std::string& location,
                                                       std::uint64_t sizeLimit = kDefaultSizeLimit);

}  // namespace brindle::history
