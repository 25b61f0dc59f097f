#include "platform/posix/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "platform/posix/PosixFileSystem.h"

namespace brindle::platform::posix {

namespace {

/// Pieces of this size bound the memory of a copy.
constexpr std::size_t kCopyChunk = 1 << 20;

}  // namespace

Result<std::size_t> PosixReadableFile::readAt(std::uint64_t offset,
                                              std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    ssize_t got = ::pread(m_fd.get(), buffer.data() + done, buffer.size() - done,
                          static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return systemError(errno, "Cannot read", m_path);
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

Result<std::uint64_t> PosixReadableFile::size() {
  if (m_knownSize) return *m_knownSize;
  struct stat info {};
  if (::fstat(m_fd.get(), &info) != 0) return systemError(errno, "Cannot measure", m_path);
  return static_cast<std::uint64_t>(info.st_size);
}

Status PosixReadableFile::close() {
  if (m_fd.get() < 0) return {};
  if (m_fd.release() != 0) return systemError(errno, "Cannot close", m_path);
  return {};
}

Status PosixUpdatableFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::pwrite(m_reader.descriptor(), bytes.data() + done, bytes.size() - done,
                           static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      return systemError(errno, "Cannot write", m_path);
    }
    done += static_cast<std::size_t>(put);
  }
  return {};
}

Status PosixUpdatableFile::setLength(std::uint64_t length) {
  if (::ftruncate(m_reader.descriptor(), static_cast<off_t>(length)) != 0) {
    return systemError(errno, "Cannot change the length of", m_path);
  }
  return {};
}

Status PosixUpdatableFile::sync() {
  if (::fsync(m_reader.descriptor()) != 0) return systemError(errno, "Cannot flush", m_path);
  return {};
}

void PosixUpdatableFile::startWritingBack() {
  // Only a hint: a failure shows in the flush that follows.
  (void)::sync_file_range(m_reader.descriptor(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

Status PosixUpdatableFile::close() {
  return m_reader.close();
}

Status PosixWritableFile::write(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::write(m_fd.get(), bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return systemError(errno, "Cannot write", m_path);
    }
    done += static_cast<std::size_t>(put);
  }
  return {};
}

bool PosixWritableFile::kernelCopy(int sourceFd, std::uint64_t offset, std::uint64_t length,
                                   Status& status) {
  auto sourceOffset = static_cast<off_t>(offset);
  std::uint64_t left = length;
  bool first = true;
  while (left > 0) {
    const std::size_t piece = left < (1u << 30) ? static_cast<std::size_t>(left) : (1u << 30);
    ssize_t copied = ::copy_file_range(sourceFd, &sourceOffset, m_fd.get(), nullptr, piece, 0);
    if (copied < 0) {
      if (errno == EINTR) continue;
      // Nothing copied yet and the kernel refuses these files: copy by hand.
      if (first && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                    errno == EBADF)) {
        return false;
      }
      status = systemError(errno, "Cannot copy into", m_path);
      return true;
    }
    if (copied == 0) {
      status = Error{EIO, "Cannot copy into \"" + m_path + "\": the source ended early"};
      return true;
    }
    first = false;
    left -= static_cast<std::uint64_t>(copied);
  }
  status = {};
  return true;
}

Status PosixWritableFile::copyFrom(ReadableFile& source, std::uint64_t offset,
                                   std::uint64_t length) {
  if (auto* posixSource = dynamic_cast<PosixReadableFile*>(&source)) {
    Status status;
    if (kernelCopy(posixSource->descriptor(), offset, length, status)) return status;
  }
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk)));
  std::uint64_t done = 0;
  while (done < length) {
    const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kCopyChunk));
    Result<std::size_t> got = source.readAt(offset + done, std::span(buffer.data(), piece));
    if (!got) return got.error();
    if (got.value() == 0) {
      return Error{EIO, "Cannot copy into \"" + m_path + "\": the source ended early"};
    }
    if (Status put = write(std::span(buffer.data(), got.value())); !put) return put;
    done += got.value();
  }
  return {};
}

Status PosixWritableFile::sync() {
  if (::fsync(m_fd.get()) != 0) return systemError(errno, "Cannot flush", m_path);
  return {};
}

void PosixWritableFile::startWritingBack() {
  (void)::sync_file_range(m_fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

Status PosixWritableFile::close() {
  if (m_fd.get() < 0) return {};
  if (m_fd.release() != 0) return systemError(errno, "Cannot write", m_path);
  return {};
}

}  // namespace brindle::platform::posix
