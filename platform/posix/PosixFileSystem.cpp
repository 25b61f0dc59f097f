#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>

namespace brindle::platform::posix {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

int renameat2NoReplace(const char* from, const char* to) {
#ifdef SYS_renameat2
  return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
  errno = ENOSYS;
  return -1;
#endif
}

bool isPlainFile(int dirFd, const dirent& entry, bool& isDirectory) {
  isDirectory = false;
  switch (entry.d_type) {
    case DT_REG:
      return true;
    case DT_DIR:
      isDirectory = true;
      return false;
    case DT_LNK:
    case DT_UNKNOWN: {
      // Follow links: a link to a file lists as a file, to a folder as one.
      struct stat info {};
      if (::fstatat(dirFd, entry.d_name, &info, 0) != 0) return false;
      isDirectory = S_ISDIR(info.st_mode);
      return S_ISREG(info.st_mode);
    }
    default:
      return false;
  }
}

std::string decodeMountEscapes(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        std::isdigit(static_cast<unsigned char>(field[i + 1])) &&
        std::isdigit(static_cast<unsigned char>(field[i + 2])) &&
        std::isdigit(static_cast<unsigned char>(field[i + 3]))) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                               (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

/// The refusal of a path that is not a regular file.
Error notRegular(const std::string& path, mode_t mode) {
  if (S_ISDIR(mode)) return systemError(EISDIR, "Cannot open", path);
  // No error number says "not a regular file": the sentence does.
  const char* kind = S_ISFIFO(mode) ? "a FIFO" : S_ISSOCK(mode) ? "a socket" : "a device";
  return Error{0, std::string("not a regular file but ") + kind};
}

/// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

Result<OpenedFile> openRegularFile(const std::string& path, int flags) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot open", path);
  if (!S_ISREG(info.st_mode)) return notRegular(path, info.st_mode);
  // Non-blocking, so that a FIFO put there since the check cannot hang the
  // opening.
  FileDescriptor fd(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return systemError(errno, "Cannot open", path);
  if (::fstat(fd.get(), &info) != 0) return systemError(errno, "Cannot examine", path);
  if (!S_ISREG(info.st_mode)) return notRegular(path, info.st_mode);
  // Reading a regular file never waits whatever the flag says, so only a
  // file opened for writing has it cleared (one system call less for each
  // file a listing reads).
  if ((flags & O_ACCMODE) != O_RDONLY) {
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
      return systemError(errno, "Cannot open", path);
    }
  }
  const int owned = fd.get();
  fd.forget();
  return OpenedFile{owned, static_cast<std::uint64_t>(info.st_size)};
}

Error systemError(int code, const std::string& what, const std::string& path) {
  return Error{code, what + " \"" + path + "\": " + std::strerror(code)};
}

Status PosixFileSystem::renameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2NoReplace(from.c_str(), to.c_str()) == 0) return {};
  int code = errno;
  if (code != EINVAL && code != ENOSYS && code != ENOTSUP) {
    return systemError(code, "Cannot rename", from);
  }
  // The file system does not know the no-replace flag.
  return renameByLink(from, to);
}

Status renameByLink(const std::string& from, const std::string& to) {
  // A hard link is just as atomic as the no-replace flag, since link() fails
  // when the target exists; removing the old name then completes the rename.
  if (::link(from.c_str(), to.c_str()) != 0) return systemError(errno, "Cannot rename", from);
  if (::unlink(from.c_str()) != 0) {
    int unlinkError = errno;
    ::unlink(to.c_str());
    return systemError(unlinkError, "Cannot rename", from);
  }
  return {};
}

Status PosixFileSystem::remove(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return systemError(EISDIR, "Cannot delete", path);
  }
  if (::unlink(path.c_str()) != 0) return systemError(errno, "Cannot delete", path);
  return {};
}

