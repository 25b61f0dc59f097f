// Wires the rename commands to the main window's menu items and the "Save
// Edited" button, and owns what they keep between runs: the count and start
// of the character edits and the numbered rename dialog.
#pragma once

#include <QObject>
#include <QPointer>

#include "app/MainWindowFileList.h"
#include "rename/core/RenameCommands.h"

namespace brindle::app {
class frmmainbrindle;
}

namespace brindle::rename {

class renameall;

/// The main window as the rename walks see it. An empty list shows an empty
/// progress bar rather than the busy indicator that a maximum of 0 shows.
class RenameListHost : public app::MainWindowFileList {
 public:
  using app::MainWindowFileList::MainWindowFileList;
  void setProgressMaximum(int maximum) override;
};

class RenameCommands : public QObject {
  Q_OBJECT

 public:
  /// Sets the commands of `window`; becomes the window's child.
  /// `history` records the renames (none: the history is off).
  explicit RenameCommands(app::frmmainbrindle& window, history::History* history = nullptr);
  ~RenameCommands() override;

  /// The count and start members of the character edits.
  CharacterEditNumbers& numbers() { return m_numbers; }
  /// The numbered rename dialog while it is loaded, else null.
  renameall* numberedDialog() const;
  /// "Rename All Files": shows the dialog, loading it first if needed.
  renameall& showNumberedDialog();

 private:
  RenameServices services();
  /// The name box's text as system bytes.
  std::string nameBoxName() const;
  void saveEdited();

  app::frmmainbrindle& m_window;
  RenameListHost m_host;
  CharacterEditNumbers m_numbers;
  QPointer<renameall> m_dialog;
  history::History* m_history;
};

/// Sets every rename command of the main window (menu items converup,
/// convertlow, titlecase, removechars, RemoveLeftMost, RemoveRightMost,
/// mmost, renameextension, renameallfiles, renamesingle and the "Save Edited"
/// button Command1), recording their renames in `history` when there is one.
/// The returned object belongs to the window.
RenameCommands& installRenameCommands(app::frmmainbrindle& window,
                                      history::History* history = nullptr);

}  // namespace brindle::rename
