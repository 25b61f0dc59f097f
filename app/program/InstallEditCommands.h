// Wires the "Edit" menus of the main window and the tag editor to the
// history: "Undo <command>" (Ctrl+Z) undoes the newest batch, "History..."
// opens the window of every batch. After an undo both windows show what
// changed on the disk.
#pragma once

#include <QObject>
#include <QPointer>

#include "ui/history/HistoryWindow.h"
#include "ui/history/ObservedHistory.h"

class QAction;

namespace brindle::app {
class frmmainbrindle;
}

namespace brindle::tageditor {
class TagEditorCommands;
class frmID3Info;
}  // namespace brindle::tageditor

namespace brindle::app {

class EditCommands : public QObject {
  Q_OBJECT

 public:
  /// Sets the commands of `window`'s "Edit" menu and of every tag editor
  /// `tagEditors` creates; becomes the window's child. `history` (none: the
  /// history is off) must outlive the window; its closing batches refresh
  /// the Undo captions and the history window.
  EditCommands(frmmainbrindle& window, ui::ObservedHistory* history,
               tageditor::TagEditorCommands& tagEditors);
  ~EditCommands() override;

  /// "Undo <command>": undoes the newest batch and tells the result.
  void undoNewest();
  /// "History...": shows the history window (a message when the history
  /// is off, and null then).
  ui::HistoryWindow* showHistoryWindow();
  /// The open history window, else null.
  ui::HistoryWindow* historyWindow() const { return m_historyWindow; }
  /// Sets every Undo item's caption and state from the history.
  void refreshUndoItems();

 private:
  void wireTagEditor(tageditor::frmID3Info& editor);
  void afterUndo();
  /// A batch closed: the Undo captions and an open history window follow.
  void onBatchClosed();
  /// False while the tag editor runs a command: its files are changing.
  bool undoAllowed() const;
  void setUndoItem(QAction& item) const;

  frmmainbrindle& m_window;
  ui::ObservedHistory* m_history;
  tageditor::TagEditorCommands& m_tagEditors;
  QPointer<ui::HistoryWindow> m_historyWindow;
};

/// Sets the "Edit" menu commands (items mnuundo and mnuhistory) of the main
/// window and the tag editors. The returned object belongs to the window.
EditCommands& installEditCommands(frmmainbrindle& window, ui::ObservedHistory* history,
                                  tageditor::TagEditorCommands& tagEditors);

}  // namespace brindle::app
