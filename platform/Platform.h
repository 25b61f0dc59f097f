// One bundle of every platform service, handed to windows and commands.
#pragma once

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Printer.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace brindle::platform {

struct Platform {
  Dialogs& dialogs;
  FileSystem& fileSystem;
  Printer& printer;
  Shell& shell;
  InstanceGuard& instanceGuard;
  Clock& clock;
  ProgramFolder& programFolder;
  Settings& settings;
};

/// Joins a directory and an entry name with one separator, adding none when
/// the directory already ends with one (a file-system root).
std::string entryPath(const std::string& directory, const std::string& name);

}  // namespace brindle::platform
