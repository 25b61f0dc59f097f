// The file system of the commands that only read files (read, wav, info):
// one opening per file, the type checked on the open descriptor.
#pragma once

#include "platform/posix/PosixFileSystem.h"

namespace brindle::cli {

/// The POSIX file system whose openForReading() opens first and looks at the
/// type afterwards (open, fstat) instead of looking at the name before
/// opening too: one system call less per file a listing reads. Opening does
/// not wait (a FIFO is refused, not waited on); the refusals and their
/// reasons are those of the POSIX file system.
class ReadingFileSystem : public platform::posix::PosixFileSystem {
 public:
  platform::Result<std::unique_ptr<platform::ReadableFile>> openForReading(
      const std::string& path) override;
};

}  // namespace brindle::cli
