#include "app/frmmainbrindle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStringListModel>
#include <QVBoxLayout>

#include <brindle/Version.h>

#include "app/MainMenu.h"
#include "app/MainWindowFileList.h"
#include "app/commands/FileCommands.h"
#include "app/commands/FileListOutput.h"
#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmDisclaimer.h"
#include "infowindows/frmWarning.h"
#include "platform/text/FileNameText.h"
#include "ui/DirectoryListBox.h"
#include "ui/FileListBox.h"
#include "ui/HelpClicks.h"
#include "ui/MenuMnemonics.h"
#include "ui/WindowPlaces.h"
#include "ui/core/FileListing.h"
#include "ui/core/HelpTopics.h"
#include "ui/core/PathBar.h"
#include "ui/core/RememberedFolder.h"

namespace brindle::app {

namespace {

/// The decorative picture beside the banner: a folder with a note on it.
QPixmap drawLogo() {
  QPixmap pixmap(48, 48);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(0xC8, 0x8A, 0x3A));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(4, 12, 40, 30, 4, 4);
  painter.drawRoundedRect(4, 8, 18, 8, 2, 2);
  painter.setBrush(QColor(0x3A, 0x2A, 0x1A));
  painter.drawEllipse(QPointF(20, 34), 5, 4);
  painter.drawRect(23, 16, 3, 18);
  painter.drawRect(23, 16, 10, 3);
  return pixmap;
}

}  // namespace

frmmainbrindle::frmmainbrindle(platform::Platform& platform, ui::ContextHelp& help,
                               std::string startDirectory, QWidget* parent)
    : QMainWindow(parent),
      m_platform(platform),
      m_help(help),
      m_helpMode(ui::helpPointerOf(*this)),
      m_startDirectory(std::move(startDirectory)) {
  setObjectName("frmmainbrindle");
  setWindowTitle(kProductName);
  buildControls();
  buildMenus();
  m_help.addWindow(m_helpMode);
}

frmmainbrindle::~frmmainbrindle() {
  m_help.removeWindow(m_helpMode);
}