bool PosixFileSystem::exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Result<std::uint64_t> PosixFileSystem::length(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot measure", path);
  return static_cast<std::uint64_t>(info.st_size);
}

Result<FileKind> PosixFileSystem::kindOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  if (S_ISREG(info.st_mode)) return FileKind::Regular;
  if (S_ISDIR(info.st_mode)) return FileKind::Directory;
  return FileKind::Special;
}

Result<std::uint64_t> PosixFileSystem::linkCount(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  return static_cast<std::uint64_t>(info.st_nlink);
}

Result<bool> PosixFileSystem::isReadOnly(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

Status PosixFileSystem::setReadOnly(const std::string& path, bool readOnly) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  mode_t mode = info.st_mode & 07777;
  if (readOnly) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else {
    // Give back write permission to whoever may read, as far as the umask
    // allows, so a file made read-only and back keeps its usual rights.
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode |= S_IWUSR;
    if (mode & S_IRGRP) mode |= S_IWGRP & ~mask;
    if (mode & S_IROTH) mode |= S_IWOTH & ~mask;
  }
  if (::chmod(path.c_str(), mode) != 0) return systemError(errno, "Cannot change", path);
  return {};
}

Result<DirectoryListing> PosixFileSystem::listDirectory(const std::string& directory) {
  std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
  if (!dir) return systemError(errno, "Cannot read folder", directory);
  DirectoryListing listing;
  int dirFd = ::dirfd(dir.get());
  errno = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    bool isDir = false;
    if (isPlainFile(dirFd, *entry, isDir)) {
      listing.files.emplace_back(entry->d_name);
    } else if (isDir) {
      listing.directories.emplace_back(entry->d_name);
    }
    errno = 0;
  }
  if (errno != 0) return systemError(errno, "Cannot read folder", directory);
  return listing;
}

std::vector<std::string> parseMountTable(const std::string& table) {
  static const std::set<std::string> kPseudo = {
      "proc",     "sysfs",      "devtmpfs",  "devpts",      "cgroup",  "cgroup2",
      "pstore",   "securityfs", "debugfs",   "tracefs",     "mqueue",  "hugetlbfs",
      "configfs", "fusectl",    "bpf",       "binfmt_misc", "autofs",  "rpc_pipefs",
      "nsfs",     "efivarfs",   "selinuxfs", "ramfs",       "squashfs"};
  std::vector<std::string> points;
  std::istringstream lines(table);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    if (kPseudo.count(type)) continue;
    std::string point = decodeMountEscapes(mountPoint);
    if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(point);
  }
  std::sort(points.begin(), points.end());
  return points;
}

std::vector<std::string> PosixFileSystem::drives() {
  Result<std::string> table = readFile("/proc/self/mounts");
  std::vector<std::string> points =
      table ? parseMountTable(table.value()) : std::vector<std::string>{};
  if (std::find(points.begin(), points.end(), "/") == points.end()) {
    points.insert(points.begin(), "/");
  }
  return points;
}

Result<std::string> PosixFileSystem::readFile(const std::string& path) {
  Result<OpenedFile> opened = openRegularFile(path, O_RDONLY);
  if (!opened) return opened.error();
  FileDescriptor fd(opened.value().descriptor);
  std::string content;
  std::array<char, 65536> buffer{};
  for (;;) {
    ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return systemError(errno, "Cannot read", path);
    }
    if (got == 0) break;
    content.append(buffer.data(), static_cast<std::size_t>(got));
  }
  return content;
}

Status PosixFileSystem::writeFile(const std::string& path, const std::string& bytes,
                                  WriteMode mode) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
  switch (mode) {
    case WriteMode::Replace:
      flags |= O_TRUNC;
      break;
    case WriteMode::Append:
      flags |= O_APPEND;
      break;
    case WriteMode::CreateNew:
      flags |= O_EXCL;
      break;
  }
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return systemError(errno, "Cannot open", path);
  PosixWritableFile file(fd, path);
  std::span<const std::uint8_t> content(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                        bytes.size());
  if (Status written = file.write(content); !written) return written;
  return file.close();
}

