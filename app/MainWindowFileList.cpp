// Forwards each request to the main window's controls.
#include "app/MainWindowFileList.h"

#include <QLineEdit>
#include <QProgressBar>

#include "app/frmmainbrindle.h"
#include "platform/text/FileNameText.h"
#include "ui/FileListBox.h"

namespace brindle::app {

std::string MainWindowFileList::currentDirectory() const {
  return m_window.currentDirectory();
}

std::string MainWindowFileList::pathBoxText() const {
  const std::string& directory = m_window.currentDirectory();
  const QString text = m_window.pathBox().text();
  // The box shows the directory decoded for display; while it still does,
  // its own bytes are used, which a name that is not UTF-8 would not survive.
  return platform::textToFileName(text, directory);
}

int MainWindowFileList::entryCount() const {
  return m_window.fileList().listCount();
}

std::string MainWindowFileList::entryName(int index) const {
  return m_window.fileList().entryName(index);
}

std::vector<bool> MainWindowFileList::selectionFlags() const {
  return m_window.fileList().selectionFlags();
}

std::string MainWindowFileList::currentName() const {
  return m_window.fileList().currentName();
}

void MainWindowFileList::setProgressMaximum(int maximum) {
  m_window.progressBar().setMaximum(maximum);
}

void MainWindowFileList::setProgressValue(int value) {
  m_window.progressBar().setValue(value);
}

void MainWindowFileList::rereadFileList() {
  m_window.rereadFileList();
}

}  // namespace brindle::app
