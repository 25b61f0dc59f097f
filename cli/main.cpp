// brindle-cli: Brindle's operations for scripts and the command line.
#include <clocale>
#include <iostream>

#include "cli/Cli.h"
#include "cli/CliHistory.h"

int main(int argc, char** argv) {
  // Sizes are written with the decimal separator of the user's locale.
  std::setlocale(LC_ALL, "");
  // Ctrl-C and SIGTERM let the file being changed finish its step.
  brindle::cli::installStopHandlers();
  return brindle::cli::run(argc, argv, std::cout, std::cerr);
}
