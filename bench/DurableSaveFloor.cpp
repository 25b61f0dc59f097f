// The floor of a durable title save, as a program of its own so that it is
// timed like `brindle-cli write` (process start included). It does only the
// file-system work that a save with the batch rules must do, and no tag work:
//
// - per file: one open, the tag header and tag read, the 128-byte read at the
//   end, and
//   - when the new frames fit in the old tag's space, the tag region and the
//     version 1 block written in place;
//   - when they do not, a new file beside the old one with the new tag and the
//     audio copied (copy_file_range), renamed over the old file once the new
//     files are on the disk;
// - one flush of the file system before those renames (no file is replaced by
//   one whose bytes are not yet on the disk) and one at the end.
//
// The history's own writes are left out: this is a lower bound.
//
// A file's frames grow by GROWTH bytes plus the difference between the new
// title frame (UTF-16 with byte-order mark, as a title outside Latin-1 is
// written) and the old one. Its padding, the zero bytes after the last frame,
// is what decides whether the new frames fit.
//
// Usage: durable_save_floor GROWTH TITLE FILE...
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

long syncsafe(const unsigned char* bytes) {
  return (long(bytes[0]) << 21) | (long(bytes[1]) << 14) | (long(bytes[2]) << 7) | long(bytes[3]);
}

long plain(const unsigned char* bytes) {
  return (long(bytes[0]) << 24) | (long(bytes[1]) << 16) | (long(bytes[2]) << 8) | long(bytes[3]);
}

/// The size of the frames and of the title frame in a version 2.3 tag body.
struct Frames {
  long used = 0;
  long title = 0;
};

Frames measure(const std::vector<unsigned char>& body) {
  Frames frames;
  long at = 0;
  const long size = long(body.size());
  while (at + 10 <= size && body[at] != 0) {
    const long frame = 10 + plain(&body[at + 4]);
    if (std::memcmp(&body[at], "TIT2", 4) == 0) frames.title = frame;
    at += frame;
  }
  frames.used = at < size ? at : size;
  return frames;
}

/// Characters of a UTF-8 text counted as UTF-16 units (one per character
/// outside the supplementary planes, which the titles here do not use).
long utf16Units(const char* text) {
  long units = 0;
  for (const char* at = text; *at; ++at)
    if ((static_cast<unsigned char>(*at) & 0xC0) != 0x80) ++units;
  return units;
}

struct Replacement {
  std::string fresh;
  std::string old;
  int descriptor;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: durable_save_floor GROWTH TITLE FILE...\n");
    return 2;
  }
  const long growth = std::atol(argv[1]);
  const long newTitle = 10 + 1 + 2 + 2 * utf16Units(argv[2]) + 2;
  std::vector<Replacement> replacements;
  std::vector<unsigned char> body;
  int anyDescriptor = -1;
  int status = 0;
  for (int index = 3; index < argc; ++index) {
    const int fd = ::open(argv[index], O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      status = 1;
      continue;
    }
    struct stat about {};
    unsigned char header[10];
    unsigned char tail[128];
    if (::fstat(fd, &about) != 0 || ::pread(fd, header, 10, 0) != 10 ||
        std::memcmp(header, "ID3", 3) != 0) {
      status = 1;
      ::close(fd);
      continue;
    }
    const long tagSize = syncsafe(header + 6);
    body.resize(std::size_t(tagSize));
    const bool read = ::pread(fd, body.data(), body.size(), 10) == tagSize &&
                      ::pread(fd, tail, 128, about.st_size - 128) == 128;
    if (!read) {
      status = 1;
      ::close(fd);
      continue;
    }
    const Frames frames = measure(body);
    const long used = frames.used + growth + (newTitle - frames.title);
    if (used <= tagSize) {
      // The region's bytes stand in for the new tag: the same amount is
      // written.
      if (::pwrite(fd, header, 10, 0) != 10 ||
          ::pwrite(fd, body.data(), body.size(), 10) != tagSize ||
          ::pwrite(fd, tail, 128, about.st_size - 128) != 128)
        status = 1;
      if (anyDescriptor < 0)
        anyDescriptor = fd;
      else
        ::close(fd);
      continue;
    }
    const std::string fresh = std::string(argv[index]) + ".new";
    const int out = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, about.st_mode);
    if (out < 0) {
      status = 1;
      ::close(fd);
      continue;
    }
    body.resize(std::size_t(used + 1024));
    bool written = ::pwrite(out, header, 10, 0) == 10 &&
                   ::pwrite(out, body.data(), body.size(), 10) == long(body.size());
    loff_t from = 10 + tagSize;
    loff_t to = 10 + long(body.size());
    const long rest = about.st_size - from;
    written = written && ::copy_file_range(fd, &from, out, &to, std::size_t(rest), 0) == rest;
    if (!written) status = 1;
    ::close(fd);
    replacements.push_back({fresh, argv[index], out});
  }
  if (anyDescriptor < 0 && !replacements.empty()) anyDescriptor = replacements.front().descriptor;
  if (anyDescriptor >= 0 && !replacements.empty()) ::syncfs(anyDescriptor);
  for (const Replacement& replacement : replacements) {
    if (::rename(replacement.fresh.c_str(), replacement.old.c_str()) != 0) status = 1;
    if (replacement.descriptor != anyDescriptor) ::close(replacement.descriptor);
  }
  if (anyDescriptor >= 0) {
    ::syncfs(anyDescriptor);
    ::close(anyDescriptor);
  }
  return status;
}
