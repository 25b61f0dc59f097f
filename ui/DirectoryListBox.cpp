#include "ui/DirectoryListBox.h"

#include <QStyle>

#include "platform/Platform.h"
#include "platform/text/FileNameText.h"
#include "ui/core/FileListing.h"

namespace brindle::ui {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

QString displayName(const std::string& path) {
  if (path == "/") return QStringLiteral("/");
  return platform::fileNameToText(path.substr(path.rfind('/') + 1));
}

}  // namespace

DirectoryListBox::DirectoryListBox(platform::FileSystem& fileSystem, QWidget* parent)
    : QListWidget(parent), m_fileSystem(fileSystem) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(16, 16));
  connect(this, &QListWidget::itemActivated, this, &DirectoryListBox::activate);
  connect(this, &QListWidget::itemClicked, this, [this] { emit entryClicked(); });
}

platform::Status DirectoryListBox::setPath(const std::string& directory) {
  const std::string target = normalizePath(directory);
  platform::Result<std::vector<std::string>> subfolders = readSubdirectories(m_fileSystem, target);
  if (!subfolders) return subfolders.error();

  m_path = target;
  clear();
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const std::vector<std::string> ancestors = pathAncestors(m_path);
  int depth = 0;
  for (const std::string& ancestor : ancestors) {
    auto* item = new QListWidgetItem(openIcon, QString(depth * 2, ' ') + displayName(ancestor));
    item->setData(kPathRole, QByteArray::fromStdString(ancestor));
    addItem(item);
    ++depth;
  }
  setCurrentRow(count() - 1);
  for (const std::string& name : subfolders.value()) {
    auto* item =
        new QListWidgetItem(closedIcon, QString(depth * 2, ' ') + platform::fileNameToText(name));
    item->setData(kPathRole, QByteArray::fromStdString(platform::entryPath(m_path, name)));
    addItem(item);
  }
  emit pathChanged();
  return {};
}

void DirectoryListBox::activate(QListWidgetItem* item) {
  if (!item) return;
  // A folder that cannot be opened keeps the list where it was.
  (void)setPath(item->data(kPathRole).toByteArray().toStdString());
}

}  // namespace brindle::ui
