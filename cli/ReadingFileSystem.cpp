#include "cli/ReadingFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

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

ReadingFileSystem::~ReadingFileSystem() {
  if (m_folder >= 0) ::close(m_folder);
}

platform::Result<std::unique_ptr<platform::ReadableFile>> ReadingFileSystem::openForReading(
    const std::string& path) {
  // A name in a folder is opened in the folder opened for the file before
  // when it is the same; a bare name, a name at the root or a path ending
  // in a slash is opened as it is.
  int at = AT_FDCWD;
  const char* name = path.c_str();
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && slash + 1 < path.size()) {
    const std::string_view folder(path.data(), slash);
    if (folder != m_folderName) {
      if (m_folder >= 0) ::close(m_folder);
      m_folderName = folder;
      m_folder = ::open(m_folderName.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (m_folder >= 0) {
      at = m_folder;
      name += slash + 1;
    }
  }
  // Non-blocking: a FIFO opens at once instead of waiting for a writer.
  platform::posix::FileDescriptor fd(
      ::openat(at, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
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
