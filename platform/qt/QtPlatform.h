// Every platform service of the desktop program, owned in one place and
// handed out as a Platform bundle by the program's main.
#pragma once

#include <QWidget>
#include <string>

#include "platform/Platform.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSettings.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/QtSystem.h"

namespace brindle::platform::qt {

/// The real services: the POSIX file system and the toolkit implementations.
/// Create it after the QApplication and destroy it before; it must outlive
/// every Platform handed out.
struct QtPlatform {
  /// @param dialogParent  window the dialogs are modal to; may be null and
  ///                      set later through dialogs.setParent().
  explicit QtPlatform(QWidget* dialogParent = nullptr);

  posix::PosixFileSystem fileSystem;
  QtDialogs dialogs;
  QtPrinter printer;
  QtShell shell;
  LockFileInstanceGuard instanceGuard;
  SystemClock clock;
  ExecutableProgramFolder programFolder{fileSystem};
  QtSettings settings;

  Platform platform() {
    return Platform{dialogs,       fileSystem, printer,       shell,
                    instanceGuard, clock,      programFolder, settings};
  }
};

}  // namespace brindle::platform::qt
