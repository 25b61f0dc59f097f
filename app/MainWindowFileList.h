// The main window seen through ui::FileListHost: its file list, path box,
// progress bar and re-read, for the file commands and the list output.
#pragma once

#include "ui/core/FileListHost.h"

namespace brindle::app {

class frmmainbrindle;

/// Reads and drives the controls of `window`; lives as long as one command.
class MainWindowFileList : public ui::FileListHost {
 public:
  explicit MainWindowFileList(frmmainbrindle& window) : m_window(window) {}

  std::string currentDirectory() const override;
  /// The path box's text in the system's encoding of file names; the
  /// current directory's own bytes while the box shows that directory.
  std::string pathBoxText() const override;
  int entryCount() const override;
  std::string entryName(int index) const override;
  std::vector<bool> selectionFlags() const override;
  std::string currentName() const override;
  void setProgressMaximum(int maximum) override;
  void setProgressValue(int value) override;
  void rereadFileList() override;

 private:
  frmmainbrindle& m_window;
};

}  // namespace brindle::app