Result<std::unique_ptr<ReadableFile>> PosixFileSystem::openForReading(const std::string& path) {
  Result<OpenedFile> opened = openRegularFile(path, O_RDONLY);
  if (!opened) return opened.error();
  // A file opened for reading only is measured once, by the opening.
  return std::unique_ptr<ReadableFile>(
      std::make_unique<PosixReadableFile>(opened.value().descriptor, path, opened.value().size));
}

Result<std::unique_ptr<UpdatableFile>> PosixFileSystem::openForUpdate(const std::string& path) {
  Result<OpenedFile> opened = openRegularFile(path, O_RDWR);
  if (!opened) return opened.error();
  return std::unique_ptr<UpdatableFile>(
      std::make_unique<PosixUpdatableFile>(opened.value().descriptor, path));
}

Result<std::unique_ptr<WritableFile>> PosixFileSystem::createNewFile(const std::string& path,
                                                                     unsigned permissions) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return systemError(errno, "Cannot create", path);
  auto file = std::make_unique<PosixWritableFile>(fd, path);
  // Held while the file is open: removeIfAbandoned() of another program
  // then leaves it alone.
  (void)::flock(fd, LOCK_EX | LOCK_NB);
  // The umask must not change the bits asked for: they are usually another
  // file's, which this one is to replace.
  if (::fchmod(fd, static_cast<mode_t>(permissions & 07777)) != 0) {
    int error = errno;
    file.reset();
    ::unlink(path.c_str());
    return systemError(error, "Cannot set the permissions of", path);
  }
  return std::unique_ptr<WritableFile>(std::move(file));
}

Status PosixFileSystem::replaceFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return systemError(errno, "Cannot replace", to);
  return {};
}

Result<unsigned> PosixFileSystem::permissions(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  return static_cast<unsigned>(info.st_mode & 07777);
}

Result<std::string> PosixFileSystem::resolvedPath(const std::string& path) {
  // realpath() would stop at the first missing folder and call the path
  // missing; the system calls refuse it for its length.
  if (path.size() >= PATH_MAX) return systemError(ENAMETOOLONG, "Cannot resolve", path);
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) return systemError(errno, "Cannot resolve", path);
  return std::string(resolved.get());
}

namespace {

/// Copies every extended attribute of `from` to `to`. Attributes the target
/// file system or the user's rights do not allow (ENOTSUP, EPERM) are left
/// out rather than failing the save.
Status copyExtendedAttributes(const std::string& from, const std::string& to) {
  ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size < 0) {
    if (errno == ENOTSUP) return {};
    return systemError(errno, "Cannot list the attributes of", from);
  }
  std::vector<char> names(static_cast<std::size_t>(size));
  size = ::listxattr(from.c_str(), names.data(), names.size());
  if (size < 0) return systemError(errno, "Cannot list the attributes of", from);
  for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
    const char* name = names.data() + at;
    at += std::strlen(name) + 1;
    const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
    if (length < 0) return systemError(errno, "Cannot read the attributes of", from);
    std::vector<char> value(static_cast<std::size_t>(length));
    if (::getxattr(from.c_str(), name, value.data(), value.size()) < 0) {
      return systemError(errno, "Cannot read the attributes of", from);
    }
    if (::setxattr(to.c_str(), name, value.data(), value.size(), 0) != 0 && errno != ENOTSUP &&
        errno != EPERM) {
      return systemError(errno, "Cannot set the attributes of", to);
    }
  }
  return {};
}

}  // namespace

