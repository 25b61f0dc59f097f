// A single rename (one file, possibly into another folder) as a batch of
// the history.
#pragma once

#include <string>

#include "history/History.h"

namespace brindle::history {

/// The path of `name` of a recorded rename: in its folder, or the name
/// itself when the change has no folder (a move between folders records
/// whole paths).
std::string pathOf(const RenameChange& change, const std::string& name);

/// Records the rename of `oldPath` to `newPath` as a batch named `command`
/// (none when `history` is null), renames without replacing, and closes the
/// batch. A batch that cannot be recorded renames nothing.
platform::Status recordedRename(History* history, platform::FileSystem& fileSystem,
                                const std::string& command, const std::string& oldPath,
                                const std::string& newPath);

}  // namespace brindle::history
