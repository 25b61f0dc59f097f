#include "app/program/InstallEditCommands.h"

#include <QAction>
#include <QMenu>

#include "app/frmmainbrindle.h"
#include "app/program/InstallTagEditorCommands.h"
#include "tageditor/frmID3Info.h"
#include "ui/history/UndoCommands.h"

namespace brindle::app {

EditCommands::EditCommands(frmmainbrindle& window, ui::ObservedHistory* history,
                           tageditor::TagEditorCommands& tagEditors)
    : QObject(&window), m_window(window), m_history(history), m_tagEditors(tagEditors) {
  setObjectName("editCommands");
  window.setCommand(MenuCommand::mnuundo, [this] { undoNewest(); });
  window.setCommand(MenuCommand::mnuhistory, [this] { (void)showHistoryWindow(); });
  if (QAction* undo = window.menuItem(objectNameOf(MenuCommand::mnuundo))) {
    undo->setShortcut(QKeySequence::Undo);
  }
  if (QMenu* edit = window.menu("edit")) {
    connect(edit, &QMenu::aboutToShow, this, [this] { refreshUndoItems(); });
  }
  connect(&tagEditors, &tageditor::TagEditorCommands::tagEditorCreated, this,
          [this](tageditor::frmID3Info& editor) { wireTagEditor(editor); });
  if (tageditor::frmID3Info* editor = tagEditors.tagEditor()) wireTagEditor(*editor);

  if (m_history) {
    // A batch may close on a worker thread: the captions change on this
    // object's thread.
    m_history->setOnBatchClosed([this] {
      QMetaObject::invokeMethod(
          this, [this] { onBatchClosed(); }, Qt::AutoConnection);
    });
  }
  refreshUndoItems();
}

EditCommands::~EditCommands() {
  if (m_history) m_history->setOnBatchClosed({});
}

void EditCommands::wireTagEditor(tageditor::frmID3Info& editor) {
  connect(editor.menuItem("mnuundo"), &QAction::triggered, this, [this] { undoNewest(); });
  connect(editor.menuItem("mnuhistory"), &QAction::triggered, this,
          [this] { (void)showHistoryWindow(); });
  connect(&editor.editMenu(), &QMenu::aboutToShow, this, [this] { refreshUndoItems(); });
  setUndoItem(*editor.menuItem("mnuundo"));
}

void EditCommands::setUndoItem(QAction& item) const {
  const ui::UndoMenuState state = ui::undoMenuState(m_history);
  item.setText(QString::fromStdString(state.caption));
  item.setEnabled(state.enabled);
}

void EditCommands::onBatchClosed() {
  refreshUndoItems();
  if (m_historyWindow) m_historyWindow->refresh();
}

void EditCommands::refreshUndoItems() {
  if (QAction* undo = m_window.menuItem(objectNameOf(MenuCommand::mnuundo))) setUndoItem(*undo);
  if (tageditor::frmID3Info* editor = m_tagEditors.tagEditor()) {
    setUndoItem(*editor->menuItem("mnuundo"));
  }
}

bool EditCommands::undoAllowed() const {
  const tageditor::frmID3Info* editor = m_tagEditors.tagEditor();
  return !editor || !editor->commandRunning();
}

void EditCommands::undoNewest() {
  if (!undoAllowed()) return;
  platform::Platform& platform = m_window.platform();
  if (ui::undoNewestBatch(m_history, platform.fileSystem, platform.dialogs)) afterUndo();
  refreshUndoItems();
}

ui::HistoryWindow* EditCommands::showHistoryWindow() {
  platform::Platform& platform = m_window.platform();
  if (!m_history) {
    platform.dialogs.message("The history is off: changes are not recorded.");
    return nullptr;
  }
  if (!m_historyWindow) {
    m_historyWindow =
        new ui::HistoryWindow(*m_history, platform.fileSystem, platform.dialogs, &m_window);
    m_historyWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_historyWindow->setUndoAllowed([this] { return undoAllowed(); });
    m_historyWindow->setOnUndone([this] {
      afterUndo();
      refreshUndoItems();
    });
  } else {
    m_historyWindow->refresh();
  }
  m_historyWindow->show();
  m_historyWindow->raise();
  m_historyWindow->activateWindow();
  return m_historyWindow;
}

void EditCommands::afterUndo() {
  m_window.rereadFileList();
  if (tageditor::frmID3Info* editor = m_tagEditors.tagEditor()) editor->reloadAfterUndo();
  if (m_historyWindow) m_historyWindow->refresh();
}

EditCommands& installEditCommands(frmmainbrindle& window, ui::ObservedHistory* history,
                                  tageditor::TagEditorCommands& tagEditors) {
  return *new EditCommands(window, history, tagEditors);
}

}  // namespace brindle::app
