// Wraps a real file system: records every call and fails chosen calls on
// purpose, so tests can check what a command touched and how it copes with a
// failure at any step.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brindle::platform::testing {

enum class FsOp {
  Rename,
  Remove,
  Exists,
  IsDirectory,
  Length,
  IsReadOnly,
  SetReadOnly,
  ListDirectory,
  Drives,
  ReadFile,
  WriteFile,
  OpenForReading,
  ReadAt,
  CreateNewFile,
  Write,
  CopyFrom,
  Sync,
  Close,
  ReplaceFile,
  Permissions,
  OpenForUpdate,
  WriteAt,
  KindOf,
  SyncDirectory,
  RemoveIfAbandoned,
  ResolvedPath,
  CopyMetadata,
  LinkCount,
  TakeIfAbandoned,
  SetLength,
  Identity,
  SyncFileSystem,
  Details,
};

struct FsCall {
  FsOp op;
  std::string path;
  /// The rename target, or the bytes written.
  std::string second;
};

class RecordingFileSystem : public FileSystem {
 public:
  explicit RecordingFileSystem(FileSystem& inner) : m_inner(inner) {}

  /// Makes calls of `op` fail with `error` (on `path` only, when given). The
  /// fault stays until clearFaults(); `times` limits how often it fires.
  void fail(FsOp op, Error error, std::optional<std::string> path = std::nullopt, int times = -1);
  /// Lets the first `passing` calls of `op` through and fails the next one.
  /// For Write and WriteAt, the failing call first writes `written` bytes of
  /// its data, as a write that fills the disk half way does.
  void failLater(FsOp op, int passing, Error error, std::size_t written = 0);
  void clearFaults() {
    m_faults.clear();
    m_crashAfter.reset();
  }
  /// Lets the first `calls` calls through and fails every later one with
  /// EIO, as if the program had been killed there: nothing more reaches the
  /// disk. Cleared by clearFaults().
  void crashAfter(std::size_t calls) { m_crashAfter = m_calls.size() + calls; }

  /// Replaces the list of drives the real system would give.
  void setDrives(std::vector<std::string> drives) { m_drives = std::move(drives); }

  const std::vector<FsCall>& calls() const { return m_calls; }
  std::vector<FsCall> callsOf(FsOp op) const;
  void clearCalls() { m_calls.clear(); }

  Status renameNoReplace(const std::string& from, const std::string& to) override;
  Status remove(const std::string& path) override;
  bool exists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  Result<std::uint64_t> length(const std::string& path) override;
  Result<bool> isReadOnly(const std::string& path) override;
  Status setReadOnly(const std::string& path, bool readOnly) override;
  Result<DirectoryListing> listDirectory(const std::string& directory) override;
  std::vector<std::string> drives() override;
  Result<std::string> readFile(const std::string& path) override;
  Status writeFile(const std::string& path, const std::string& bytes, WriteMode mode) override;
  Result<std::unique_ptr<ReadableFile>> openForReading(const std::string& path) override;
  Result<std::unique_ptr<UpdatableFile>> openForUpdate(const std::string& path) override;
  Result<std::unique_ptr<WritableFile>> createNewFile(const std::string& path,
                                                      unsigned permissions) override;
  Status replaceFile(const std::string& from, const std::string& to) override;
  Result<unsigned> permissions(const std::string& path) override;
  Result<FileIdentity> identity(const std::string& path) override;
  Result<FileDetails> details(const std::string& path) override;
  Status syncFileSystemOf(const std::string& path) override;
  std::size_t openFilesAllowed() const override {
    return m_openFilesAllowed.value_or(m_inner.openFilesAllowed());
  }
  /// Makes openFilesAllowed() return `count`.
  void allowOpenFiles(std::size_t count) { m_openFilesAllowed = count; }
  Result<FileKind> kindOf(const std::string& path) override;
  Result<std::uint64_t> linkCount(const std::string& path) override;
  Result<std::string> resolvedPath(const std::string& path) override;
  Status copyMetadata(const std::string& from, const std::string& to) override;
  Status syncDirectoryOf(const std::string& path) override;
  Result<bool> removeIfAbandoned(const std::string& path) override;
  Result<std::optional<std::string>> takeIfAbandoned(const std::string& path) override;

  /// Records a call on an open file (named by its path) and returns the
  /// injected error, if one applies. Used by the recording file handles.
  std::optional<Error> enter(FsOp op, const std::string& path, std::string second = {});
  /// How many bytes the fault that enter() just returned lets through first.
  std::size_t partialBytes() const { return m_partial; }

 private:
  struct Fault {
    FsOp op;
    Error error;
    std::optional<std::string> path;
    int remaining;
    int passing = 0;
    std::size_t written = 0;
  };

  FileSystem& m_inner;
  std::vector<FsCall> m_calls;
  std::vector<Fault> m_faults;
  std::optional<std::vector<std::string>> m_drives;
  std::size_t m_partial = 0;
  std::optional<std::size_t> m_crashAfter;
  std::optional<std::size_t> m_openFilesAllowed;
};

}  // namespace brindle::platform::testing
