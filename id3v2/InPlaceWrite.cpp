#include "id3v2/InPlaceWrite.h"

#include <algorithm>
#include <cerrno>
#include <random>

#include "id3v2/Failure.h"
#include "id3v2/SizeCodec.h"
#include "id3v2/TagFormat.h"
#include "id3v2/TemporaryName.h"

namespace brindle::id3v2 {

namespace {

constexpr std::string_view kMagic = "brindle undo 1\n";
constexpr std::size_t kRandomLength = 6;

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

/// Writes the record to a new file beside the file and flushes it and the
/// folder; the file stays open, which marks the record as held.
platform::Result<std::unique_ptr<platform::WritableFile>> storeRecord(
    platform::FileSystem& fileSystem, const UndoRecord& record, std::string& recordPath) {
  platform::Result<std::unique_ptr<platform::WritableFile>> file = platform::Error{EEXIST, {}};
  for (int attempt = 0; attempt < 8 && !file && file.error().code == EEXIST; ++attempt) {
    recordPath = undoNameBeside(record.path);
    file = fileSystem.createNewFile(recordPath, 0600);
  }
  if (!file) return causedBy("cannot create an undo record beside the file", file.error());
  const ByteVector bytes = encode(record);
  platform::Status stored = file.value()->write(bytes);
  if (stored) stored = file.value()->sync();
  if (stored) stored = fileSystem.syncDirectoryOf(recordPath);
  if (!stored) {
    file.value().reset();
    (void)fileSystem.remove(recordPath);
    return causedBy("cannot write an undo record beside the file", stored.error());
  }
  return file;
}

}  // namespace

bool isUndoName(std::string_view name) {
  return name.size() == kUndoPrefix.size() + kRandomLength &&
         name.substr(0, kUndoPrefix.size()) == kUndoPrefix;
}

std::optional<ByteVector> paddedTo(const ByteVector& tag, std::uint64_t length) {
  if (tag.size() < kHeaderSize || length < tag.size() || length - kHeaderSize >= (1u << 28)) {
    return std::nullopt;
  }
  ByteVector padded = tag;
  padded.resize(static_cast<std::size_t>(length), 0);
  const std::array<std::uint8_t, 4> size =
      LongToByte(static_cast<std::int64_t>(length - kHeaderSize));
  std::copy(size.begin(), size.end(), padded.begin() + 6);
  return padded;
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
  auto held = storeRecord(fileSystem, record, recordPath);
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
  held.value().reset();
  (void)fileSystem.remove(recordPath);
  (void)fileSystem.syncDirectoryOf(recordPath);
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
