#include "ui/FileListBox.h"

#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>

#include <map>

#include "platform/Platform.h"
#include "platform/text/FileNameText.h"
#include "ui/core/FileListing.h"

namespace brindle::ui {

void FileNameModel::setFiles(std::vector<ListedFile> files) {
  beginResetModel();
  m_files = std::move(files);
  endResetModel();
}

void FileNameModel::setShowsDetails(bool shows) {
  beginResetModel();
  m_showsDetails = shows;
  endResetModel();
}

int FileNameModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_files.size());
}

int FileNameModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : (m_showsDetails ? 3 : 1);
}

QVariant FileNameModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(m_files.size())) return {};
  const ListedFile& file = m_files[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole && index.column() == 1) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0:
      return platform::fileNameToText(file.name);
    case 1:
      return QString::fromStdString(sizeText(file.details.size));
    case 2:
      return QDateTime::fromSecsSinceEpoch(file.details.modified)
          .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    default:
      return {};
  }
}

QVariant FileNameModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0:
      return QStringLiteral("Name");
    case 1:
      return QStringLiteral("Size");
    case 2:
      return QStringLiteral("Modified");
    default:
      return {};
  }
}

FileListBox::FileListBox(platform::FileSystem& fileSystem, QWidget* parent)
    : QTreeView(parent), m_fileSystem(fileSystem), m_model(this) {
  setModel(&m_model);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setAllColumnsShowFocus(true);
  // Every row has the same height: lets the view lay out 100,000 rows at once.
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setVisible(false);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::Stretch);
  connect(this, &QTreeView::clicked, this, &FileListBox::entryClicked);
  connect(this, &QTreeView::doubleClicked, this, &FileListBox::entryDoubleClicked);
  connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
    const FileOrder clicked = column == 1   ? FileOrder::Size
                              : column == 2 ? FileOrder::Modified
                                            : FileOrder::Name;
    // A second click on the same column reverses the order.
    setOrder(clicked, clicked == m_order ? !m_descending : false);
  });
}

void FileListBox::setShowsDetails(bool shows) {
  m_model.setShowsDetails(shows);
  header()->setVisible(shows);
  header()->setSectionsClickable(shows);
  header()->setSortIndicatorShown(shows);
  if (!shows) {
    header()->setSectionResizeMode(QHeaderView::Stretch);
    return;
  }
  // The name takes the room; size and date as wide as they need.
  header()->setSectionResizeMode(0, QHeaderView::Stretch);
  header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  header()->setSortIndicator(0, Qt::AscendingOrder);
}

void FileListBox::setOrder(FileOrder order, bool descending) {
  m_order = order;
  m_descending = descending;
  const int column = order == FileOrder::Size ? 1 : order == FileOrder::Modified ? 2 : 0;
  header()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  std::vector<ListedFile> files = m_model.files();
  // From name order, so that equal sizes or dates stay in name order.
  std::vector<std::string> names;
  names.reserve(files.size());
  for (const ListedFile& file : files) names.push_back(file.name);
  sortNamesCaseInsensitive(names);
  std::map<std::string, platform::FileDetails> details;
  for (const ListedFile& file : files) details[file.name] = file.details;
  files.clear();
  for (std::string& name : names) {
    const platform::FileDetails fileDetails = details[name];
    files.push_back({std::move(name), fileDetails});
  }
  sortListedFiles(files, m_order, m_descending);
  m_model.setFiles(std::move(files));
}

platform::Status FileListBox::refresh() {
  platform::Result<std::vector<std::string>> files = readFileList(m_fileSystem, m_path);
  if (!files) {
    m_model.setFiles({});
    return files.error();
  }
  std::vector<std::string>& names = files.value();
  if (m_nameFilter)
    std::erase_if(names, [this](const std::string& name) { return !m_nameFilter(name); });
  std::vector<ListedFile> listed;
  listed.reserve(names.size());
  for (std::string& name : names) {
    ListedFile file{std::move(name), {}};
    if (m_model.showsDetails()) {
      // A file that cannot be examined shows zero size and time.
      platform::Result<platform::FileDetails> details =
          m_fileSystem.details(platform::entryPath(m_path, file.name));
      if (details) file.details = details.value();
    }
    listed.push_back(std::move(file));
  }
  sortListedFiles(listed, m_order, m_descending);
  m_model.setFiles(std::move(listed));
  return {};
}

std::string FileListBox::entryName(int index) const {
  if (index < 0 || index >= listCount()) return {};
  return m_model.files()[static_cast<std::size_t>(index)].name;
}

bool FileListBox::isSelected(int index) const {
  if (index < 0 || index >= listCount()) return false;
  return selectionModel()->isSelected(m_model.index(index, 0));
}

void FileListBox::setSelected(int index, bool selected) {
  if (index < 0 || index >= listCount()) return;
  selectionModel()->select(m_model.index(index, 0), (selected ? QItemSelectionModel::Select
                                                              : QItemSelectionModel::Deselect) |
                                                        QItemSelectionModel::Rows);
}

void FileListBox::selectAllEntries() {
  if (listCount() == 0) return;
  // One range instead of one selection change per entry.
  QItemSelection all(m_model.index(0, 0),
                     m_model.index(listCount() - 1, m_model.columnCount() - 1));
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
  selectionModel()->setCurrentIndex(m_model.index(index, 0), QItemSelectionModel::NoUpdate);
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event->key());
  const int before = listIndex();
  QTreeView::keyPressEvent(event);
  // Moving through the list with the keys counts as a click, as it changes
  // the current entry.
  if (listIndex() != before) emit entryClicked();
}

}  // namespace brindle::ui
