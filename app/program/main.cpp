// The desktop program: builds the real platform services and starts the
// main window in the directory the program was started in.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <brindle/Version.h>

#include "app/frmmainbrindle.h"
#include "app/program/HistoryAtStart.h"
#include "app/program/InstallEditCommands.h"
#include "app/program/InstallRenameCommands.h"
#include "app/program/InstallTagEditorCommands.h"
#include "platform/qt/QtPlatform.h"
#include "ui/core/ContextHelp.h"
#include "ui/history/ObservedHistory.h"

namespace {

/// Without a display the toolkit would abort with a terse message; say what
/// is missing and how to start the program instead.
bool displayAvailable() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (!displayAvailable()) {
    std::fprintf(stderr,
                 "brindle: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                 "Brindle is a desktop program: start it from a desktop session, or under a\n"
                 "virtual display with: xvfb-run brindle\n");
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(brindle::kProductName);
  QApplication::setApplicationVersion(brindle::kVersionText);

  brindle::platform::qt::QtPlatform services;
  brindle::platform::Platform platform = services.platform();
  brindle::ui::ContextHelp help(platform);
  std::error_code error;
  const std::string startDirectory = std::filesystem::current_path(error).string();

  // Outlives the window, whose commands record into it.
  std::unique_ptr<brindle::history::History> history;
  // The same history, telling the "Edit" menus when a batch closes.
  std::unique_ptr<brindle::ui::ObservedHistory> observed;
  brindle::app::frmmainbrindle window(platform, help, error ? "/" : startDirectory);
  services.dialogs.setParent(&window);
  services.printer.setParent(&window);
  // Before any command can change a file, what a crash left half done is
  // put right (and the user told).
  history = brindle::app::openHistoryAtStart(brindle::history::processEnvironment(),
                                             platform.fileSystem, platform.dialogs);
  if (history) observed = std::make_unique<brindle::ui::ObservedHistory>(*history);
  brindle::rename::installRenameCommands(window, observed.get());
  auto& tagEditors = brindle::tageditor::installTagEditorCommands(window, observed.get());
  brindle::app::installEditCommands(window, observed.get(), tagEditors);
  if (!window.startUp()) return 0;
  window.show();
  return QApplication::exec();
}
