#include "id3v2/InPlaceWrite.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <span>

#include "id3v2/Failure.h"
#include "id3v2/SizeCodec.h"
#include "id3v2/TagFormat.h"
#include "id3v2/TemporaryName.h"

namespace brindle::id3v2 {

namespace {

constexpr std::string_view kMagic = "brindle undo 1\n";
constexpr std::size_t kRandomLength = 6;
/// The piece of a file moved at a time.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

void putNumber(ByteVector& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

/// Reads a number written by putNumber(); false at the end of the bytes.
bool takeNumber(ByteView& in, std::uint64_t& value) {
  if (in.size() < 8) return false;
  value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  in = in.subspan(8);
  return true;
}

/// What undoes a save: the file, its old length and its old bytes.
struct UndoRecord {
  std::string path;
  std::uint64_t size = 0;
  std::vector<Patch> old;
};

ByteVector encode(const UndoRecord& record) {
  ByteVector out(kMagic.begin(), kMagic.end());
  putNumber(out, record.path.size());
  out.insert(out.end(), record.path.begin(), record.path.end());
  putNumber(out, record.size);
  putNumber(out, record.old.size());
  for (const Patch& patch : record.old) {
    putNumber(out, patch.offset);
    putNumber(out, patch.bytes.size());
    out.insert(out.end(), patch.bytes.begin(), patch.bytes.end());
  }
  return out;
}

std::optional<UndoRecord> decode(ByteView in) {
  if (in.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), in.begin())) {
    return std::nullopt;
  }
  in = in.subspan(kMagic.size());
  UndoRecord record;
  std::uint64_t length = 0;
  if (!takeNumber(in, length) || length > in.size()) return std::nullopt;
  record.path.assign(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(length));
  in = in.subspan(static_cast<std::size_t>(length));
  std::uint64_t count = 0;
  if (!takeNumber(in, record.size) || !takeNumber(in, count)) return std::nullopt;
  for (std::uint64_t i = 0; i < count; ++i) {
    Patch patch;
    if (!takeNumber(in, patch.offset) || !takeNumber(in, length) || length > in.size()) {
      return std::nullopt;
    }
    patch.bytes.assign(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(length));
    in = in.subspan(static_cast<std::size_t>(length));
    record.old.push_back(std::move(patch));
  }
  return record;
}

std::string undoNameBeside(const std::string& path) {
  static thread_local std::mt19937 random{std::random_device{}()};
  static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string name = folderPart(path) + std::string(kUndoPrefix);
  for (std::size_t i = 0; i < kRandomLength; ++i) name += kLetters[pick(random)];
  return name;
}

/// Puts the old bytes and length back and flushes them.
platform::Status applyUndo(platform::UpdatableFile& file, const UndoRecord& record) {
  for (const Patch& patch : record.old) {
    if (platform::Status put = file.writeAt(patch.offset, patch.bytes); !put) return put;
  }
  if (platform::Status cut = file.setLength(record.size); !cut) return cut;
  return file.sync();
}

/// Writes `bytes` to a new undo record beside the file at `path`, followed
/// by `length` bytes of `content` from its start when given, and flushes it
/// and the folder; the record stays open, which marks it as held.
platform::Result<std::unique_ptr<platform::WritableFile>> storeRecord(
    platform::FileSystem& fileSystem, const std::string& path, const ByteVector& bytes,
    platform::ReadableFile* content, std::uint64_t length, std::string& recordPath) {
  platform::Result<std::unique_ptr<platform::WritableFile>> file = platform::Error{EEXIST, {}};
  for (int attempt = 0; attempt < 8 && !file && file.error().code == EEXIST; ++attempt) {
    recordPath = undoNameBeside(path);
    file = fileSystem.createNewFile(recordPath, 0600);
  }
  if (!file) return causedBy("cannot create an undo record beside the file", file.error());
  platform::Status stored = file.value()->write(bytes);
  if (stored && content) stored = file.value()->copyFrom(*content, 0, length);
  if (stored) stored = file.value()->sync();
  if (stored) stored = fileSystem.syncDirectoryOf(recordPath);
  if (!stored) {
    file.value().reset();
    (void)fileSystem.remove(recordPath);
    return causedBy("cannot write an undo record beside the file", stored.error());
  }
  return file;
}

/// The start of a record that holds the whole old content of the file: one
/// piece from offset 0, `size` bytes long, whose bytes follow.
ByteVector wholeContentHead(const std::string& path, std::uint64_t size) {
  ByteVector out = encode(UndoRecord{path, size, {}});
  // encode() wrote a count of zero pieces as its last number.
  out.resize(out.size() - 8);
  putNumber(out, 1);
  putNumber(out, 0);
  putNumber(out, size);
  return out;
}

/// Copies `length` bytes of `from` at `fromOffset` to `to` at `toOffset`,
/// a piece at a time.
platform::Status copyPieces(platform::ReadableFile& from, std::uint64_t fromOffset,
                            platform::UpdatableFile& to, std::uint64_t toOffset,
                            std::uint64_t length) {
  ByteVector piece(static_cast<std::size_t>(std::min<std::uint64_t>(length, kPieceSize)));
  for (std::uint64_t done = 0; done < length;) {
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), length - done));
    auto got = from.readAt(fromOffset + done, std::span(piece.data(), count));
    if (!got) return got.error();
    if (got.value() != count) return platform::Error{EIO, "the undo record ends early"};
    const std::span<const std::uint8_t> bytes(piece.data(), count);
    if (platform::Status put = to.writeAt(toOffset + done, bytes); !put) return put;
    done += count;
  }
  return {};
}

