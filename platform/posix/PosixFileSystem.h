// The file system of a POSIX system, through its system calls.
#pragma once

#include "platform/FileSystem.h"

namespace brindle::platform::posix {

class PosixFileSystem : public FileSystem {
 public:
  /// Every call goes to the system and keeps nothing.
  bool usableFromManyThreads() const override { return true; }
  /// A quarter of this process's limit of open files, at most 4096.
  std::size_t openFilesAllowed() const override;
  Status renameNoReplace(const std::string& from, const std::string& to) override;
  Status remove(const std::string& path) override;
  bool exists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  Result<std::uint64_t> length(const std::string& path) override;
  Result<FileKind> kindOf(const std::string& path) override;
  Result<std::uint64_t> linkCount(const std::string& path) override;
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
  Result<std::string> resolvedPath(const std::string& path) override;
  Status copyMetadata(const std::string& from, const std::string& to) override;
  Status syncDirectoryOf(const std::string& path) override;
  Result<bool> removeIfAbandoned(const std::string& path) override;
  Result<std::optional<std::string>> takeIfAbandoned(const std::string& path) override;
};

/// A descriptor the caller owns, and the file's length when it was opened.
struct OpenedFile {
  int descriptor = -1;
  std::uint64_t size = 0;
};

/// Opens a regular file with `flags` (O_RDONLY or O_RDWR). The type is
/// checked before and after opening, and the opening itself does not wait:
/// a FIFO or device under the name is refused instead of blocking forever.
Result<OpenedFile> openRegularFile(const std::string& path, int flags);

/// Renames a plain file by a hard link to the new name and the removal of the
/// old one: fails with EEXIST when the target exists, leaving both files as
/// they were. The fallback of renameNoReplace() on file systems without the
/// kernel's no-replace rename; works for plain files only, not folders.
Status renameByLink(const std::string& from, const std::string& to);

/// An Error for the system error number `code`, naming the operation and the
/// path.
Error systemError(int code, const std::string& what, const std::string& path);

/// The mount points listed in a mounts table (the format of /proc/self/mounts),
/// without the kernel's pseudo file systems; octal escapes are decoded.
std::vector<std::string> parseMountTable(const std::string& table);

/// Raises this process's limit of open files to what the system lets it
/// have (at most 65536): a batch of many files keeps many open.
void allowManyOpenFiles();

}  // namespace brindle::platform::posix
