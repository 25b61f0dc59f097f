#include "ui/history/HistoryWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brindle::ui {

namespace {

enum Column { kTime, kCommand, kFiles, kState };

}  // namespace

HistoryWindow::HistoryWindow(history::History& history, platform::FileSystem& fileSystem,
                             platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_history(history), m_fileSystem(fileSystem), m_dialogs(dialogs) {
  setObjectName("frmHistory");
  setWindowTitle("History");
  resize(640, 360);

  m_list = new QTreeWidget(this);
  m_list->setObjectName("lstBatches");
  m_list->setRootIsDecorated(false);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setHeaderLabels({"Time", "Command", "Files", "State"});
  m_list->header()->setSectionResizeMode(kCommand, QHeaderView::Stretch);
  m_list->header()->setStretchLastSection(false);

  m_undo = new QPushButton("&Undo", this);
  m_undo->setObjectName("cmdUndo");
  auto* close = new QPushButton("Close", this);
  close->setObjectName("cmdClose");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_undo);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addLayout(buttons);

  connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { updateUndoButton(); });
  connect(m_undo, &QPushButton::clicked, this, [this] { undoChosen(); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  refresh();
}

void HistoryWindow::refresh() {
  const int chosen = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : -1;
  const history::BatchId chosenId =
      chosen >= 0 && chosen < static_cast<int>(m_rows.size()) ? m_rows[chosen].id : 0;

  m_list->clear();
  m_rows.clear();
  auto rows = historyRows(m_history);
  if (!rows.ok()) {
    m_dialogs.message("Cannot read the history: " + rows.error().message, platform::Buttons::Ok,
                      platform::Icon::Critical);
  } else {
    m_rows = std::move(rows.value());
  }
  for (const HistoryRow& row : m_rows) {
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(kTime, QString::fromStdString(row.time));
    item->setText(kCommand, QString::fromStdString(row.command));
    item->setText(kFiles, QString::number(row.fileCount));
    item->setTextAlignment(kFiles, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(kState, QString::fromStdString(row.state));
  }
  for (int column : {kTime, kFiles, kState}) m_list->resizeColumnToContents(column);

  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (chosenId != 0 && m_rows[i].id == chosenId) chooseRow(static_cast<int>(i));
  }
  updateUndoButton();
}

void HistoryWindow::chooseRow(int index) {
  QTreeWidgetItem* item = m_list->topLevelItem(index);
  if (item) m_list->setCurrentItem(item);
  updateUndoButton();
}

void HistoryWindow::updateUndoButton() {
  QTreeWidgetItem* item = m_list->currentItem();
  const int index = item ? m_list->indexOfTopLevelItem(item) : -1;
  m_undo->setEnabled(index >= 0 && index < static_cast<int>(m_rows.size()) && item->isSelected() &&
                     m_rows[static_cast<std::size_t>(index)].undoable);
}

void HistoryWindow::undoChosen() {
  QTreeWidgetItem* item = m_list->currentItem();
  const int index = item ? m_list->indexOfTopLevelItem(item) : -1;
  if (index < 0 || index >= static_cast<int>(m_rows.size())) return;
  const HistoryRow row = m_rows[static_cast<std::size_t>(index)];
  if (!row.undoable || (m_undoAllowed && !m_undoAllowed())) return;
  const bool undone = undoChosenBatch(m_history, m_fileSystem, m_dialogs, row.id);
  refresh();
  if (undone && m_onUndone) m_onUndone();
}

}  // namespace brindle::ui