/// Closes and removes a record that is no longer needed.
void dropRecord(platform::FileSystem& fileSystem, std::unique_ptr<platform::WritableFile> held,
                const std::string& recordPath) {
  held.reset();
  (void)fileSystem.remove(recordPath);
  (void)fileSystem.syncDirectoryOf(recordPath);
}

}  // namespace

bool isUndoName(std::string_view name) {
  return name.size() == kUndoPrefix.size() + kRandomLength &&
         name.substr(0, kUndoPrefix.size()) == kUndoPrefix;
}

bool padTo(ByteVector& tag, std::uint64_t used, std::uint64_t length) {
  used = std::clamp<std::uint64_t>(used, kHeaderSize, tag.size());
  if (tag.size() < kHeaderSize || length < used || length - kHeaderSize >= (1u << 28)) {
    return false;
  }
  // The old padding goes first, so that only zeros are added.
  tag.resize(static_cast<std::size_t>(used));
  tag.resize(static_cast<std::size_t>(length), 0);
  const std::array<std::uint8_t, 4> size =
      LongToByte(static_cast<std::int64_t>(length - kHeaderSize));
  std::copy(size.begin(), size.end(), tag.begin() + 6);
  return true;
}

platform::Status writeInPlace(platform::FileSystem& fileSystem, const std::string& path,
                              std::uint64_t size, const std::vector<Patch>& patches) {
  auto file = fileSystem.openForUpdate(path);
  if (!file) return causedBy("cannot open the file", file.error());
  UndoRecord record{path, size, {}};
  for (const Patch& patch : patches) {
    Patch old{patch.offset, ByteVector(patch.bytes.size())};
    if (patch.offset < size) {
      old.bytes.resize(static_cast<std::size_t>(
          std::min<std::uint64_t>(patch.bytes.size(), size - patch.offset)));
      auto got = file.value()->readAt(patch.offset, old.bytes);
      if (!got) return causedBy("cannot read the bytes to be replaced", got.error());
      old.bytes.resize(got.value());
    } else {
      old.bytes.clear();
    }
    record.old.push_back(std::move(old));
  }
  std::string recordPath;
  auto held = storeRecord(fileSystem, path, encode(record), nullptr, 0, recordPath);
  if (!held) return held.error();

  platform::Status written = [&]() -> platform::Status {
    for (const Patch& patch : patches) {
      if (platform::Status put = file.value()->writeAt(patch.offset, patch.bytes); !put) {
        return causedBy("cannot write the new tags into the file", put.error());
      }
    }
    if (platform::Status flushed = file.value()->sync(); !flushed) {
      return causedBy("cannot flush the file to the disk", flushed.error());
    }
    return {};
  }();
  if (!written && !applyUndo(*file.value(), record)) {
    // The record stays for the next save in the folder to apply.
    return written;
  }
  (void)file.value()->close();
  dropRecord(fileSystem, std::move(held.value()), recordPath);
  return written;
}

