// What the file commands and the list output need of the main window: its
// file list, the path box, the progress bar and the list's re-read. The
// window hands itself over through this interface, so the commands can be
// tested against a plain stand-in as well as against the real window.
#pragma once

#include <string>
#include <vector>

namespace brindle::ui {

class FileListHost {
 public:
  virtual ~FileListHost() = default;

  /// The current directory path (system bytes).
  virtual std::string currentDirectory() const = 0;
  /// The text of the path box, as system bytes.
  virtual std::string pathBoxText() const = 0;

  /// Number of entries in the file list.
  virtual int entryCount() const = 0;
  /// The name of entry `index` (0 to entryCount() - 1), as system bytes.
  virtual std::string entryName(int index) const = 0;
  /// One flag per entry, true for the selected ones, read in one pass.
  virtual std::vector<bool> selectionFlags() const = 0;
  /// The name of the entry with the focus; empty when there is none.
  virtual std::string currentName() const = 0;

  virtual void setProgressMaximum(int maximum) = 0;
  virtual void setProgressValue(int value) = 0;

  /// Re-reads the directory into the list and shows the new entry count.
  virtual void rereadFileList() = 0;
};

}  // namespace brindle::ui
