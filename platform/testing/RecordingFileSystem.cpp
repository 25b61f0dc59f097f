#include "platform/testing/RecordingFileSystem.h"

#include <cerrno>

#include <algorithm>

namespace brindle::platform::testing {

namespace {

/// An open file whose every call is recorded and may fail on purpose.
class RecordingReadableFile : public ReadableFile {
 public:
  RecordingReadableFile(RecordingFileSystem& owner, std::unique_ptr<ReadableFile> inner,
                        std::string path)
      : m_owner(owner), m_inner(std::move(inner)), m_path(std::move(path)) {}

  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    if (auto error = m_owner.enter(FsOp::ReadAt, m_path, std::to_string(offset))) return *error;
    return m_inner->readAt(offset, buffer);
  }
  Result<std::uint64_t> size() override { return m_inner->size(); }
  ReadableFile& inner() { return *m_inner; }

 private:
  RecordingFileSystem& m_owner;
  std::unique_ptr<ReadableFile> m_inner;
  std::string m_path;
};

class RecordingUpdatableFile : public UpdatableFile {
 public:
  RecordingUpdatableFile(RecordingFileSystem& owner, std::unique_ptr<UpdatableFile> inner,
                         std::string path)
      : m_owner(owner), m_inner(std::move(inner)), m_path(std::move(path)) {}

  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    if (auto error = m_owner.enter(FsOp::ReadAt, m_path, std::to_string(offset))) return *error;
    return m_inner->readAt(offset, buffer);
  }
  Result<std::uint64_t> size() override { return m_inner->size(); }
  Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
    if (auto error = m_owner.enter(FsOp::WriteAt, m_path, std::to_string(offset))) {
      const std::size_t partial = std::min(m_owner.partialBytes(), bytes.size());
      if (partial > 0) (void)m_inner->writeAt(offset, bytes.first(partial));
      return *error;
    }
    return m_inner->writeAt(offset, bytes);
  }
  Status setLength(std::uint64_t length) override {
    if (auto error = m_owner.enter(FsOp::SetLength, m_path, std::to_string(length))) return *error;
    return m_inner->setLength(length);
  }
  Status sync() override {
    if (auto error = m_owner.enter(FsOp::Sync, m_path)) return *error;
    return m_inner->sync();
  }
  void startWritingBack() override { m_inner->startWritingBack(); }
  Status close() override {
    if (auto error = m_owner.enter(FsOp::Close, m_path)) return *error;
    return m_inner->close();
  }

 private:
  RecordingFileSystem& m_owner;
  std::unique_ptr<UpdatableFile> m_inner;
  std::string m_path;
};

class RecordingWritableFile : public WritableFile {
 public:
  RecordingWritableFile(RecordingFileSystem& owner, std::unique_ptr<WritableFile> inner,
                        std::string path)
      : m_owner(owner), m_inner(std::move(inner)), m_path(std::move(path)) {}

  Status write(std::span<const std::uint8_t> bytes) override {
    if (auto error = m_owner.enter(FsOp::Write, m_path)) {
      const std::size_t partial = std::min(m_owner.partialBytes(), bytes.size());
      if (partial > 0) (void)m_inner->write(bytes.first(partial));
      return *error;
    }
    return m_inner->write(bytes);
  }
  Status copyFrom(ReadableFile& source, std::uint64_t offset, std::uint64_t length) override {
    if (auto error = m_owner.enter(FsOp::CopyFrom, m_path, std::to_string(length))) return *error;
    // Hands the real file to the real copy, so the kernel's copy is used.
    if (auto* recorded = dynamic_cast<RecordingReadableFile*>(&source)) {
      return m_inner->copyFrom(recorded->inner(), offset, length);
    }
    return m_inner->copyFrom(source, offset, length);
  }
  Status sync() override {
    if (auto error = m_owner.enter(FsOp::Sync, m_path)) return *error;
    return m_inner->sync();
  }
  void startWritingBack() override { m_inner->startWritingBack(); }
  Status close() override {
    if (auto error = m_owner.enter(FsOp::Close, m_path)) return *error;
    return m_inner->close();
  }