platform::Status rewriteInPlace(platform::FileSystem& fileSystem, const std::string& path,
                                std::uint64_t size, platform::ReadableFile& old,
                                const ByteVector& head, std::uint64_t keepFrom,
                                std::uint64_t keepLength, const ByteVector& tail) {
  auto file = fileSystem.openForUpdate(path);
  if (!file) return causedBy("cannot open the file", file.error());
  const ByteVector recordHead = wholeContentHead(path, size);
  std::string recordPath;
  auto held = storeRecord(fileSystem, path, recordHead, &old, size, recordPath);
  if (!held) return held.error();
  // The old bytes are read back from the record: the file itself is being
  // overwritten, and the record holds them in any order they are needed.
  auto saved = fileSystem.openForReading(recordPath);
  if (!saved) {
    dropRecord(fileSystem, std::move(held.value()), recordPath);
    return causedBy("cannot read the undo record back", saved.error());
  }
  const std::uint64_t base = recordHead.size();
  const std::uint64_t newLength = head.size() + keepLength + tail.size();

  platform::Status written = [&]() -> platform::Status {
    if (platform::Status put = file.value()->writeAt(0, head); !put) {
      return causedBy("cannot write the new tags into the file", put.error());
    }
    if (platform::Status moved =
            copyPieces(*saved.value(), base + keepFrom, *file.value(), head.size(), keepLength);
        !moved) {
      return causedBy("cannot move the audio into place", moved.error());
    }
    if (!tail.empty()) {
      if (platform::Status put = file.value()->writeAt(head.size() + keepLength, tail); !put) {
        return causedBy("cannot write the new tags into the file", put.error());
      }
    }
    if (platform::Status cut = file.value()->setLength(newLength); !cut) {
      return causedBy("cannot cut the file to its new length", cut.error());
    }
    if (platform::Status flushed = file.value()->sync(); !flushed) {
      return causedBy("cannot flush the file to the disk", flushed.error());
    }
    return {};
  }();
  if (!written) {
    platform::Status undone = copyPieces(*saved.value(), base, *file.value(), 0, size);
    if (undone) undone = file.value()->setLength(size);
    if (undone) undone = file.value()->sync();
    // Not undone: the record stays for the next save in the folder to apply.
    if (!undone) return written;
  }
  (void)file.value()->close();
  saved.value().reset();
  dropRecord(fileSystem, std::move(held.value()), recordPath);
  return written;
}

void undoAbandoned(platform::FileSystem& fileSystem, const std::string& recordPath) {
  auto taken = fileSystem.takeIfAbandoned(recordPath);
  if (!taken || !taken.value()) return;
  const std::string& bytes = *taken.value();
  const auto record =
      decode(ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  // A record undoes only a file in its own folder.
  if (!record || folderPart(record->path) != folderPart(recordPath)) {
    if (record) (void)fileSystem.writeFile(recordPath, bytes, platform::WriteMode::CreateNew);
    return;
  }
  auto file = fileSystem.openForUpdate(record->path);
  if (file && applyUndo(*file.value(), *record)) return;
  // Not applied: the record is written back for a later try.
  (void)fileSystem.writeFile(recordPath, bytes, platform::WriteMode::CreateNew);
}

}  // namespace brindle::id3v2
