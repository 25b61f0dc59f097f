#include "platform/testing/Recorders.h"

#include <cerrno>
#include <cstdio>

#include "platform/Platform.h"

namespace brindle::platform::testing {

Status RecordingPrinter::step(Step step) {
  if (m_failAt && *m_failAt == step) return Error{5, "printer failure (scripted)"};
  return {};
}

bool RecordingPrinter::choosePrinter() {
  ++m_chooseCalls;
  // A failing choice is one the user cancelled.
  if (!step(Step::ChoosePrinter)) return false;
  return m_accepted;
}

Status RecordingPrinter::setFontSize(int points) {
  Status status = step(Step::SetFontSize);
  if (status) m_fontSize = points;
  return status;
}

Status RecordingPrinter::printLine(const std::string& line) {
  Status status = step(Step::PrintLine);
  if (status) m_lines.push_back(line);
  return status;
}

Status RecordingPrinter::endDocument() {
  Status status = step(Step::EndDocument);
  if (status) {
    m_documents.push_back(m_lines);
    m_lines.clear();
  }
  return status;
}

Status RecordingShell::openWithAssociatedProgram(const std::string& path) {
  m_opened.push_back(path);
  if (m_failure) return *m_failure;
  return {};
}

Status RecordingShell::openInTextEditor(const std::string& path) {
  m_edited.push_back(path);
  if (m_failure) return *m_failure;
  return {};
}

Status RecordingShell::moveToTrash(const std::string& path) {
  m_trashed.push_back(path);
  if (m_failure) return *m_failure;
  if (m_trashFolder.empty()) return Error{ENOTSUP, "no trash on this system (scripted)"};
  const std::string name = path.substr(path.find_last_of('/') + 1);
  if (std::rename(path.c_str(), entryPath(m_trashFolder, name).c_str()) != 0) {
    return Error{errno, "cannot move the file into the trash"};
  }
  return {};
}

}  // namespace brindle::platform::testing
