#include "ui/FileListBox.h"

#include <QKeyEvent>

#include "platform/text/FileNameText.h"
#include "ui/core/FileListing.h"

namespace brindle::ui {

void FileNameModel::setNames(std::vector<std::string> names) {
  beginResetModel();
  m_names = std::move(names);
  endResetModel();
}

int FileNameModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant FileNameModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() ||
      index.row() >= static_cast<int>(m_names.size())) {
    return {};
  }
  return platform::fileNameToText(m_names[static_cast<std::size_t>(index.row())]);
}

FileListBox::FileListBox(platform::FileSystem& fileSystem, QWidget* parent)
    : QListView(parent), m_fileSystem(fileSystem), m_model(this) {
  setModel(&m_model);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Every row has the same height: lets the view lay out 100,000 rows at once.
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QListView::clicked, this, &FileListBox::entryClicked);
  connect(this, &QListView::doubleClicked, this, &FileListBox::entryDoubleClicked);
}

platform::Status FileListBox::refresh() {
  platform::Result<std::vector<std::string>> files = readFileList(m_fileSystem, m_path);
  if (!files) {
    m_model.setNames({});
    return files.error();
  }
  std::vector<std::string>& names = files.value();
  if (m_nameFilter)
    std::erase_if(names, [this](const std::string& name) { return !m_nameFilter(name); });
  m_model.setNames(std::move(names));
  return {};
}

std::string FileListBox::entryName(int index) const {
  if (index < 0 || index >= listCount()) return {};
  return m_model.names()[static_cast<std::size_t>(index)];
}

bool FileListBox::isSelected(int index) const {
  if (index < 0 || index >= listCount()) return false;
  return selectionModel()->isSelected(m_model.index(index));
}

void FileListBox::setSelected(int index, bool selected) {
  if (index < 0 || index >= listCount()) return;
  selectionModel()->select(m_model.index(index),
                           selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void FileListBox::selectAllEntries() {
  if (listCount() == 0) return;
  // One range instead of one selection change per entry.
  QItemSelection all(m_model.index(0), m_model.index(listCount() - 1));
  selectionModel()->select(all, QItemSelectionModel::Select);
}

std::vector<bool> FileListBox::selectionFlags() const {
  std::vector<bool> flags(static_cast<std::size_t>(listCount()), false);
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom() && row < listCount(); ++row) {
      flags[static_cast<std::size_t>(row)] = true;
    }
  }
  return flags;
}

int FileListBox::selectedCount() const {
  int count = 0;
  for (const QItemSelectionRange& range : selectionModel()->selection()) count += range.height();
  return count;
}

int FileListBox::listIndex() const {
  QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void FileListBox::setListIndex(int index) {
  if (index < 0 || index >= listCount()) {
    setCurrentIndex({});
    return;
  }
  selectionModel()->setCurrentIndex(m_model.index(index), QItemSelectionModel::NoUpdate);
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event->key());
  const int before = listIndex();
  QListView::keyPressEvent(event);
  // Moving through the list with the keys counts as a click, as it changes
  // the current entry.
  if (listIndex() != before) emit entryClicked();
}

}  // namespace brindle::ui
