#include "id3v2/TagRegions.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "id3v2/Failure.h"
#include "id3v2/FileRewrite.h"
#include "id3v2/InPlaceWrite.h"
#include "id3v2/TagFormat.h"

namespace brindle::id3v2 {

namespace {

constexpr std::size_t kVersion1Size = 128;
/// One read at the start brings the header and most whole tags.
constexpr std::size_t kFirstRead = 4096;

/// "TAG" in any letter case, as the readers of the version 1 tag take it.
bool isVersion1Block(ByteView bytes) {
  return bytes.size() == kVersion1Size && (bytes[0] | 0x20) == 't' && (bytes[1] | 0x20) == 'a' &&
         (bytes[2] | 0x20) == 'g';
}

platform::Status readExactly(platform::ReadableFile& file, std::uint64_t offset,
                             ByteVector& bytes) {
  auto got = file.readAt(offset, bytes);
  if (!got) return causedBy("cannot read the tags", got.error());
  if (got.value() != bytes.size()) return refusal("the file ended while its tags were read", EIO);
  return {};
}

/// The audio runs from the end of the version 2 region to `audioEnd`; the
/// version 1 block follows it.
platform::Status writeRegions(platform::UpdatableFile& file, const TagRegions& from,
                              const TagRegions& to, std::uint64_t audioEnd) {
  if (to.version2 != from.version2) {
    if (platform::Status put = file.writeAt(0, to.version2); !put) return put;
  }
  if (!to.version1.empty() && to.version1 != from.version1) {
    if (platform::Status put = file.writeAt(audioEnd, to.version1); !put) return put;
  }
  if (to.version1.empty() && !from.version1.empty()) {
    if (platform::Status cut = file.setLength(audioEnd); !cut) return cut;
  }
  return {};
}

/// The file's regions must still be `from`: a file changed since its tags
/// were read is not written over.
platform::Status checkUnchanged(platform::ReadableFile& file, std::uint64_t size,
                                const TagRegions& from) {
  auto current = regionsOfOpenFile(file, size);
  if (!current) return current.error();
  if (current.value() != from) return refusal("the file changed since its tags were read");
  return {};
}

/// The whole file rewritten: a new file renamed over the old one, or, for a
/// file with several names, in place with its old content in an undo record.
platform::Status rewriteWhole(platform::FileSystem& fileSystem, const std::string& givenPath,
                              const TagRegions& from, const TagRegions& to,
                              PendingReplacements* pending) {
  // A new file replaces the one a symbolic link points to; the link stays.
  auto resolved = fileSystem.resolvedPath(givenPath);
  if (!resolved) return causedBy("cannot open the file", resolved.error());
  const std::string& path = resolved.value();
  auto kind = fileSystem.kindOf(path);
  if (!kind) return causedBy("cannot open the file", kind.error());
  if (kind.value() != platform::FileKind::Regular) {
    return refusal("not an MPEG audio file (it is not a regular file)");
  }
  auto source = fileSystem.openForReading(path);
  if (!source) return causedBy("cannot open the file", source.error());
  auto size = source.value()->size();
  if (!size) return causedBy("cannot measure the file", size.error());
  if (platform::Status same = checkUnchanged(*source.value(), size.value(), from); !same) {
    return same;
  }
  const std::uint64_t keepFrom = from.version2.size();
  const std::uint64_t keepLength = size.value() - keepFrom - from.version1.size();
  auto links = fileSystem.linkCount(path);
  if (!links) return causedBy("cannot examine the file", links.error());
  if (links.value() > 1) {
    return rewriteInPlace(fileSystem, path, size.value(), *source.value(), to.version2, keepFrom,
                          keepLength, to.version1);
  }
  return replaceThroughTemporary(fileSystem, path, *source.value(), to.version2, keepFrom,
                                 keepLength, to.version1, pending);
}

}  // namespace

platform::Result<TagRegions> regionsOfOpenFile(platform::ReadableFile& file, std::uint64_t size) {
  TagRegions regions;
  ByteVector start(static_cast<std::size_t>(std::min<std::uint64_t>(kFirstRead, size)));
  if (platform::Status read = readExactly(file, 0, start); !read) return read.error();
  std::uint64_t version2Length = 0;
  if (start.size() >= kHeaderSize) {
    const TagHeader header =
        parseHeader(std::span<const std::uint8_t, kHeaderSize>(start.data(), kHeaderSize));
    if (header.present) {
      version2Length = static_cast<std::uint64_t>(header.length());
      if (version2Length > size) {
        return refusal("the tag claims " + std::to_string(version2Length) +
                       " bytes but the file has " + std::to_string(size));
      }
      if (version2Length <= start.size()) {
        regions.version2.assign(start.begin(),
                                start.begin() + static_cast<std::ptrdiff_t>(version2Length));
      } else {
        regions.version2 = start;
        regions.version2.resize(static_cast<std::size_t>(version2Length));
        ByteVector rest(static_cast<std::size_t>(version2Length - start.size()));
        if (platform::Status read = readExactly(file, start.size(), rest); !read) {
          return read.error();
        }
        std::copy(rest.begin(), rest.end(), regions.version2.begin() + start.size());
      }
    }
  }
  if (size >= version2Length + kVersion1Size) {
    const std::uint64_t offset = size - kVersion1Size;
    ByteVector tail(kVersion1Size);
    if (offset + kVersion1Size <= start.size()) {
      std::copy_n(start.begin() + static_cast<std::ptrdiff_t>(offset), kVersion1Size, tail.begin());
    } else if (platform::Status read = readExactly(file, offset, tail); !read) {
      return read.error();
    }
    if (isVersion1Block(tail)) regions.version1 = std::move(tail);
  }
  return regions;
}

platform::Result<TagRegions> readTagRegions(platform::FileSystem& fileSystem,
                                            const std::string& path) {
  auto file = fileSystem.openForReading(path);
  if (!file) return causedBy("cannot open the file", file.error());
  auto size = file.value()->size();
  if (!size) return causedBy("cannot measure the file", size.error());
  return regionsOfOpenFile(*file.value(), size.value());
}

platform::Status replaceTagRegions(platform::FileSystem& fileSystem, const std::string& path,
                                   const TagRegions& from, const TagRegions& to,
                                   Durability durability, PendingReplacements* pending) {
  if (durability == Durability::Flushed) pending = nullptr;
  // In place when the audio stays where it is. Without the history, the
  // undo record beside the file makes it safe, and it cannot cut a file;
  // a dropped version 1 block then goes the long way.
  const bool audioStays = to.version2.size() == from.version2.size();
  const bool cuts = to.version1.empty() && !from.version1.empty();
  if (!audioStays || (cuts && durability == Durability::Flushed)) {
    return rewriteWhole(fileSystem, path, from, to, pending);
  }
  // Opening for an update follows a symbolic link to the file and refuses
  // anything but a regular file.
  const std::string& target = path;
  auto file = fileSystem.openForUpdate(target);
  if (!file) {
    // A read-only file the caller may save anyway is replaced by a new
    // file with its permissions; it is never made writable.
    if (file.error().code == EACCES || file.error().code == EPERM) {
      return rewriteWhole(fileSystem, target, from, to, pending);
    }
    return causedBy("cannot open the file", file.error());
  }
  auto size = file.value()->size();
  if (!size) return causedBy("cannot measure the file", size.error());
  if (platform::Status same = checkUnchanged(*file.value(), size.value(), from); !same) {
    return same;
  }
  const std::uint64_t audioEnd = size.value() - from.version1.size();
  if (to == from) return {};

  if (durability == Durability::Flushed) {
    std::vector<Patch> patches;
    if (to.version2 != from.version2) patches.push_back({0, to.version2});
    if (!to.version1.empty() && to.version1 != from.version1) {
      patches.push_back({audioEnd, to.version1});
    }
    file.value().reset();
    return writeInPlace(fileSystem, target, size.value(), patches);
  }
  // The history holds the old regions: no record beside the file, no flush
  // per file (the batch flushes the file system once).
  if (platform::Status written = writeRegions(*file.value(), from, to, audioEnd); !written) {
    // Put the old tags back at once; if even that fails, the history's
    // recovery does it at the next start.
    (void)writeRegions(*file.value(), to, from, audioEnd);
    if (from.version1.empty()) (void)file.value()->setLength(audioEnd);
    return causedBy("cannot write the new tags into the file", written.error());
  }
  file.value()->startWritingBack();
  if (platform::Status closed = file.value()->close(); !closed) {
    return causedBy("cannot close the file", closed.error());
  }
  return {};
}

}  // namespace brindle::id3v2
