#include "ui/core/RememberedFolder.h"

namespace brindle::ui {

namespace {
constexpr const char* kLastFolder = "mainWindow/lastFolder";
}  // namespace

std::string startFolder(platform::Settings& settings, platform::FileSystem& fileSystem,
                        const std::string& fallback) {
  const std::optional<std::string> remembered = settings.value(kLastFolder);
  // A folder removed or unmounted since falls back quietly.
  if (remembered && !remembered->empty() && fileSystem.isDirectory(*remembered)) {
    return *remembered;
  }
  return fallback;
}

void rememberFolder(platform::Settings& settings, const std::string& folder) {
  settings.setValue(kLastFolder, folder);
}

}  // namespace brindle::ui
