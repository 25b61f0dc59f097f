// Edit and delete commands, through the platform's shell, dialogs and file
// system only.
#include "app/commands/FileCommands.h"

#include <cstddef>

namespace brindle::app {

namespace {

/// Deletes the file: into the desktop's trash, from where it can be
/// restored; for good only where no trash takes it.
bool deleteFile(platform::Platform& platform, const std::string& path) {
  if (platform.shell.moveToTrash(path)) return true;
  return platform.fileSystem.remove(path).ok();
}

}  // namespace

using platform::Answer;
using platform::Buttons;
using platform::Icon;

void editCurrentEntry(platform::Platform& platform, ui::FileListHost& list) {
  const std::string name = list.currentName();
  // Without a current entry there is no file to edit, only the folder.
  if (name.empty()) return;
  // The command promises no report: an editor that cannot start is ignored.
  (void)platform.shell.openInTextEditor(platform::entryPath(list.currentDirectory(), name));
}

void deleteCurrentEntry(platform::Platform& platform, ui::FileListHost& list) {
  const std::string name = list.currentName();
  if (name.empty()) return;
  const std::string path = platform::entryPath(list.currentDirectory(), name);
  if (platform.dialogs.message("Delete: " + path, Buttons::YesNo, Icon::None, "Delete") !=
      Answer::Yes) {
    return;
  }
  if (!deleteFile(platform, path)) return;
  list.rereadFileList();
}

void deleteSelection(platform::Platform& platform, ui::FileListHost& list) {
  if (platform.dialogs.message("Delete Selected Files?", Buttons::YesNo, Icon::Critical) !=
      Answer::Yes) {
    return;
  }
  const std::string directory = list.currentDirectory();
  const std::vector<bool> selected = list.selectionFlags();
  if (!selected.empty()) list.setProgressMaximum(static_cast<int>(selected.size()));
  for (std::size_t index = 0; index < selected.size(); ++index) {
    if (!selected[index]) continue;
    const int entry = static_cast<int>(index);
    list.setProgressValue(entry);
    if (!deleteFile(platform, platform::entryPath(directory, list.entryName(entry)))) {
      platform.dialogs.message("Error deleting Files!");
      return;
    }
  }
  list.rereadFileList();
  list.setProgressValue(0);
}

}  // namespace brindle::app
