// The file list of the main window and of the tag editor: the plain files of
// one directory (or those a name filter lets through), in case-insensitive
// name order (or by size or date, with details shown), with extended
// multiple selection. Holds the names as the
// system's bytes and decodes them only for display, so the list stays fast
// on folders of 100,000 files.
#pragma once

#include <QAbstractTableModel>
#include <QTreeView>

#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "ui/core/FileListing.h"

namespace brindle::ui {

/// The files of the list as a model for the view: the names, and with
/// details on their sizes and modification times in two more columns.
class FileNameModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void setFiles(std::vector<ListedFile> files);
  const std::vector<ListedFile>& files() const { return m_files; }
  void setShowsDetails(bool shows);
  bool showsDetails() const { return m_showsDetails; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ListedFile> m_files;
  bool m_showsDetails = false;
};

class FileListBox : public QTreeView {
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

  /// Shows each file's size and modification time in columns of their own
  /// (read with the names at each refresh); a click on a column's header
  /// orders the list by it, a second click reverses the order.
  void setShowsDetails(bool shows);
  /// Orders the list; name order is the default. The selection and the
  /// current entry are cleared, as by a refresh.
  void setOrder(FileOrder order, bool descending = false);
  FileOrder order() const { return m_order; }

  /// Re-reads the directory. On failure the list is emptied and the error
  /// returned. The selection and the current entry are cleared.
  platform::Status refresh();

  int listCount() const { return static_cast<int>(m_model.files().size()); }
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
  FileOrder m_order = FileOrder::Name;
  bool m_descending = false;
};

}  // namespace brindle::ui
