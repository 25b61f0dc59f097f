// The directory list of the main window: the folders from the root down to
// the current directory, then the current directory's subfolders. Activating
// an entry (double click, Enter) makes it the current directory.
#pragma once

#include <QListWidget>

#include <string>

#include "platform/FileSystem.h"

namespace brindle::ui {

class DirectoryListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryListBox(platform::FileSystem& fileSystem, QWidget* parent = nullptr);

  /// Moves to `directory`. A folder that cannot be read leaves the list as it
  /// was and returns the error. Emits pathChanged on success.
  platform::Status setPath(const std::string& directory);
  const std::string& path() const { return m_path; }

 signals:
  void pathChanged();
  /// The user clicked an entry without moving there.
  void entryClicked();

 private:
  void activate(QListWidgetItem* item);

  platform::FileSystem& m_fileSystem;
  std::string m_path;
};

}  // namespace brindle::ui