void frmmainbrindle::buildControls() {
  auto* central = new QWidget(this);
  auto* frame1 = new QFrame(central);
  frame1->setObjectName("Frame1");
  frame1->setFrameShape(QFrame::StyledPanel);

  auto* label3 = new QLabel("* Brindle *", frame1);
  label3->setObjectName("Label3");
  QFont bannerFont = label3->font();
  bannerFont.setPointSize(bannerFont.pointSize() + 6);
  bannerFont.setBold(true);
  label3->setFont(bannerFont);
  m_picture1 = new QLabel(frame1);
  m_picture1->setObjectName("Picture1");
  m_picture1->setPixmap(drawLogo());
  auto* label5 = new QLabel("Right Click For More Options", frame1);
  label5->setObjectName("Label5");

  m_pathBar = new QLineEdit(frame1);
  m_pathBar->setObjectName("PathBar");
  m_pathBar->setPlaceholderText("Type a folder and press Enter");
  m_pathBar->setToolTip("Type a folder and press Enter to show it");
  m_pathCompleter = new QCompleter(new QStringListModel(m_pathBar), m_pathBar);
  m_pathCompleter->setCompletionMode(QCompleter::PopupCompletion);
  m_pathBar->setCompleter(m_pathCompleter);
  m_drive1 = new QComboBox(frame1);
  m_drive1->setObjectName("Drive1");
  m_dir1 = new ui::DirectoryListBox(m_platform.fileSystem, frame1);
  m_dir1->setObjectName("Dir1");
  m_file1 = new ui::FileListBox(m_platform.fileSystem, frame1);
  m_file1->setObjectName("File1");
  m_file1->setToolTip(
      "Double click to open with associated program,  Delete key deletes hi-lighted file!, "
      "Right Click For More Options!");
  m_file1->setContextMenuPolicy(Qt::CustomContextMenu);

  auto* label1 = new QLabel("Files in Directory", frame1);
  label1->setObjectName("Label1");
  m_text1 = new QLineEdit(frame1);
  m_text1->setObjectName("Text1");
  m_text1->setReadOnly(true);
  auto* label2 = new QLabel("Path:", frame1);
  label2->setObjectName("Label2");
  m_text2 = new QLineEdit(frame1);
  m_text2->setObjectName("Text2");
  m_text2->setReadOnly(true);
  auto* selected = new QLabel("Selected:", frame1);
  selected->setObjectName("Selected");
  m_text3 = new QLineEdit(frame1);
  m_text3->setObjectName("Text3");
  m_command1 = new QPushButton("Save Edited", frame1);
  m_command1->setObjectName("Command1");
  m_command1->setEnabled(false);
  auto* label7 = new QLabel("Selected:", frame1);
  label7->setObjectName("Label7");
  m_label6 = new QLabel("1,0", frame1);
  m_label6->setObjectName("Label6");
  m_progressBar1 = new QProgressBar(frame1);
  m_progressBar1->setObjectName("ProgressBar1");
  m_progressBar1->setValue(0);
  m_progressBar1->setTextVisible(false);

  auto* banner = new QHBoxLayout;
  banner->addWidget(m_picture1);
  banner->addWidget(label3, 1);
  banner->addWidget(label5);

  // The folder side and the file list share the width; the user moves the
  // line between them, and its place is remembered.
  auto* folders = new QWidget(frame1);
  auto* folderColumn = new QVBoxLayout(folders);
  folderColumn->setContentsMargins(0, 0, 0, 0);
  folderColumn->addWidget(m_pathBar);
  folderColumn->addWidget(m_drive1);
  folderColumn->addWidget(m_dir1, 1);
  m_browseSplitter = new QSplitter(Qt::Horizontal, frame1);
  m_browseSplitter->setObjectName("BrowseSplitter");
  m_browseSplitter->setChildrenCollapsible(false);
  m_browseSplitter->addWidget(folders);
  m_browseSplitter->addWidget(m_file1);
  m_browseSplitter->setStretchFactor(0, 2);
  m_browseSplitter->setStretchFactor(1, 3);
  // The file list keeps a useful width when the window is made small.
  m_file1->setMinimumWidth(260);
  m_file1->setShowsDetails(true);

  auto* fields = new QGridLayout;
  fields->addWidget(label1, 0, 0);
  fields->addWidget(m_text1, 0, 1);
  fields->addWidget(label2, 1, 0);
  fields->addWidget(m_text2, 1, 1, 1, 3);
  fields->addWidget(selected, 2, 0);
  fields->addWidget(m_text3, 2, 1, 1, 2);
  fields->addWidget(m_command1, 2, 3);
  fields->addWidget(label7, 3, 0);
  fields->addWidget(m_label6, 3, 1);
  fields->setColumnStretch(2, 1);

  auto* frameLayout = new QVBoxLayout(frame1);
  frameLayout->addLayout(banner);
  frameLayout->addWidget(m_browseSplitter, 1);
  frameLayout->addLayout(fields);
  frameLayout->addWidget(m_progressBar1);

  auto* outer = new QVBoxLayout(central);
  outer->addWidget(frame1);
  setCentralWidget(central);
  m_selectionNote = new QLabel(this);
  m_selectionNote->setObjectName("SelectionNote");
  statusBar()->addPermanentWidget(m_selectionNote);
  resize(760, 560);

  connect(m_drive1, &QComboBox::activated, this, &frmmainbrindle::onDriveChosen);
  connect(m_dir1, &ui::DirectoryListBox::pathChanged, this, &frmmainbrindle::onDirectoryChanged);
  connect(m_dir1, &ui::DirectoryListBox::entryClicked, this, &frmmainbrindle::onDirectoryClicked);
  connect(m_file1, &ui::FileListBox::entryClicked, this, &frmmainbrindle::onFileClicked);
  connect(m_file1, &ui::FileListBox::entryDoubleClicked, this,
          &frmmainbrindle::onFileDoubleClicked);
  connect(m_file1, &ui::FileListBox::keyPressed, this, &frmmainbrindle::onFileKeyPressed);
  connect(m_file1, &QWidget::customContextMenuRequested, this,
          [this] { windowMenu().popup(QCursor::pos()); });
  connect(m_text3, &QLineEdit::textChanged, this, &frmmainbrindle::onNameBoxChanged);
  connect(m_pathBar, &QLineEdit::textEdited, this, &frmmainbrindle::onPathBarEdited);
  connect(m_pathBar, &QLineEdit::returnPressed, this, &frmmainbrindle::onPathBarEntered);
  connect(m_file1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &frmmainbrindle::showSelectionNote);
  connect(m_file1->model(), &QAbstractItemModel::modelReset, this,
          &frmmainbrindle::showSelectionNote);
  connect(m_text3, &QLineEdit::textChanged, this, &frmmainbrindle::updateCaretReadout);
  connect(m_text3, &QLineEdit::cursorPositionChanged, this, &frmmainbrindle::updateCaretReadout);
  connect(m_text3, &QLineEdit::selectionChanged, this, &frmmainbrindle::updateCaretReadout);
  connect(m_command1, &QPushButton::clicked, this, [this] { runCommand(MenuCommand::Command1); });

  // Controls with a help topic answer the mouse (and the focus) in help mode.
  for (QObject* watched :
       std::initializer_list<QObject*>{m_dir1->viewport(), m_file1->viewport(), m_text1, m_text2,
                                       m_text3, m_picture1, m_pathBar}) {
    watched->installEventFilter(this);
  }
}

