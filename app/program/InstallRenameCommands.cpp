// One line of wiring per command; the commands themselves are in
// rename/core/RenameCommands.cpp.
#include "app/program/InstallRenameCommands.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "app/frmmainbrindle.h"
#include "platform/text/FileNameText.h"
#include "rename/renameall.h"
#include "ui/FileListBox.h"

namespace brindle::rename {

RenameCommands::RenameCommands(app::frmmainbrindle& window, history::History* history)
    : QObject(&window), m_window(window), m_host(window), m_history(history) {
  setObjectName("renameCommands");
  auto caseCommand = [this](CaseKind kind) {
    return [this, kind] { convertCase(services(), m_host, kind); };
  };
  using CountCommand = void (*)(RenameServices, ui::FileListHost&, CharacterEditNumbers&);
  auto countCommand = [this](CountCommand command) {
    return [this, command] { command(services(), m_host, m_numbers); };
  };
  using app::MenuCommand;
  window.setCommand(MenuCommand::convertlow, caseCommand(CaseKind::Lower));
  window.setCommand(MenuCommand::converup, caseCommand(CaseKind::Upper));
  window.setCommand(MenuCommand::titlecase, caseCommand(CaseKind::Title));
  window.setCommand(MenuCommand::removechars, [this] { removeCharacters(services(), m_host); });
  window.setCommand(MenuCommand::RemoveLeftMost, countCommand(removeLeftMostCharacters));
  window.setCommand(MenuCommand::RemoveRightMost, countCommand(removeRightMostCharacters));
  window.setCommand(MenuCommand::mmost, countCommand(removeMiddleMostCharacters));
  window.setCommand(MenuCommand::renameextension, [this] { changeExtensions(services(), m_host); });
  window.setCommand(MenuCommand::renamesingle, [this] { renameSingleFile(services(), m_host); });
  window.setCommand(MenuCommand::renameallfiles, [this] { showNumberedDialog(); });
  window.setCommand(MenuCommand::Command1, [this] { saveEdited(); });
}

RenameCommands::~RenameCommands() {
  // The dialog reads the list host held here: it goes first.
  delete m_dialog.data();
}

void RenameListHost::setProgressMaximum(int maximum) {
  app::MainWindowFileList::setProgressMaximum(std::max(maximum, 1));
}

RenameServices RenameCommands::services() {
  return {m_window.platform().dialogs, m_window.platform().fileSystem, m_history};
}

std::string RenameCommands::nameBoxName() const {
  // The box shows the current entry's name decoded for display; while it
  // still does, the name's own bytes are used, so a name that is not UTF-8
  // is never written back altered.
  const std::string current = m_window.fileList().currentName();
  const QString text = m_window.nameBox().text();
  return platform::textToFileName(text, current);
}

renameall* RenameCommands::numberedDialog() const {
  return m_dialog;
}

renameall& RenameCommands::showNumberedDialog() {
  if (!m_dialog) {
    m_dialog =
        new renameall(m_window.platform(), m_window.contextHelp(), m_host, &m_window, m_history);
  }
  m_dialog->show();
  m_dialog->raise();
  m_dialog->activateWindow();
  return *m_dialog;
}

void RenameCommands::saveEdited() {
  const NameBoxOutcome outcome = renameFromNameBox(services(), m_host, nameBoxName());
  switch (outcome) {
    case NameBoxOutcome::NothingSelected:
      return;
    case NameBoxOutcome::Blank:
    case NameBoxOutcome::SameName:
    case NameBoxOutcome::NotPlainName:
      break;
    case NameBoxOutcome::Declined:
      m_window.nameBox().setText(platform::fileNameToText(m_host.currentName()));
      break;
    case NameBoxOutcome::Renamed:
    case NameBoxOutcome::Failed:
      m_window.fileList().setFocus();
      m_window.nameBox().clear();
      break;
  }
  m_window.saveEditedButton().setEnabled(false);
}

RenameCommands& installRenameCommands(app::frmmainbrindle& window, history::History* history) {
  return *new RenameCommands(window, history);
}

}  // namespace brindle::rename
