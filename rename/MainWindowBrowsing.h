// The main window as the rename commands see it: its current directory,
// file list, progress bar and re-read.
#pragma once

#include <string>
#include <vector>

#include "rename/core/BatchWalk.h"

namespace brindle::app {
class frmmainbrindle;
}

namespace brindle::rename {

class MainWindowBrowsing : public BrowsingState, public WalkProgress {
 public:
  explicit MainWindowBrowsing(app::frmmainbrindle& window) : m_window(window) {}

  std::string currentDirectory() const override;
  int entryCount() const override;
  std::string entryName(int index) const override;
  std::vector<bool> selectionFlags() const override;
  std::string currentName() const override;
  void rereadFileList() override;

  /// An empty list shows an empty bar rather than the busy indicator that a
  /// maximum of 0 would show.
  void setProgressMaximum(int maximum) override;
  void setProgressValue(int value) override;

  /// The path box's directory as system bytes: the current directory when the
  /// box shows it, otherwise the box's text.
  std::string pathBoxDirectory() const;
  /// The name box's text as system bytes: the current entry's own bytes when
  /// the box shows that name unchanged.
  std::string nameBoxName() const;

 private:
  app::frmmainbrindle& m_window;
};

}  // namespace brindle::rename
