// Replacing a file by a new one written beside it: the way a save that
// changes the length of the tags keeps the file whole whatever fails.
#pragma once

#include <cstdint>
#include <string>

#include "id3v2/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::id3v2 {

/// Writes a new file beside `path` (a temporary name of this program):
/// `head`, then `keepLength` bytes of `source` from `keepFrom` (copied by
/// the kernel), then `tail`; gives it the owner, attributes and permissions
/// of the old file, flushes it, renames it over `path` and flushes the
/// folder. On a failure before the rename the temporary file is removed and
/// the old file keeps every byte.
platform::Status replaceThroughTemporary(platform::FileSystem& fileSystem, const std::string& path,
                                         platform::ReadableFile& source, const ByteVector& head,
                                         std::uint64_t keepFrom, std::uint64_t keepLength,
                                         const ByteVector& tail);

/// Finishes what killed saves left in the folder of `path`: applies their
/// undo records and removes their temporary files (only those no running
/// save holds). Best effort: what cannot be handled now is tried next time.
void finishAbandonedSavesBeside(platform::FileSystem& fileSystem, const std::string& path);

}  // namespace brindle::id3v2
