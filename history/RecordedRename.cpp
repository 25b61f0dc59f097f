// One rename recorded before it is made.
#include "history/RecordedRename.h"

namespace brindle::history {

namespace {

/// The folder part of `path` (without the last separator) and the name.
std::pair<std::string, std::string> splitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

std::string pathOf(const RenameChange& change, const std::string& name) {
  if (change.directory.empty()) return name;
  if (change.directory.back() == '/') return change.directory + name;
  return change.directory + '/' + name;
}

platform::Status recordedRename(History* history, platform::FileSystem& fileSystem,
                                const std::string& command, const std::string& oldPath,
                                const std::string& newPath) {
  if (!history) return fileSystem.renameNoReplace(oldPath, newPath);
  auto [oldFolder, oldName] = splitPath(oldPath);
  auto [newFolder, newName] = splitPath(newPath);
  RenameChange change{oldFolder, oldName, {}, newName};
  if (oldFolder != newFolder || oldName.empty() || newName.empty()) {
    change = {{}, oldPath, {}, newPath};
  }
  platform::Result<BatchId> batch = history->beginBatch(command, {}, {change});
  if (!batch) {
    return platform::Error{batch.error().code,
                           "the history could not record the rename: " + batch.error().message};
  }
  platform::Status status = fileSystem.renameNoReplace(oldPath, newPath);
  (void)history->closeBatch(batch.value(), BatchState::Done);
  return status;
}

}  // namespace brindle::history
