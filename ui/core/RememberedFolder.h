// The folder the main window showed when the program last ended, so the next
// run starts there.
#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/Settings.h"

namespace brindle::ui {

/// The remembered folder when it is still a folder, else `fallback`.
std::string startFolder(platform::Settings& settings, platform::FileSystem& fileSystem,
                        const std::string& fallback);
/// Remembers `folder` for the next run.
void rememberFolder(platform::Settings& settings, const std::string& folder);

}  // namespace brindle::ui