void frmmainbrindle::buildMenus() {
  for (const MenuSpec& spec : mainMenus()) {
    auto* menu = new QMenu(spec.caption, this);
    menu->setObjectName(spec.name);
    m_menus[spec.name] = menu;
  }
  menuBar()->addMenu(m_menus["Options"]);
  m_menus["Options"]->addMenu(m_menus["print"]);
  menuBar()->addMenu(m_menus["edit"]);
  menuBar()->addMenu(m_menus["filewindow"]);
  menuBar()->addMenu(m_menus["help"]);

  for (const MenuItemSpec& spec : mainMenuItems()) {
    QMenu* menu = m_menus.at(spec.menu);
    if (spec.isSeparator()) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(spec.caption);
    if (spec.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
    const char* name = objectNameOf(*spec.command);
    action->setObjectName(name);
    m_items[name] = action;
    const MenuCommand id = *spec.command;
    const int topic = spec.topic;
    connect(action, &QAction::triggered, this, [this, id, topic] { runMenuItem(id, topic); });
  }

  QAction* sensitiveHelp = menuBar()->addAction("(?)");
  sensitiveHelp->setObjectName("sensitivehelp");
  m_items["sensitivehelp"] = sensitiveHelp;
  connect(sensitiveHelp, &QAction::triggered, this, [this] { m_helpMode.toggle(); });
  ui::addMnemonics(*menuBar());

  setCommand(MenuCommand::selectall, [this] { selectAllFiles(); });
  setCommand(MenuCommand::refreshfiles, [this] { refreshFiles(); });
  setCommand(MenuCommand::help1, [this] { showHelpWindow(); });
  setCommand(MenuCommand::about, [this] { showAboutWindow(); });
  setCommand(MenuCommand::mnudisclaimer, [this] { showDisclaimerWindows(); });
  setCommand(MenuCommand::exit, [this] { exitWithQuestion(); });

  // File commands and list output act on this window's list and controls.
  using ListCommand = void (*)(platform::Platform&, ui::FileListHost&);
  auto onList = [this](ListCommand command) {
    return [this, command] {
      MainWindowFileList list(*this);
      command(m_platform, list);
    };
  };
  setCommand(MenuCommand::notepad, onList(editCurrentEntry));
  setCommand(MenuCommand::editfile, onList(editCurrentEntry));
  setCommand(MenuCommand::delete_, onList(deleteCurrentEntry));
  setCommand(MenuCommand::deletefile, onList(deleteSelection));
  setCommand(MenuCommand::printer1, onList(printFileList));
  setCommand(MenuCommand::fileappend, onList(appendFileListToFile));
  setCommand(MenuCommand::addto, onList(writeFileListToFile));
}

bool frmmainbrindle::startUp() {
  setWindowTitle(QString("%1%2.%3").arg(kProductName).arg(kVersionMajor).arg(kVersionMinor));
  if (m_platform.instanceGuard.anotherInstanceRunning()) {
    m_platform.dialogs.message("Brindle Already Running?");
    return false;
  }

  ui::restorePlace(*this, m_platform.settings);
  ui::restorePanes(*m_browseSplitter, m_platform.settings);
  m_startDirectory = ui::startFolder(m_platform.settings, m_platform.fileSystem, m_startDirectory);
  const std::vector<std::string> drives = m_platform.fileSystem.drives();
  for (const std::string& drive : drives) {
    m_drive1->addItem(platform::fileNameToText(drive), QByteArray::fromStdString(drive));
  }
  selectDriveOf(m_startDirectory);

  // A start directory that cannot be read falls back to the root, so the
  // window always shows a real folder.
  if (!m_dir1->setPath(m_startDirectory)) (void)m_dir1->setPath("/");
  return true;
}

void frmmainbrindle::setCommand(MenuCommand id, std::function<void()> command) {
  m_commands[id] = std::move(command);
}

QAction* frmmainbrindle::menuItem(const std::string& name) const {
  auto found = m_items.find(name);
  return found == m_items.end() ? nullptr : found->second;
}

QMenu* frmmainbrindle::menu(const std::string& name) const {
  auto found = m_menus.find(name);
  return found == m_menus.end() ? nullptr : found->second;
}

const std::string& frmmainbrindle::currentDirectory() const {
  return m_dir1->path();
}

std::string frmmainbrindle::entryPathOf(const std::string& name) const {
  return platform::entryPath(currentDirectory(), name);
}

void frmmainbrindle::rereadFileList() {
  m_file1->setPath(currentDirectory());
  (void)m_file1->refresh();
  showCount();
}

void frmmainbrindle::runMenuItem(MenuCommand id, int topic) {
  // "Exit", "About" and "Disclaimer" (no topic) run even in help mode.
  const bool consultsHelp =
      topic != topics::kNoTopic && id != MenuCommand::exit && id != MenuCommand::about;
  if (consultsHelp && m_help.handledAsHelp(m_helpMode, topic)) return;
  runCommand(id);
}

void frmmainbrindle::runCommand(MenuCommand id) {
  auto found = m_commands.find(id);
  if (found != m_commands.end() && found->second) found->second();
}

void frmmainbrindle::showCount() {
  m_text1->setText(QString::number(m_file1->listCount()));
}

void frmmainbrindle::onDriveChosen(int index) {
  const std::string drive = m_drive1->itemData(index).toByteArray().toStdString();
  // A drive that cannot be read is ignored; the lists stay where they were.
  (void)m_dir1->setPath(drive);
}

void frmmainbrindle::onDirectoryChanged() {
  m_file1->setPath(currentDirectory());
  (void)m_file1->refresh();
  showCount();
  m_text2->setText(platform::fileNameToText(currentDirectory()));
  m_pathBar->setText(platform::fileNameToText(currentDirectory()));
  m_command1->setEnabled(false);
}

void frmmainbrindle::onDirectoryClicked() {
  m_file1->setPath(currentDirectory());
  (void)m_file1->refresh();
  showCount();
  m_command1->setEnabled(false);
}

void frmmainbrindle::onFileClicked() {
  showCount();
  m_text3->setText(platform::fileNameToText(m_file1->currentName()));
  if (m_file1->selectedCount() > 1) m_text3->clear();
}

void frmmainbrindle::onFileDoubleClicked() {
  showCount();
  const std::string name = m_file1->currentName();
  if (name.empty()) return;
  // The shell's answer is not examined: a file type without a program is the
  // desktop's to report.
  (void)m_platform.shell.openWithAssociatedProgram(entryPathOf(name));
}

void frmmainbrindle::onFileKeyPressed(int key) {
  showCount();
  if (key == Qt::Key_Delete) runCommand(MenuCommand::delete_);
  showCount();
}

void frmmainbrindle::selectDriveOf(const std::string& path) {
  std::vector<std::string> drives;
  for (int i = 0; i < m_drive1->count(); ++i) {
    drives.push_back(m_drive1->itemData(i).toByteArray().toStdString());
  }
  const std::string drive = ui::driveOf(drives, ui::normalizePath(path));
  m_drive1->setCurrentIndex(m_drive1->findData(QByteArray::fromStdString(drive)));
}

void frmmainbrindle::onPathBarEdited(const QString& text) {
  QStringList folders;
  for (const std::string& folder :
       ui::folderCompletions(m_platform.fileSystem, platform::textToFileName(text))) {
    folders.append(platform::fileNameToText(folder));
  }
  static_cast<QStringListModel*>(m_pathCompleter->model())->setStringList(folders);
}

void frmmainbrindle::onPathBarEntered() {
  const std::string typed = platform::textToFileName(m_pathBar->text());
  // Only an existing folder is shown; anything else puts the shown folder
  // back in the bar.
  if (!typed.empty() && m_platform.fileSystem.isDirectory(typed) && m_dir1->setPath(typed)) {
    selectDriveOf(currentDirectory());
    return;
  }
  m_pathBar->setText(platform::fileNameToText(currentDirectory()));
}

void frmmainbrindle::showSelectionNote() {
  m_selectionNote->setText(
      QString::fromStdString(ui::selectionSummary(m_file1->selectedCount(), m_file1->listCount())));
}

void frmmainbrindle::onNameBoxChanged() {
  m_command1->setEnabled(m_text3->text() != platform::fileNameToText(m_file1->currentName()));
}

void frmmainbrindle::updateCaretReadout() {
  const int start =
      m_text3->hasSelectedText() ? m_text3->selectionStart() : m_text3->cursorPosition();
  m_label6->setText(QString("%1,%2").arg(start + 1).arg(m_text3->selectedText().length()));
}

void frmmainbrindle::selectAllFiles() {
  m_file1->selectAllEntries();
}

// The count box is brought up to date too, so it never shows a stale number.
void frmmainbrindle::refreshFiles() {
  rereadFileList();
}

void frmmainbrindle::exitWithQuestion() {
  platform::Answer answer =
      m_platform.dialogs.message("Exit, Are You Sure?", platform::Buttons::YesNo);
  if (answer == platform::Answer::Yes) close();
}

void frmmainbrindle::closeOtherWindows() {
  // Every other window closes with the main window, whatever its caption.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
}

void frmmainbrindle::closeEvent(QCloseEvent* event) {
  m_closing = true;
  closeOtherWindows();
  // A window that stays open (the tag editor's edits were not to be left)
  // keeps the program running.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = window->windowType();
    const bool realWindow = type == Qt::Window || type == Qt::Dialog;
    if (window != this && realWindow && window->isVisible()) {
      m_closing = false;
      event->ignore();
      return;
    }
  }
  ui::rememberPlace(*this, m_platform.settings);
  ui::rememberPanes(*m_browseSplitter, m_platform.settings);
  ui::rememberFolder(m_platform.settings, currentDirectory());
  event->accept();
}