Status PosixFileSystem::copyMetadata(const std::string& from, const std::string& to) {
  struct stat original {};
  if (::stat(from.c_str(), &original) != 0) return systemError(errno, "Cannot examine", from);
  struct stat copy {};
  if (::stat(to.c_str(), &copy) != 0) return systemError(errno, "Cannot examine", to);
  bool ownerKept = copy.st_uid == original.st_uid;
  bool groupKept = copy.st_gid == original.st_gid;
  if (!ownerKept || !groupKept) {
    // Root keeps any owner; a user keeps a group they belong to.
    if (::chown(to.c_str(), original.st_uid, original.st_gid) == 0) {
      ownerKept = groupKept = true;
    } else if (!groupKept && ::chown(to.c_str(), static_cast<uid_t>(-1), original.st_gid) == 0) {
      groupKept = true;
    }
  }
  if (Status attributes = copyExtendedAttributes(from, to); !attributes) return attributes;
  mode_t mode = original.st_mode & 07777;
  if (!ownerKept) mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
  if (!groupKept) mode &= ~static_cast<mode_t>(S_ISGID);
  // Set last: a change of owner clears the setuid and setgid bits.
  if (::chmod(to.c_str(), mode) != 0)
    return systemError(errno, "Cannot set the permissions of", to);
  return {};
}

Result<FileIdentity> PosixFileSystem::identity(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

Result<FileDetails> PosixFileSystem::details(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return systemError(errno, "Cannot examine", path);
  return FileDetails{static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtime)};
}

std::size_t PosixFileSystem::openFilesAllowed() const {
  // The other three quarters stay for the history, the folders and whatever
  // else the program opens.
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 256;
  const rlim_t soft = limit.rlim_cur == RLIM_INFINITY ? 65536 : limit.rlim_cur;
  return std::clamp<std::size_t>(static_cast<std::size_t>(soft / 4), 16, 4096);
}

void allowManyOpenFiles() {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return;
  const rlim_t wanted = std::min<rlim_t>(limit.rlim_max, 65536);
  if (wanted <= limit.rlim_cur) return;
  limit.rlim_cur = wanted;
  (void)::setrlimit(RLIMIT_NOFILE, &limit);
}

Status PosixFileSystem::syncFileSystemOf(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return systemError(errno, "Cannot open", path);
  if (::syncfs(fd.get()) != 0) return systemError(errno, "Cannot flush the file system of", path);
  return {};
}

Status PosixFileSystem::syncDirectoryOf(const std::string& path) {
  const std::string folder = folderOf(path);
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return systemError(errno, "Cannot open folder", folder);
  // Some file systems cannot flush a folder (EINVAL): their renames are
  // as durable as they get.
  if (::fsync(fd.get()) != 0 && errno != EINVAL) {
    return systemError(errno, "Cannot flush folder", folder);
  }
  return {};
}

Result<std::optional<std::string>> PosixFileSystem::takeIfAbandoned(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() < 0) return systemError(errno, "Cannot open", path);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return systemError(errno, "Cannot examine", path);
  // Only our own: a file another user put here must not steer this program.
  if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) return std::optional<std::string>();
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return std::optional<std::string>();
    return systemError(errno, "Cannot lock", path);
  }
  std::string content;
  std::array<char, 65536> buffer{};
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return systemError(errno, "Cannot read", path);
    }
    if (got == 0) break;
    content.append(buffer.data(), static_cast<std::size_t>(got));
  }
  if (::unlink(path.c_str()) != 0) return systemError(errno, "Cannot delete", path);
  return std::optional<std::string>(std::move(content));
}

Result<bool> PosixFileSystem::removeIfAbandoned(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() < 0) return systemError(errno, "Cannot open", path);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return systemError(errno, "Cannot examine", path);
  // Only our own leftovers: another user's are theirs to clear.
  if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) return false;
  // The program writing it holds the lock; one that was killed holds none.
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return false;
    return systemError(errno, "Cannot lock", path);
  }
  if (::unlink(path.c_str()) != 0) return systemError(errno, "Cannot delete", path);
  return true;
}

}  // namespace brindle::platform::posix
