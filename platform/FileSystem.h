// Every file-system effect of the program goes through this interface, so a
// test can watch each step and make any of them fail on purpose.
//
// Paths are byte strings as the operating system has them: a name that is not
// valid UTF-8 passes through untouched.
#pragma once

#include <cstdint>
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

enum class WriteMode {
  /// Create the file or replace its content.
  Replace,
  /// Create the file or add at its end.
  Append,
  /// Create the file; fail when anything already has that name.
  CreateNew,
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
  virtual Result<bool> isReadOnly(const std::string& path) = 0;
  virtual Status setReadOnly(const std::string& path, bool readOnly) = 0;

  virtual Result<DirectoryListing> listDirectory(const std::string& directory) = 0;
  /// The roots the user can browse: the mounted file systems.
  virtual std::vector<std::string> drives() = 0;

  virtual Result<std::string> readFile(const std::string& path) = 0;
  virtual Status writeFile(const std::string& path, const std::string& bytes, WriteMode mode) = 0;
};

}  // namespace brindle::platform