 private:
  RecordingFileSystem& m_owner;
  std::unique_ptr<WritableFile> m_inner;
  std::string m_path;
};

}  // namespace

void RecordingFileSystem::fail(FsOp op, Error error, std::optional<std::string> path, int times) {
  m_faults.push_back({op, std::move(error), std::move(path), times});
}

void RecordingFileSystem::failLater(FsOp op, int passing, Error error, std::size_t written) {
  Fault fault{op, std::move(error), std::nullopt, 1};
  fault.passing = passing;
  fault.written = written;
  m_faults.push_back(std::move(fault));
}

std::vector<FsCall> RecordingFileSystem::callsOf(FsOp op) const {
  std::vector<FsCall> result;
  for (const FsCall& call : m_calls)
    if (call.op == op) result.push_back(call);
  return result;
}

std::optional<Error> RecordingFileSystem::enter(FsOp op, const std::string& path,
                                                std::string second) {
  m_calls.push_back({op, path, std::move(second)});
  m_partial = 0;
  if (m_crashAfter && m_calls.size() > *m_crashAfter) return Error{EIO, "the program was stopped"};
  for (Fault& fault : m_faults) {
    if (fault.op != op || fault.remaining == 0) continue;
    if (fault.path && *fault.path != path) continue;
    if (fault.passing > 0) {
      --fault.passing;
      continue;
    }
    if (fault.remaining > 0) --fault.remaining;
    m_partial = fault.written;
    return fault.error;
  }
  return std::nullopt;
}

Status RecordingFileSystem::renameNoReplace(const std::string& from, const std::string& to) {
  if (auto error = enter(FsOp::Rename, from, to)) return *error;
  return m_inner.renameNoReplace(from, to);
}

Status RecordingFileSystem::remove(const std::string& path) {
  if (auto error = enter(FsOp::Remove, path)) return *error;
  return m_inner.remove(path);
}

bool RecordingFileSystem::exists(const std::string& path) {
  if (enter(FsOp::Exists, path)) return false;
  return m_inner.exists(path);
}

bool RecordingFileSystem::isDirectory(const std::string& path) {
  if (enter(FsOp::IsDirectory, path)) return false;
  return m_inner.isDirectory(path);
}

Result<std::uint64_t> RecordingFileSystem::length(const std::string& path) {
  if (auto error = enter(FsOp::Length, path)) return *error;
  return m_inner.length(path);
}

Result<bool> RecordingFileSystem::isReadOnly(const std::string& path) {
  if (auto error = enter(FsOp::IsReadOnly, path)) return *error;
  return m_inner.isReadOnly(path);
}

Status RecordingFileSystem::setReadOnly(const std::string& path, bool readOnly) {
  if (auto error = enter(FsOp::SetReadOnly, path, readOnly ? "true" : "false")) return *error;
  return m_inner.setReadOnly(path, readOnly);
}

Result<DirectoryListing> RecordingFileSystem::listDirectory(const std::string& directory) {
  if (auto error = enter(FsOp::ListDirectory, directory)) return *error;
  return m_inner.listDirectory(directory);
}

std::vector<std::string> RecordingFileSystem::drives() {
  enter(FsOp::Drives, {});
  if (m_drives) return *m_drives;
  return m_inner.drives();
}

Result<std::string> RecordingFileSystem::readFile(const std::string& path) {
  if (auto error = enter(FsOp::ReadFile, path)) return *error;
  return m_inner.readFile(path);
}

Status RecordingFileSystem::writeFile(const std::string& path, const std::string& bytes,
                                      WriteMode mode) {
  if (auto error = enter(FsOp::WriteFile, path, bytes)) return *error;
  return m_inner.writeFile(path, bytes, mode);
}

