// brindle-cli-full: every subcommand of brindle-cli, rename included (Qt
// Core), with the help and the usage errors. brindle-cli starts it for the
// command lines it does not run itself; it is not installed on PATH.
#include <clocale>
#include <iostream>

#include "cli/Cli.h"
#include "platform/posix/PosixFileSystem.h"

int main(int argc, char** argv) {
  // Sizes are written with the decimal separator of the user's locale.
  std::setlocale(LC_ALL, "");
  // A save of many files keeps the new files open until one flush covers
  // them all.
  brindle::platform::posix::allowManyOpenFiles();
  return brindle::cli::run(argc, argv, std::cout, std::cerr);
}
