// brindle-cli: Brindle's operations for scripts and the command line.
#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  return brindle::cli::run(argc, argv, std::cout, std::cerr);
}
