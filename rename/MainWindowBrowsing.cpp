// Reads and drives the main window's controls for the rename commands.
#include "rename/MainWindowBrowsing.h"

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>

#include "app/FileListBox.h"
#include "app/frmmainbrindle.h"

namespace brindle::rename {

namespace {

/// The text of a box as system bytes: `bytes` itself when the box shows
/// them, so that names which are not UTF-8 keep their exact bytes.
std::string boxBytes(const QLineEdit& box, const std::string& bytes) {
  if (box.text() == QFile::decodeName(QByteArray::fromStdString(bytes))) return bytes;
  return box.text().toUtf8().toStdString();
}

}  // namespace

std::string MainWindowBrowsing::currentDirectory() const {
  return m_window.currentDirectory();
}

int MainWindowBrowsing::entryCount() const {
  return m_window.fileList().listCount();
}

std::string MainWindowBrowsing::entryName(int index) const {
  return m_window.fileList().entryName(index);
}

std::vector<bool> MainWindowBrowsing::selectionFlags() const {
  return m_window.fileList().selectionFlags();
}

std::string MainWindowBrowsing::currentName() const {
  return m_window.fileList().currentName();
}

void MainWindowBrowsing::rereadFileList() {
  m_window.rereadFileList();
}

void MainWindowBrowsing::setProgressMaximum(int maximum) {
  m_window.progressBar().setMaximum(std::max(maximum, 1));
}

void MainWindowBrowsing::setProgressValue(int value) {
  m_window.progressBar().setValue(value);
}

std::string MainWindowBrowsing::pathBoxDirectory() const {
  return boxBytes(m_window.pathBox(), m_window.currentDirectory());
}

std::string MainWindowBrowsing::nameBoxName() const {
  return boxBytes(m_window.nameBox(), m_window.fileList().currentName());
}

}  // namespace brindle::rename
