#include "ui/core/PathBar.h"

#include "platform/Platform.h"
#include "ui/core/FileListing.h"

namespace brindle::ui {

std::vector<std::string> folderCompletions(platform::FileSystem& fileSystem,
                                           const std::string& typed) {
  if (typed.empty() || typed.front() != '/') return {};
  const std::size_t slash = typed.find_last_of('/');
  const std::string folder = slash == 0 ? "/" : typed.substr(0, slash);
  const std::string start = typed.substr(slash + 1);
  platform::Result<std::vector<std::string>> subfolders = readSubdirectories(fileSystem, folder);
  if (!subfolders) return {};
  std::vector<std::string> completions;
  for (const std::string& name : subfolders.value()) {
    if (name.starts_with(start)) completions.push_back(platform::entryPath(folder, name));
  }
  return completions;
}

std::string selectionSummary(int selected, int listed) {
  return std::to_string(selected) + " of " + std::to_string(listed) +
         (listed == 1 ? " file selected" : " files selected");
}

}  // namespace brindle::ui
