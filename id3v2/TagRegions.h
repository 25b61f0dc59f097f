// The bytes of a file that its tags take: the version 2 tag at the start and
// the version 1 block at the end. A save changes nothing else, so the old and
// new regions of a file are all a history needs to undo or redo a save, and
// all a recovery needs to finish one.
#pragma once

#include <string>

#include "id3v2/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::id3v2 {

class PendingReplacements;

struct TagRegions {
  /// The version 2 tag as it stands at the start of the file: header,
  /// frames, padding and footer. Empty when the file has none.
  ByteVector version2;
  /// The last 128 bytes when they are a version 1 tag ("TAG"); else empty.
  ByteVector version1;

  bool operator==(const TagRegions&) const = default;
};

/// One file's tag save: its regions before and after.
struct TagChange {
  std::string path;
  platform::FileIdentity identity;
  TagRegions before;
  TagRegions after;
};

/// When a write reaches the disk.
enum class Durability {
  /// Each file is flushed before the call returns.
  Flushed,
  /// The caller flushes the file system once after a batch of files
  /// (FileSystem::syncFileSystemOf); a crash before that is repaired from
  /// the history.
  Deferred,
};

/// Reads the tag regions of the file at `path`.
platform::Result<TagRegions> readTagRegions(platform::FileSystem& fileSystem,
                                            const std::string& path);

/// Reads the tag regions of a file already open, `size` bytes long.
platform::Result<TagRegions> regionsOfOpenFile(platform::ReadableFile& file, std::uint64_t size);

/// Replaces the regions `from` of the file at `path` by `to`, leaving the
/// audio between them as it is. Refuses, touching nothing, when the file's
/// regions are not `from` now (the file changed since). Written in place
/// when the new version 2 region has the old one's length and the version 1
/// block is kept, added or dropped at the end only; otherwise the file is
/// rewritten as a save that grows the tag is (a new file renamed over the
/// old one, or in place for a file with several names). With `pending`
/// (deferred durability only), a new file waits there to be put in place.
platform::Status replaceTagRegions(platform::FileSystem& fileSystem, const std::string& path,
                                   const TagRegions& from, const TagRegions& to,
                                   Durability durability, PendingReplacements* pending = nullptr);

}  // namespace brindle::id3v2
