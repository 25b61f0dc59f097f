// Helper of the instance-lock test: takes the lock file given, prints "locked" or "busy", holds it.
#include <QCoreApplication>
#include <iostream>
#include <limits>

#include "platform/qt/QtSystem.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  brindle::platform::qt::LockFileInstanceGuard guard(argv[1]);
  std::cout << (guard.anotherInstanceRunning() ? "busy" : "locked") << std::endl;
  std::cin.ignore(std::numeric_limits<std::streamsize>::max());  // until stdin closes
  return 0;
}
