// Every platform service as a test double, over the real POSIX file system,
// bundled for tests of windows and commands.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"

namespace brindle::platform::testing {

struct TestPlatform {
  explicit TestPlatform(std::string programFolder = {}) : folder(std::move(programFolder)) {}

  posix::PosixFileSystem realFileSystem;
  ScriptedDialogs dialogs;
  RecordingFileSystem fileSystem{realFileSystem};
  RecordingPrinter printer;
  RecordingShell shell;
  FakeInstanceGuard instanceGuard;
  FixedClock clock;
  FixedProgramFolder folder;
  MemorySettings settings;

  Platform platform() {
    return Platform{dialogs, fileSystem, printer, shell, instanceGuard, clock, folder, settings};
  }
};

}  // namespace brindle::platform::testing
