// The file list of the main window and of the tag editor: the plain files of
// one directory (or those a name filter lets through), in case-insensitive
// name order, with extended multiple selection. Holds the names as the
// system's bytes and decodes them only for display, so the list stays fast
// on folders of 100,000 files.
#pragma once

#include <QAbstractListModel>
#include <QListView>

#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brindle::ui {

/// The names of the list as a model for the view.
class FileNameModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  void setNames(std::vector<std::string> names);
  const std::vector<std::string>& names() const { return m_names; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<std::string> m_names;
};

class FileListBox : public QListView {
  Q_OBJECT

 public:
  explicit FileListBox(platform::FileSystem& fileSystem, QWidget* parent = nullptr);

  /// The directory the list shows; takes effect with refresh().
  void setPath(std::string directory) { m_path = std::move(directory); }
  const std::string& path() const { return m_path; }

  /// Only names for which `filter` returns true are listed (all names when
  /// it is empty); takes effect with refresh().
  void setNameFilter(std::function<bool(const std::string& name)> filter) {
    m_nameFilter = std::move(filter);
  }

  /// Re-reads the directory. On failure the list is emptied and the error
  /// returned. The selection and the current entry are cleared.
  platform::Status refresh();

  int listCount() const { return static_cast<int>(m_model.names().size()); }
  /// The entry's name; empty for an index outside the list.
  std::string entryName(int index) const;
  bool isSelected(int index) const;
  void setSelected(int index, bool selected);
  void selectAllEntries();
  /// One flag per entry, read from the selection in one pass.
  std::vector<bool> selectionFlags() const;
  int selectedCount() const;

  /// The entry that has the focus, or -1.
  int listIndex() const;
  void setListIndex(int index);
  /// The current entry's name, empty when there is none.
  std::string currentName() const { return entryName(listIndex()); }

 signals:
  /// The user clicked an entry or moved the current entry with the keyboard.
  void entryClicked();
  void entryDoubleClicked();
  /// A key reached the list, before the list acted on it.
  void keyPressed(int key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  platform::FileSystem& m_fileSystem;
  FileNameModel m_model;
  std::string m_path;
  std::function<bool(const std::string&)> m_nameFilter;
};

}  // namespace brindle::ui