Result<std::unique_ptr<ReadableFile>> RecordingFileSystem::openForReading(const std::string& path) {
  if (auto error = enter(FsOp::OpenForReading, path)) return *error;
  Result<std::unique_ptr<ReadableFile>> file = m_inner.openForReading(path);
  if (!file) return file.error();
  return std::unique_ptr<ReadableFile>(
      std::make_unique<RecordingReadableFile>(*this, std::move(file.value()), path));
}

Result<std::unique_ptr<UpdatableFile>> RecordingFileSystem::openForUpdate(const std::string& path) {
  if (auto error = enter(FsOp::OpenForUpdate, path)) return *error;
  Result<std::unique_ptr<UpdatableFile>> file = m_inner.openForUpdate(path);
  if (!file) return file.error();
  return std::unique_ptr<UpdatableFile>(
      std::make_unique<RecordingUpdatableFile>(*this, std::move(file.value()), path));
}

Result<std::unique_ptr<WritableFile>> RecordingFileSystem::createNewFile(const std::string& path,
                                                                         unsigned permissions) {
  if (auto error = enter(FsOp::CreateNewFile, path, std::to_string(permissions))) return *error;
  Result<std::unique_ptr<WritableFile>> file = m_inner.createNewFile(path, permissions);
  if (!file) return file.error();
  return std::unique_ptr<WritableFile>(
      std::make_unique<RecordingWritableFile>(*this, std::move(file.value()), path));
}

Status RecordingFileSystem::replaceFile(const std::string& from, const std::string& to) {
  if (auto error = enter(FsOp::ReplaceFile, from, to)) return *error;
  return m_inner.replaceFile(from, to);
}

Result<unsigned> RecordingFileSystem::permissions(const std::string& path) {
  if (auto error = enter(FsOp::Permissions, path)) return *error;
  return m_inner.permissions(path);
}

Result<FileKind> RecordingFileSystem::kindOf(const std::string& path) {
  if (auto error = enter(FsOp::KindOf, path)) return *error;
  return m_inner.kindOf(path);
}

Result<std::string> RecordingFileSystem::resolvedPath(const std::string& path) {
  if (auto error = enter(FsOp::ResolvedPath, path)) return *error;
  return m_inner.resolvedPath(path);
}

Status RecordingFileSystem::copyMetadata(const std::string& from, const std::string& to) {
  if (auto error = enter(FsOp::CopyMetadata, from, to)) return *error;
  return m_inner.copyMetadata(from, to);
}

Result<std::uint64_t> RecordingFileSystem::linkCount(const std::string& path) {
  if (auto error = enter(FsOp::LinkCount, path)) return *error;
  return m_inner.linkCount(path);
}

Result<std::optional<std::string>> RecordingFileSystem::takeIfAbandoned(const std::string& path) {
  if (auto error = enter(FsOp::TakeIfAbandoned, path)) return *error;
  return m_inner.takeIfAbandoned(path);
}

Status RecordingFileSystem::syncDirectoryOf(const std::string& path) {
  if (auto error = enter(FsOp::SyncDirectory, path)) return *error;
  return m_inner.syncDirectoryOf(path);
}

Result<bool> RecordingFileSystem::removeIfAbandoned(const std::string& path) {
  if (auto error = enter(FsOp::RemoveIfAbandoned, path)) return *error;
  return m_inner.removeIfAbandoned(path);
}

Result<FileIdentity> RecordingFileSystem::identity(const std::string& path) {
  if (auto error = enter(FsOp::Identity, path)) return *error;
  return m_inner.identity(path);
}

Result<FileDetails> RecordingFileSystem::details(const std::string& path) {
  if (auto error = enter(FsOp::Details, path)) return *error;
  return m_inner.details(path);
}

Status RecordingFileSystem::syncFileSystemOf(const std::string& path) {
  if (auto error = enter(FsOp::SyncFileSystem, path)) return *error;
  return m_inner.syncFileSystemOf(path);
}

}  // namespace brindle::platform::testing
