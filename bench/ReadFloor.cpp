// The system-call floor of reading tags, as a program of its own so that it
// is timed like `brindle-cli read` (process start included): per file named
// on the command line one open, a 4 KB read at the start, a 10-byte read, a
// 128-byte read at the end and a close. Exits 1 if a file cannot be opened.
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
  char start[4096];
  char header[10];
  char tail[128];
  int status = 0;
  for (int index = 1; index < argc; ++index) {
    const int fd = ::open(argv[index], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      status = 1;
      continue;
    }
    const off_t end = ::lseek(fd, 0, SEEK_END);
    bool read = ::pread(fd, start, sizeof start, 0) >= 0;
    read = ::pread(fd, header, sizeof header, 0) >= 0 && read;
    read = ::pread(fd, tail, sizeof tail, end > 128 ? end - 128 : 0) >= 0 && read;
    if (!read) status = 1;
    ::close(fd);
  }
  return status;
}
