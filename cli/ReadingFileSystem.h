// The file system of the commands that only read files (read, wav, info):
// few system calls per file, for listings of many files.
#pragma once

#include <string>

#include "platform/posix/PosixFileSystem.h"

namespace brindle::cli {

/// The POSIX file system whose openForReading() opens first and looks at the
/// type on the open descriptor (open, fstat) instead of looking at the name
/// before opening too, and opens a file by its name in its folder, which
/// stays open for the next file named in the same folder, so that the path
/// is not walked again for each. Opening does not wait (a FIFO is refused,
/// not waited on); the refusals and their reasons are those of the POSIX
/// file system.
class ReadingFileSystem : public platform::posix::PosixFileSystem {
 public:
  ReadingFileSystem() = default;
  ~ReadingFileSystem() override;
  ReadingFileSystem(const ReadingFileSystem&) = delete;
  ReadingFileSystem& operator=(const ReadingFileSystem&) = delete;

  platform::Result<std::unique_ptr<platform::ReadableFile>> openForReading(
      const std::string& path) override;
  /// The folder kept open is this object's state.
  bool usableFromManyThreads() const override { return false; }

 private:
  /// The folder part of the last path opened, and its descriptor (-1 when
  /// it could not be opened: the paths in it are opened whole).
  std::string m_folderName;
  int m_folder = -1;
};

}  // namespace brindle::cli
