// Helper process of the instance-lock test: takes the lock file given as its argument, prints
// "locked" (or "busy" when another instance holds it) and keeps it until stdin closes.
#include <QCoreApplication>
#include <iostream>
#include <string>

#include "platform/qt/QtSystem.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  brindle::platform::qt::LockFileInstanceGuard guard(argv[1]);
  std::cout << (guard.anotherInstanceRunning() ? "busy" : "locked") << std::endl;
  for (std::string line; std::getline(std::cin, line);) {
  }
  return 0;
}
