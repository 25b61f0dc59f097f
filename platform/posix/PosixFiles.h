// Open files of the POSIX file system: a descriptor owner, and the readable
// and writable file handles of the FileSystem interface.
#pragma once

#include <unistd.h>

#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace brindle::platform::posix {

/// Owns a file descriptor and closes it on every path out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return m_fd; }
  /// Gives up ownership without closing.
  void forget() { m_fd = -1; }
  /// Closes now and reports the result: a failed close can mean lost data.
  int release() {
    int result = ::close(m_fd);
    m_fd = -1;
    return result;
  }

 private:
  int m_fd;
};

class PosixReadableFile : public ReadableFile {
 public:
  /// `knownSize`: the length measured when the file was opened for reading
  /// only, given back by size() without asking the system again.
  PosixReadableFile(int fd, std::string path, std::optional<std::uint64_t> knownSize = {})
      : m_fd(fd), m_path(std::move(path)), m_knownSize(knownSize) {}
  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override;
  Result<std::uint64_t> size() override;
  int descriptor() const { return m_fd.get(); }
  /// Closes now and reports the result.
  Status close();

 private:
  FileDescriptor m_fd;
  std::string m_path;
  std::optional<std::uint64_t> m_knownSize;
};

class PosixUpdatableFile : public UpdatableFile {
 public:
  PosixUpdatableFile(int fd, std::string path) : m_reader(fd, path), m_path(std::move(path)) {}
  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    return m_reader.readAt(offset, buffer);
  }
  Result<std::uint64_t> size() override { return m_reader.size(); }
  Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override;
  Status setLength(std::uint64_t length) override;
  Status sync() override;
  void startWritingBack() override;
  Status close() override;

 private:
  PosixReadableFile m_reader;
  std::string m_path;
};

class PosixWritableFile : public WritableFile {
 public:
  PosixWritableFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
  Status write(std::span<const std::uint8_t> bytes) override;
  Status copyFrom(ReadableFile& source, std::uint64_t offset, std::uint64_t length) override;
  Status sync() override;
  void startWritingBack() override;
  Status close() override;

 private:
  /// Copies with the kernel's copy_file_range; false when the kernel cannot
  /// do it for these files, so the caller falls back to reading and writing.
  bool kernelCopy(int sourceFd, std::uint64_t offset, std::uint64_t length, Status& status);

  FileDescriptor m_fd;
  std::string m_path;
};

}  // namespace brindle::platform::posix
