// One line of wiring per item; the window itself is tageditor/frmID3Info.
#include "app/program/InstallTagEditorCommands.h"

#include "app/frmmainbrindle.h"
#include "tageditor/frmID3Info.h"
#include "ui/FileListBox.h"

namespace brindle::tageditor {

TagEditorCommands::TagEditorCommands(app::frmmainbrindle& window, history::History* history)
    : QObject(&window), m_window(window), m_history(history) {
  setObjectName("tagEditorCommands");
  window.setCommand(app::MenuCommand::mnump3, [this] { showTagEditor(); });
  window.setCommand(app::MenuCommand::mnueditmp3tags, [this] { showTagEditor(); });
}

TagEditorCommands::~TagEditorCommands() {
  // The window refers to the remembered values held here: it goes first.
  delete m_editor.data();
}

frmID3Info* TagEditorCommands::tagEditor() const {
  return m_editor;
}

frmID3Info& TagEditorCommands::showTagEditor() {
  if (!m_editor) {
    m_editor = new frmID3Info(m_window.platform(), m_window.contextHelp(), m_remembered,
                              m_window.currentDirectory(), &m_window);
    m_editor->setHistory(m_history);
    // Exit unloads the window: the next opening starts with fresh controls
    // and a fresh component.
    m_editor->setAttribute(Qt::WA_DeleteOnClose);
    emit tagEditorCreated(*m_editor);
  }
  m_editor->show();
  m_editor->raise();
  m_editor->activateWindow();
  // The file chosen in the main window is the one to edit.
  const ui::FileListBox& files = m_window.fileList();
  if (files.listIndex() >= 0 && files.isSelected(files.listIndex())) {
    m_editor->openEntry(m_window.currentDirectory(), files.currentName());
  }
  return *m_editor;
}

TagEditorCommands& installTagEditorCommands(app::frmmainbrindle& window,
                                            history::History* history) {
  return *new TagEditorCommands(window, history);
}

}  // namespace brindle::tageditor
