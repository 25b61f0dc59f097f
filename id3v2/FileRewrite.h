// Replacing a file by a new one written beside it: the way a save that
// changes the length of the tags keeps the file whole whatever fails.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "id3v2/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::id3v2 {

/// New files of a batch written beside the files they replace but not yet
/// renamed over them. Instead of two flushes per file, the file systems are
/// flushed once for all of them, and then each is put in place; until then
/// every old file keeps every byte, and each new file stays open (and so
/// held: no other save removes it as abandoned).
class PendingReplacements {
 public:
  /// At most as many new files wait as the file system lets a caller keep
  /// open: each holds an open file.
  explicit PendingReplacements(platform::FileSystem& fileSystem)
      : m_fileSystem(fileSystem),
        m_capacity(std::max<std::size_t>(1, fileSystem.openFilesAllowed())) {}
  /// New files never put in place are removed.
  ~PendingReplacements();
  PendingReplacements(const PendingReplacements&) = delete;
  PendingReplacements& operator=(const PendingReplacements&) = delete;

  void add(std::string temporary, std::string path, std::unique_ptr<platform::WritableFile> file);
  std::size_t size() const { return m_waiting.size(); }
  bool full() const { return m_waiting.size() >= m_capacity; }

  /// Flushes the new files' file systems, then closes each new file and
  /// renames it over its old one. The outcome of each, in the order added;
  /// none waits afterwards. The renames themselves reach the disk with the
  /// caller's next flush of the file system.
  std::vector<platform::Status> putInPlace();

 private:
  struct Waiting {
    std::string temporary;
    std::string path;
    std::unique_ptr<platform::WritableFile> file;
  };
  platform::FileSystem& m_fileSystem;
  std::size_t m_capacity;
  std::vector<Waiting> m_waiting;
};

/// Writes a new file beside `path` (a temporary name of this program):
/// `head`, then `keepLength` bytes of `source` from `keepFrom` (copied by
/// the kernel), then `tail`; gives it the owner, attributes and permissions
/// of the old file, flushes it, renames it over `path` and flushes the
/// folder. With `pending`, the new file is handed to it after the
/// attributes instead, unflushed and not yet renamed. On a failure before
/// the rename the temporary file is removed and the old file keeps every
/// byte.
platform::Status replaceThroughTemporary(platform::FileSystem& fileSystem, const std::string& path,
                                         platform::ReadableFile& source, const ByteVector& head,
                                         std::uint64_t keepFrom, std::uint64_t keepLength,
                                         const ByteVector& tail,
                                         PendingReplacements* pending = nullptr);

/// Finishes what killed saves left in the folder of `path`: applies their
/// undo records and removes their temporary files (only those no running
/// save holds). Best effort: what cannot be handled now is tried next time.
void finishAbandonedSavesBeside(platform::FileSystem& fileSystem, const std::string& path);

}  // namespace brindle::id3v2
