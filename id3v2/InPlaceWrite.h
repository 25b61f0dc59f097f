// Writing a new tag over the old one inside the same file, for files whose
// other names (hard links) must keep seeing the change. The bytes about to
// be overwritten are first saved in an undo record beside the file, flushed
// to the disk, so that a save stopped half way can be undone: by the save
// itself when a write fails, by the next save in the folder when the program
// was killed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "id3v2/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::id3v2 {

/// Bytes written at an offset of the file.
struct Patch {
  std::uint64_t offset = 0;
  ByteVector bytes;
};

/// The start of every undo record's name.
inline constexpr std::string_view kUndoPrefix = ".brindle-undo-";

/// True when the name (without folder) is one of an undo record.
bool isUndoName(std::string_view name);

/// Makes `tag` its first `used` bytes (its header and frames, without its
/// padding) padded to exactly `length` bytes, in place. False, with `tag`
/// as it was, when they do not fit (or `length` cannot be a tag's length).
bool padTo(ByteVector& tag, std::uint64_t used, std::uint64_t length);

/// Writes the patches into the file at `path` (`size` bytes long; a patch
/// may end past it, the file then grows) with an undo record. On failure
/// the file has its old bytes and length again, or, if even that failed,
/// the undo record stays for the next save to apply.
platform::Status writeInPlace(platform::FileSystem& fileSystem, const std::string& path,
                              std::uint64_t size, const std::vector<Patch>& patches);

/// Rewrites the file at `path` (`size` bytes long, open as `old`) in place
/// as `head`, then `keepLength` of its old bytes from `keepFrom`, then
/// `tail`, and cuts it to that length: the inode stays, so every name of the
/// file sees the change. The whole old content is first copied into an undo
/// record and flushed; a failure puts it back at once, or, if even that
/// failed, the record stays for the next save to apply. Memory use does not
/// grow with the file.
platform::Status rewriteInPlace(platform::FileSystem& fileSystem, const std::string& path,
                                std::uint64_t size, platform::ReadableFile& old,
                                const ByteVector& head, std::uint64_t keepFrom,
                                std::uint64_t keepLength, const ByteVector& tail);

/// Applies the undo record at `recordPath` when no running save holds it,
/// and removes it; a record that is held, or not one of ours, is left.
void undoAbandoned(platform::FileSystem& fileSystem, const std::string& recordPath);

}  // namespace brindle::id3v2
