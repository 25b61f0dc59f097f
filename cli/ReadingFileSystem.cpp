#include "cli/ReadingFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <string>

#include "platform/posix/PosixFiles.h"

namespace brindle::cli {

namespace {

using platform::Error;
using platform::posix::systemError;

/// The refusal of a path that is not a regular file, in the POSIX file
/// system's words.
Error notRegular(const std::string& path, mode_t mode) {
  if (S_ISDIR(mode)) return systemError(EISDIR, "Cannot open", path);
  const char* kind = S_ISFIFO(mode) ? "a FIFO" : S_ISSOCK(mode) ? "a socket" : "a device";
  return Error{0, std::string("not a regular file but ") + kind};
}

}  // namespace

platform::Result<std::unique_ptr<platform::ReadableFile>> ReadingFileSystem::openForReading(
    const std::string& path) {
  // Non-blocking: a FIFO opens at once instead of waiting for a writer.
  platform::posix::FileDescriptor fd(
      ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (fd.get() < 0) {
    const int code = errno;
    // Only after a failed opening is the name looked at: a device or
    // socket that cannot be opened is refused for what it is.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
      return notRegular(path, info.st_mode);
    return systemError(code, "Cannot open", path);
  }
  if (::fstat(fd.get(), &info) != 0) return systemError(errno, "Cannot examine", path);
  if (!S_ISREG(info.st_mode)) return notRegular(path, info.st_mode);
  const int owned = fd.get();
  fd.forget();
  // Measured by the opening: size() asks the system nothing more.
  return std::unique_ptr<platform::ReadableFile>(
      std::make_unique<platform::posix::PosixReadableFile>(
          owned, path, static_cast<std::uint64_t>(info.st_size)));
}

}  // namespace brindle::cli
