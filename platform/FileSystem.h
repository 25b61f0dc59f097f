// Every file-system effect of the program goes through this interface, so a
// test can watch each step and make any of them fail on purpose.
//
// Paths are byte strings as the operating system has them: a name that is not
// valid UTF-8 passes through untouched.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace brindle::platform {

/// The entries of one directory, in the order the system returned them.
struct DirectoryListing {
  /// Plain files (symbolic links to plain files included).
  std::vector<std::string> files;
  /// Subdirectories, without "." and "..".
  std::vector<std::string> directories;
};

/// What a path names, after following symbolic links.
enum class FileKind {
  Regular,
  Directory,
  /// A FIFO, socket or device: never opened as a file, since reading one can
  /// block forever or have side effects.
  Special,
};

/// Which file a path names, whatever its name: the same device and inode
/// means the same file, also after a rename or through another hard link.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

/// What a file list shows of a file beside its name.
struct FileDetails {
  std::uint64_t size = 0;
  /// The last modification, in seconds since 1970-01-01 UTC.
  std::int64_t modified = 0;
  bool operator==(const FileDetails&) const = default;
};

enum class WriteMode {
  /// Create the file or replace its content.
  Replace,
  /// Create the file or add at its end.
  Append,
  /// Create the file; fail when anything already has that name.
  CreateNew,
};

/// A file opened for reading at any offset; closed when destroyed.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  /// Reads up to buffer.size() bytes at `offset`; returns how many were read,
  /// fewer only at the end of the file.
  virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
  virtual Result<std::uint64_t> size() = 0;
  /// The `length` bytes at `offset` when the object holds them in memory
  /// already (read before), so a reader can look at them without a copy;
  /// empty otherwise.
  virtual std::span<const std::uint8_t> heldBytes(std::uint64_t offset, std::size_t length) const {
    (void)offset;
    (void)length;
    return {};
  }
};

/// An existing file open for reading and for writing in place; closed when
/// destroyed.
class UpdatableFile : public ReadableFile {
 public:
  /// Writes the bytes at `offset`; at the end of the file it grows.
  virtual Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
  /// Cuts the file to `length` bytes (or extends it with zeros).
  virtual Status setLength(std::uint64_t length) = 0;
  /// Flushes what was written to the disk.
  virtual Status sync() = 0;
  /// Starts writing what was written to the disk without waiting for it, so
  /// that a later flush of many files has less to wait for.
  virtual void startWritingBack() {}
  virtual Status close() = 0;
};

/// A new file being written from its start; closed when destroyed.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  /// Adds the bytes at the end of what was written so far.
  virtual Status write(std::span<const std::uint8_t> bytes) = 0;
  /// Adds `length` bytes of `source` starting at `offset`, in bounded pieces
  /// (the kernel's own copy where it can): memory use does not grow with
  /// `length`. Fails when the source ends early.
  virtual Status copyFrom(ReadableFile& source, std::uint64_t offset, std::uint64_t length) = 0;
  /// Flushes what was written to the disk.
  virtual Status sync() = 0;
  /// As UpdatableFile::startWritingBack().
  virtual void startWritingBack() {}
  virtual Status close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Renames a file within the file system. Never replaces an existing
  /// target: the check and the rename are one atomic step, and an existing
  /// target makes the call fail with EEXIST.
  virtual Status renameNoReplace(const std::string& from, const std::string& to) = 0;
  virtual Status remove(const std::string& path) = 0;
  virtual bool exists(const std::string& path) = 0;
  virtual bool isDirectory(const std::string& path) = 0;
  virtual Result<std::uint64_t> length(const std::string& path) = 0;
  /// Read-only means nobody may write the file (no write permission bit).
  /// What the path names (following links). A missing path fails with
  /// ENOENT, a path longer than the system allows with ENAMETOOLONG.
  virtual Result<FileKind> kindOf(const std::string& path) = 0;
  /// How many names (hard links) the file has.
  virtual Result<std::uint64_t> linkCount(const std::string& path) = 0;
  virtual Result<bool> isReadOnly(const std::string& path) = 0;
  virtual Status setReadOnly(const std::string& path, bool readOnly) = 0;

  virtual Result<DirectoryListing> listDirectory(const std::string& directory) = 0;
  /// The roots the user can browse: the mounted file systems.
  virtual std::vector<std::string> drives() = 0;

  virtual Result<std::string> readFile(const std::string& path) = 0;
  virtual Status writeFile(const std::string& path, const std::string& bytes, WriteMode mode) = 0;

  /// Opens a regular file for reading. Anything else (a folder, FIFO,
  /// device) is refused without waiting on it.
  virtual Result<std::unique_ptr<ReadableFile>> openForReading(const std::string& path) = 0;
  /// Opens an existing regular file for reading and writing in place; never
  /// creates one.
  virtual Result<std::unique_ptr<UpdatableFile>> openForUpdate(const std::string& path) = 0;
  /// Creates a file that must not exist yet (EEXIST otherwise), with exactly
  /// the permission bits `permissions`, open for writing.
  virtual Result<std::unique_ptr<WritableFile>> createNewFile(const std::string& path,
                                                              unsigned permissions) = 0;
  /// Moves `from` onto `to` in one atomic step, replacing the file at `to`:
  /// at every moment a complete file is under the name `to`.
  virtual Status replaceFile(const std::string& from, const std::string& to) = 0;
  /// The path with every symbolic link resolved: the file a link points to,
  /// so that a save changes that file and keeps the link.
  virtual Result<std::string> resolvedPath(const std::string& path) = 0;
  /// Gives the file `to` (which is to replace `from`) the owner, group,
  /// extended attributes (ACLs included) and permission bits of `from`. An
  /// owner or group that cannot be kept (a user saving someone else's file)
  /// is no failure, but then the setuid and setgid bits are dropped, so a
  /// save never hands out another user's privileges.
  virtual Status copyMetadata(const std::string& from, const std::string& to) = 0;
  /// Flushes the folder holding `path` to the disk, so that a rename or
  /// removal of `path` survives a crash.
  virtual Status syncDirectoryOf(const std::string& path) = 0;
  /// Removes a temporary file left behind by a program that was killed:
  /// only a file of this user, and only when no running program holds it (every file
  /// createNewFile() makes is held until closed). Returns true when it was removed.
  virtual Result<bool> removeIfAbandoned(const std::string& path) = 0;
  /// The same for a small file of ours that must be read before it goes:
  /// its bytes when it was abandoned and is now removed, nothing when a
  /// running program holds it.
  virtual Result<std::optional<std::string>> takeIfAbandoned(const std::string& path) = 0;
  /// The permission bits (rwx for user, group, others and the special bits).
  virtual Result<unsigned> permissions(const std::string& path) = 0;
  /// The device and inode of the file (following symbolic links).
  virtual Result<FileIdentity> identity(const std::string& path) = 0;
  /// The size and modification time of the file (following symbolic links).
  virtual Result<FileDetails> details(const std::string& path) = 0;
  /// Flushes everything written to the file system that holds `path`: a
  /// batch that wrote many files without flushing each makes one call per
  /// file system before it reports them saved.
  virtual Status syncFileSystemOf(const std::string& path) = 0;
  /// Whether several threads may call this object at once: true only for a
  /// file system that keeps no state between calls.
  virtual bool usableFromManyThreads() const { return false; }
  /// How many files a caller may keep open at once besides the few any
  /// program holds: a batch keeps the new files it wrote open until one
  /// flush covers them all.
  virtual std::size_t openFilesAllowed() const { return 256; }
};

}  // namespace brindle::platform
