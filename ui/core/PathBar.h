// The rules of the main window's path bar: which folders a typed path may be
// completed to, and the status line's count of selected files.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brindle::ui {

/// The folders `typed` may be completed to: the subfolders of the folder
/// part of `typed` (up to its last "/") whose names begin with what follows
/// it, as full paths, in the lists' name order. Nothing for a relative path
/// or a folder that cannot be read.
std::vector<std::string> folderCompletions(platform::FileSystem& fileSystem,
                                           const std::string& typed);

/// The status line's note of the selection: "3 of 29 files selected".
std::string selectionSummary(int selected, int listed);

}  // namespace brindle::ui
