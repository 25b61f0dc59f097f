// brindle-cli: Brindle's operations for scripts and the command line.
#include <clocale>
#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  // Sizes are written with the decimal separator of the user's locale.
  std::setlocale(LC_ALL, "");
  return brindle::cli::run(argc, argv, std::cout, std::cerr);
}
