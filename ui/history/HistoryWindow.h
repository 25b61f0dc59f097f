// The "History..." window: every recorded batch, newest first, with its
// time, command, number of files and state; "Undo" undoes the chosen one.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "history/History.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "ui/history/UndoCommands.h"

class QPushButton;
class QTreeWidget;

namespace brindle::ui {

class HistoryWindow : public QDialog {
  Q_OBJECT

 public:
  /// Lists the batches of `history`; `history`, `fileSystem` and `dialogs`
  /// must outlive the window. Object names: the window "frmHistory", the
  /// list "lstBatches", the buttons "cmdUndo" and "cmdClose".
  HistoryWindow(history::History& history, platform::FileSystem& fileSystem,
                platform::Dialogs& dialogs, QWidget* parent = nullptr);

  /// Called after the window undid a batch, so other windows can show
  /// what changed on the disk.
  void setOnUndone(std::function<void()> onUndone) { m_onUndone = std::move(onUndone); }
  /// Asked before an undo: false (a command is changing files) makes the
  /// Undo button do nothing.
  void setUndoAllowed(std::function<bool()> undoAllowed) { m_undoAllowed = std::move(undoAllowed); }

  /// Reads the batches again, keeping the chosen one chosen where it can.
  void refresh();

  QTreeWidget& batchList() { return *m_list; }
  QPushButton& undoButton() { return *m_undo; }
  /// The rows on screen, in list order.
  const std::vector<HistoryRow>& rows() const { return m_rows; }
  /// Chooses row `index` of the list.
  void chooseRow(int index);

 private:
  void undoChosen();
  void updateUndoButton();

  history::History& m_history;
  platform::FileSystem& m_fileSystem;
  platform::Dialogs& m_dialogs;
  std::function<void()> m_onUndone;
  std::function<bool()> m_undoAllowed;
  std::vector<HistoryRow> m_rows;
  QTreeWidget* m_list = nullptr;
  QPushButton* m_undo = nullptr;
};

}  // namespace brindle::ui
