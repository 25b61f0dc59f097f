// brindle-cli: Brindle's operations for scripts and the command line.
//
// This program links no Qt, so that it starts quickly: scripts run it once
// per file. It runs the subcommands that need no Qt itself and hands any
// other command line (rename, --help, no or an unknown subcommand), with the
// same arguments, to the full program brindle-cli-full, which has every
// subcommand and prints the help and the usage errors.
#include <limits.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <iostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/Cli.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

using brindle::cli::Command;

/// Whether this program runs the command line itself: its first argument
/// names one of the subcommands in `table`, or it is --version alone.
bool runsItself(int argc, char** argv, std::span<const Command> table) {
  if (argc < 2) return false;
  const std::string_view first = argv[1];
  if (argc == 2 && first == "--version") return true;
  for (const Command& command : table) {
    if (command.name == first) return true;
  }
  return false;
}

/// Replaces this process with the full program, given `argv` unchanged: the
/// one beside this program (the build tree), else the one in the libexec
/// folder relative to it (an installation). Returns only when neither can
/// be started, after saying why.
int runFullProgram(char** argv) {
  std::array<char, PATH_MAX> self{};
  const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
  std::string path = "/proc/self/exe";
  if (length > 0) {
    std::string folder(self.data(), static_cast<std::size_t>(length));
    folder.erase(folder.rfind('/') + 1);
    path = folder + BRINDLE_CLI_FULL_NAME;
    ::execv(path.c_str(), argv);
    if (errno == ENOENT) {
      path = folder + BRINDLE_CLI_FULL_FROM_BIN "/" BRINDLE_CLI_FULL_NAME;
      ::execv(path.c_str(), argv);
    }
  }
  const int code = errno;
  std::cerr << "brindle-cli: cannot start the full program \"" << path
            << "\": " << std::strerror(code) << '\n';
  return brindle::cli::kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::span<const Command> table = brindle::cli::baseCommands();
  if (!runsItself(argc, argv, table)) return runFullProgram(argv);
  // Sizes are written with the decimal separator of the user's locale.
  std::setlocale(LC_ALL, "");
  // A save of many files keeps the new files open until one flush covers
  // them all.
  brindle::platform::posix::allowManyOpenFiles();
  return brindle::cli::run(argc, argv, std::cout, std::cerr, table);
}