void frmmainbrindle::contextMenuEvent(QContextMenuEvent* event) {
  optionsMenu().popup(event->globalPos());
}

int frmmainbrindle::controlTopic(QObject* watched, QEvent::Type type) const {
  const bool press = type == QEvent::MouseButtonPress;
  const bool focus = type == QEvent::FocusIn;
  if (watched == m_dir1->viewport() && press) return topics::kDirectoryList;
  if (watched == m_file1->viewport() && press) return topics::kFileList;
  if (watched == m_text1 && (press || focus)) return topics::kFileCountBox;
  if (watched == m_text2 && (press || focus)) return topics::kPathBox;
  // The path bar is a path box that can be typed into: the same topic.
  if (watched == m_pathBar && press) return topics::kPathBox;
  if (watched == m_text3 && press) return topics::kNameBox;
  if (watched == m_picture1 && press) return topics::kMainWindowPicture;
  return topics::kNoTopic;
}

bool frmmainbrindle::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_text3 && event->type() == QEvent::KeyPress &&
      !static_cast<QKeyEvent*>(event)->text().isEmpty()) {
    m_command1->setEnabled(true);
  }
  const QEvent::Type type = event->type();
  if (m_helpClicks.swallows(type)) return true;
  const int topic = controlTopic(watched, type);
  if (topic != topics::kNoTopic && m_help.handledAsHelp(m_helpMode, topic)) {
    // In help mode the click only shows the topic: no selection changes.
    if (type != QEvent::MouseButtonPress) return false;
    m_helpClicks.topicShownByPress();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

namespace {

/// Shows a modeless information window, creating it when it is not open. The
/// window belongs to the main window but is a window of its own, and frees
/// itself when closed.
template <class Create>
QWidget* showInformationWindow(QPointer<QWidget>& window, Create create) {
  if (!window) {
    window = create();
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
  }
  window->show();
  window->raise();
  return window;
}

}  // namespace

QWidget* frmmainbrindle::showAboutWindow() {
  return showInformationWindow(m_aboutWindow, [this] { return new infowindows::Aboutform(this); });
}

QWidget* frmmainbrindle::showHelpWindow() {
  return showInformationWindow(m_helpWindow, [this] { return new infowindows::HelpForm(this); });
}

void frmmainbrindle::showDisclaimerWindows() {
  showInformationWindow(m_disclaimerWindow, [this] {
    return new infowindows::frmDisclaimer(
        m_platform.fileSystem, m_platform.programFolder,
        [this] {
          if (!m_closing) show();
        },
        this);
  });
  showInformationWindow(m_warningWindow, [this] { return new infowindows::frmWarning(this); });
}

}  // namespace brindle::app
