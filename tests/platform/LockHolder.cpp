// A helper process for the instance-lock tests: takes the lock file given as
// its argument, prints "locked" (or "busy" when another instance holds it)
// and keeps the lock until its standard input closes.
#include <QCoreApplication>
#include <iostream>
#include <string>

#include "platform/qt/QtSystem.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: brindle_lock_holder <lock file>\n";
    return 2;
  }
  brindle::platform::qt::LockFileInstanceGuard guard(argv[1]);
  std::cout << (guard.anotherInstanceRunning() ? "busy" : "locked") << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
