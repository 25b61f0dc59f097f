// The remaining services of the operating system the program relies on: the
// previous-instance test, the clock and the program's own folder.
#pragma once

#include <string>

namespace brindle::platform {

class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  /// True when another instance of the program is already running. The first
  /// call claims the instance for this process.
  virtual bool anotherInstanceRunning() = 0;
};

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimeOfDay localTimeOfDay() = 0;
};

class ProgramFolder {
 public:
  virtual ~ProgramFolder() = default;
  /// The folder holding the program's data files, without a trailing
  /// separator: beside the binary in a build tree, share/brindle once
  /// installed.
  virtual std::string path() = 0;
};

}  // namespace brindle::platform
