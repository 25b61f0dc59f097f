// The tag editor window: its controls, help mode on every control with a
// topic, and handlers that hand over to the field commands, the session and
// the batch tools of tageditor/core.
#include "tageditor/frmID3Info.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include <filesystem>

#include "inspect/GenreList.h"
#include "inspect/Readout.h"
#include "platform/text/FileNameText.h"
#include "tageditor/TagField.h"
#include "tageditor/core/CoverImage.h"
#include "ui/DirectoryListBox.h"
#include "ui/FileListBox.h"
#include "ui/MenuMnemonics.h"
#include "ui/WindowPlaces.h"
#include "ui/core/FileListing.h"
#include "ui/core/HelpTopics.h"

namespace brindle::tageditor {

namespace {

using inspect::GenreEntry;

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
  return text.toUtf8().toStdString();
}

/// The fields' font: a serif face, whichever the system has.
QFont serifFont(const QFont& base) {
  QFont font = base;
  font.setFamilies({"DejaVu Serif", "Liberation Serif", "Times New Roman", "Serif"});
  font.setStyleHint(QFont::Serif);
  return font;
}

/// The picture beside the lists: a record with a note.
QPixmap drawPicture() {
  QPixmap pixmap(56, 56);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x22, 0x22, 0x22));
  painter.drawEllipse(QPointF(28, 28), 26, 26);
  painter.setBrush(QColor(0xC8, 0x8A, 0x3A));
  painter.drawEllipse(QPointF(28, 28), 9, 9);
  painter.setBrush(QColor(0x22, 0x22, 0x22));
  painter.drawEllipse(QPointF(28, 28), 2, 2);
  return pixmap;
}

/// The inspection component's box: fixed in size, with its two captions.
QFrame* componentBox(QWidget* parent) {
  auto* box = new QFrame(parent);
  box->setObjectName("ID3");
  box->setFrameShape(QFrame::Box);
  box->setFixedSize(133, 32);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(4, 0, 4, 0);
  layout->setSpacing(0);
  for (const char* caption : {"ID3 +", "wav & mp3 info"}) {
    auto* label = new QLabel(caption, box);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    label->setFont(small);
    layout->addWidget(label);
  }
  return box;
}

/// A WAV readout hides the tag frames; they keep their room, so the rest of
/// the window does not move.
void keepPlaceWhenHidden(QWidget& widget) {
  QSizePolicy policy = widget.sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget.setSizePolicy(policy);
}

/// The thumbnail's width and height.
constexpr int kCoverSide = 120;

/// Room left for the window's title bar and frame when its size is chosen.
constexpr int kWindowFrameAllowance = 40;

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

}  // namespace

/// Marks a command as running for its duration. Meanwhile user input to the
/// window is held off, so the events the component lets run during a write
/// cannot start a second command (or change the lists under a batch), and a
/// request to close waits for the end.
class frmID3Info::RunningCommand {
 public:
  explicit RunningCommand(frmID3Info& window) : m_window(window) {
    m_window.m_running = true;
    QApplication::instance()->installEventFilter(&m_window);
  }
  ~RunningCommand() {
    QApplication::instance()->removeEventFilter(&m_window);
    m_window.m_running = false;
    if (m_window.m_closeWhenDone) {
      m_window.m_closeWhenDone = false;
      m_window.close();
    }
  }
  RunningCommand(const RunningCommand&) = delete;
  RunningCommand& operator=(const RunningCommand&) = delete;

 private:
  frmID3Info& m_window;
};

frmID3Info::frmID3Info(platform::Platform& platform, ui::ContextHelp& help,
                       RememberedValues& remembered, const std::string& startDirectory,
                       QWidget* parent)
    : QMainWindow(parent),
      m_platform(platform),
      m_help(help),
      m_remembered(remembered),
      m_helpMode(ui::helpPointerOf(*this)),
      m_id3(platform.fileSystem, platform.clock, platform.dialogs),
      m_session(m_id3, platform.dialogs, remembered) {
  setObjectName("frmID3Info");
  setWindowTitle("Brindle Tag Editor");
  setWindowFlag(Qt::Window);
  m_id3.setBusyHandler([this](bool busy) { onBusy(busy); });
  buildControls();
  buildMenus();
  // Made now, so its first message does not shift the layout.
  statusBar()->setObjectName("StatusBar");
  ui::restorePlace(*this, m_platform.settings);
  m_help.addWindow(m_helpMode);

  // Opening: the drive and the directory of the main window.
  const std::vector<std::string> drives = m_platform.fileSystem.drives();
  for (const std::string& drive : drives) {
    m_drive1->addItem(platform::fileNameToText(drive), QByteArray::fromStdString(drive));
  }
  selectDriveOf(ui::normalizePath(startDirectory));
  if (!m_dir1->setPath(startDirectory)) (void)m_dir1->setPath("/");
}

frmID3Info::~frmID3Info() {
  m_help.removeWindow(m_helpMode);
}

void frmID3Info::buildControls() {
  // The controls scroll when the window is smaller than they need (a small
  // screen or a large scale), so every one stays reachable.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("ScrollArea");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  setCentralWidget(scroll);
  auto* central = new QWidget(scroll);

  m_drive1 = new QComboBox(central);
  m_drive1->setObjectName("Drive1");
  m_dir1 = new ui::DirectoryListBox(m_platform.fileSystem, central);
  m_dir1->setObjectName("Dir1");
  m_picture1 = new QLabel(central);
  m_picture1->setObjectName("Picture1");
  m_picture1->setPixmap(drawPicture());
  auto* left = new QVBoxLayout;
  left->addWidget(m_drive1);
  left->addWidget(m_dir1, 1);
  left->addWidget(m_picture1, 0, Qt::AlignLeft);

  auto* middle = new QVBoxLayout;
  middle->addWidget(buildVersion1Frame());
  middle->addWidget(buildCoverFrame());
  middle->addWidget(buildReadoutFrame(), 1);

  auto* arrows = new QVBoxLayout;
  arrows->addStretch(1);
  for (const auto& [name, caption] : {std::pair{"Command2", "<<<"}, std::pair{"Command3", ">>>"}}) {
    auto* arrow = new QPushButton(caption, central);
    arrow->setObjectName(name);
    arrow->setFixedWidth(44);
    m_buttons[name] = arrow;
    arrows->addWidget(arrow);
  }
  arrows->addStretch(2);

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  right->addWidget(buildVersion2Frame());
  right->addWidget(buildToolGroups());

  auto* top = new QHBoxLayout;
  top->addLayout(left, 3);
  top->addLayout(middle, 4);
  top->addLayout(arrows);
  top->addLayout(right, 5);

  auto* label2 = new QLabel("MP3 Files", central);
  label2->setObjectName("Label2");
  m_file1 = new ui::FileListBox(m_platform.fileSystem, central);
  m_file1->setObjectName("File1");
  m_file1->setSelectionMode(QAbstractItemView::SingleSelection);
  m_file1->setNameFilter(isListedByTagEditor);
  m_file1->setToolTip("Double click a file to load its tags (MP3) or show its data (WAV)");
  m_pb1 = new QProgressBar(central);
  m_pb1->setObjectName("PB1");
  m_pb1->setValue(0);
  m_pb1->setTextVisible(false);

  // The file list sits under the folders, so the window needs no more
  // height than the tag fields and fits a 1280x720 screen.
  left->insertWidget(2, label2);
  left->insertWidget(3, m_file1, 2);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(6, 4, 6, 4);
  outer->setSpacing(4);
  outer->addLayout(top, 1);
  // Cancel beside the progress bar stops a batch after the file it is on.
  m_cancel = new QPushButton("Cancel", central);
  m_cancel->setObjectName("cmdCancelBatch");
  m_cancel->setToolTip("Stop the batch: the files saved so far stay saved");
  m_cancel->hide();
  connect(m_cancel, &QPushButton::clicked, this, [this] { m_stop = true; });
  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(m_pb1, 1);
  progressRow->addWidget(m_cancel);
  outer->addLayout(progressRow);

  // The note covers the middle of the window while a batch runs.
  m_text1 = new QLabel(QString(kPleaseWait).replace("\r\n", "\n"), central);
  m_text1->setObjectName("Text1");
  m_text1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_text1->setFrameShape(QFrame::Box);
  m_text1->setAutoFillBackground(true);
  QFont noteFont = m_text1->font();
  noteFont.setPointSize(noteFont.pointSize() + 4);
  noteFont.setBold(true);
  m_text1->setFont(noteFont);
  m_text1->hide();
  scroll->setWidget(central);

  // The window's own size, within the screen it opens on.
  QSize size(1100, 700);
  if (const QScreen* shown = screen()) {
    size = size.boundedTo(shown->availableGeometry().size() - QSize(0, kWindowFrameAllowance));
  }
  resize(size);

  connect(m_drive1, &QComboBox::activated, this, &frmID3Info::onDriveChosen);
  connect(m_dir1, &ui::DirectoryListBox::pathChanged, this, &frmID3Info::onDirectoryChanged);
  connect(m_file1, &ui::FileListBox::entryClicked, this, &frmID3Info::onFileClicked);
  connect(m_file1, &ui::FileListBox::entryDoubleClicked, this, &frmID3Info::onFileDoubleClicked);

  onButton("Command1", topics::kSaveTags, [this] { saveAndReport(); });
  onButton("Command2", topics::kCopyVersion2To1, [this] { editFields(copyVersion2ToVersion1); });
  onButton("Command3", topics::kCopyVersion1To2, [this] { editFields(copyVersion1ToVersion2); });
  onButton("Command4", topics::kTitleCaseFields, [this] { editFields(titleCaseFields); });
  onButton("Command5", topics::kUsePrevious, [this] {
    editFields([this](TagFields& values) { usePrevious(values, m_remembered); });
  });
  onButton("Command6", topics::kNameFromFile, [this] { nameFromFile(); });
  onButton("Command7", topics::kExitTagEditor, [this] { close(); });
  onButton("Command8", topics::kClearAllTags, [this] { editFields(clearAllTags); });
  onButton("Command9", topics::kClearVersion1, [this] { editFields(clearVersion1); });
  onButton("Command10", topics::kClearVersion2, [this] { editFields(clearVersion2); });
  onButton("Command11", topics::kAutoInfo,
           [this] { runBatch([this] { return autoInfo(*this, m_remembered); }); });
  onButton("Command12", topics::kNumberTracks,
           [this] { runBatch([this] { return numberTracks(*this); }); });
  // The cover is written by Save, whose topic the cover buttons share.
  onButton("cmdSetCover", topics::kSaveTags, [this] { chooseCover(); });
  onButton("cmdRemoveCover", topics::kSaveTags, [this] { removeCover(); });

  // Controls with a topic answer a mouse press in help mode.
  std::vector<QObject*> watched{m_drive1, m_file1->viewport(), m_frame2, m_picture1, m_cover};
  for (QWidget* field : m_txt) {
    watched.push_back(field == m_comment ? m_comment->viewport() : field);
  }
  for (QObject* object : watched) object->installEventFilter(this);
}

void frmID3Info::addField(int index, QWidget* frame, QGridLayout& grid, int row) {
  const FieldSpec& spec = fieldSpec(index);
  auto* caption = new QLabel(spec.caption, frame);
  caption->setObjectName(index == kV2Track ? QString("Label3") : QString("Label1_%1").arg(index));
  QWidget* field = nullptr;
  if (index == kV2Comment) {
    m_comment = new QPlainTextEdit(frame);
    m_comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_comment->setTabChangesFocus(true);
    m_comment->setFixedHeight(56);
    field = m_comment;
  } else {
    field = new TagField(spec.typedLimit, spec.version == TagVersion::V1, frame);
  }
  field->setObjectName(QString("txt_%1").arg(index));
  field->setFont(serifFont(field->font()));
  m_txt[static_cast<std::size_t>(index)] = field;
  grid.addWidget(caption, row, 0, index == kV2Comment ? Qt::AlignTop : Qt::Alignment());
  grid.addWidget(field, row, 1);
}

QWidget* frmID3Info::buildVersion1Frame() {
  m_frame1v1 = new QGroupBox("ID3 Tag v1", centralWidget());
  m_frame1v1->setObjectName("Frame1_0");
  keepPlaceWhenHidden(*m_frame1v1);
  auto* grid = new QGridLayout(m_frame1v1);
  int row = 0;
  for (int index : {kV1Title, kV1Artist, kV1Album, kV1Year, kV1Comment}) {
    addField(index, m_frame1v1, *grid, row++);
  }
  auto* caption = new QLabel("Genre:", m_frame1v1);
  caption->setObjectName("Label4");
  m_genre = new QComboBox(m_frame1v1);
  m_genre->setObjectName("Genre");
  for (const GenreEntry& entry : inspect::genreList()) m_genre->addItem(entry.name, entry.number);
  m_genre->setCurrentIndex(0);
  grid->addWidget(caption, row, 0);
  grid->addWidget(m_genre, row, 1);
  return m_frame1v1;
}

QWidget* frmID3Info::buildVersion2Frame() {
  m_frame1v2 = new QGroupBox("ID3 Tag v2", centralWidget());
  keepPlaceWhenHidden(*m_frame1v2);
  m_frame1v2->setObjectName("Frame1_1");
  auto* grid = new QGridLayout(m_frame1v2);
  int row = 0;
  for (int index : {kV2Title, kV2Artist, kV2Album, kV2Year, kV2Genre, kV2Comment, kV2Composer,
                    kV2OriginalArtist, kV2Copyright, kV2Url, kV2EncodedBy, kV2Track}) {
    addField(index, m_frame1v2, *grid, row++);
  }
  return m_frame1v2;
}

QWidget* frmID3Info::buildReadoutFrame() {
  m_frame2 = new QGroupBox("MP3 Info", centralWidget());
  m_frame2->setObjectName("Frame2");
  auto* lines = new QVBoxLayout(m_frame2);
  lines->setSpacing(1);
  // Only the first line exists at first; the readout adds the others.
  m_lbl[0] = new QLabel(m_frame2);
  m_lbl[0]->setObjectName("lbl_0");
  lines->addWidget(m_lbl[0]);
  lines->addStretch(1);
  return m_frame2;
}

QWidget* frmID3Info::buildCoverFrame() {
  m_coverFrame = new QGroupBox("Cover", centralWidget());
  m_coverFrame->setObjectName("FrameCover");
  keepPlaceWhenHidden(*m_coverFrame);
  m_cover = new QLabel(m_coverFrame);
  m_cover->setObjectName("imgCover");
  m_cover->setFixedSize(kCoverSide, kCoverSide);
  m_cover->setAlignment(Qt::AlignCenter);
  m_cover->setFrameShape(QFrame::Box);
  auto* buttons = new QVBoxLayout;
  for (const auto& [name, caption] :
       {std::pair{"cmdSetCover", "Set Cover..."}, std::pair{"cmdRemoveCover", "Remove Cover"}}) {
    auto* button = new QPushButton(caption, m_coverFrame);
    button->setObjectName(name);
    button->setEnabled(false);
    m_buttons[name] = button;
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* row = new QHBoxLayout(m_coverFrame);
  row->addWidget(m_cover);
  row->addLayout(buttons, 1);
  return m_coverFrame;
}

QWidget* frmID3Info::buildToolGroups() {
  auto* tools = new QWidget(centralWidget());
  auto makeGroup = [this, tools](const char* name, const char* caption,
                                 std::initializer_list<std::pair<const char*, const char*>> items) {
    auto* group = new QGroupBox(caption, tools);
    group->setObjectName(name);
    auto* column = new QVBoxLayout(group);
    for (const auto& [buttonName, buttonCaption] : items) {
      auto* button = new QPushButton(buttonCaption, group);
      button->setObjectName(buttonName);
      m_buttons[buttonName] = button;
      column->addWidget(button);
    }
    column->addStretch(1);
    return group;
  };
  QGroupBox* naming = makeGroup("Frame4", "Tag Naming",
                                {{"Command6", "Name From File"},
                                 {"Command4", "Title Case"},
                                 {"Command5", "Use Previous"},
                                 {"Command11", "Auto Info"},
                                 {"Command12", "Number Tracks"}});
  QGroupBox* clear = makeGroup("Frame3", "Clear Tags",
                               {{"Command8", "Clear All Tags"},
                                {"Command9", "Clear Version 1"},
                                {"Command10", "Clear Version 2"}});

  auto* endButtons = new QVBoxLayout;
  endButtons->addWidget(componentBox(tools));
  endButtons->addStretch(1);
  for (const auto& [name, caption] :
       {std::pair{"Command1", "Save"}, std::pair{"Command7", "Exit"}}) {
    auto* button = new QPushButton(caption, tools);
    button->setObjectName(name);
    m_buttons[name] = button;
    endButtons->addWidget(button);
  }

  auto* row = new QHBoxLayout(tools);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(naming);
  row->addWidget(clear);
  row->addLayout(endButtons);
  return tools;
}

void frmID3Info::buildMenus() {
  QAction* exit = menuBar()->addAction("Exit");
  exit->setObjectName("mnuexit");
  m_items["mnuexit"] = exit;
  connect(exit, &QAction::triggered, this, [this] { close(); });

  // The "Edit" menu's commands act on the history, which the program wires
  // (this window only knows that the history exists).
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("mnuedit");
  m_editMenu = edit;
  QAction* undo = edit->addAction("Undo");
  undo->setObjectName("mnuundo");
  undo->setShortcut(QKeySequence::Undo);
  undo->setEnabled(false);
  m_items["mnuundo"] = undo;
  QAction* history = edit->addAction("History...");
  history->setObjectName("mnuhistory");
  m_items["mnuhistory"] = history;

  QAction* helpMe = menuBar()->addAction("(?)");
  helpMe->setObjectName("mnuhelpme");
  m_items["mnuhelpme"] = helpMe;
  connect(helpMe, &QAction::triggered, this, [this] {
    if (!m_running) m_helpMode.toggle();
  });
  ui::addMnemonics(*menuBar());
  // Ctrl+S saves as the "Save" button does (and not while it is disabled).
  m_buttons.at("Command1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
}

void frmID3Info::reloadAfterUndo() {
  (void)m_file1->refresh();
  if (!hasLoadedFile()) return;
  // The loaded file by its path, not the list's current entry: the undo may
  // have renamed entries, and a file renamed away leaves the fields alone.
  const std::filesystem::path loadedPath(m_id3.FileName);
  if (!m_platform.fileSystem.exists(loadedPath.string())) return;
  const Loaded loaded =
      m_session.load(loadedPath.parent_path().string(), loadedPath.filename().string());
  if (loaded.result == LoadResult::Mp3) showMp3(loaded);
  if (loaded.result == LoadResult::Wav) showWav(loaded);
}

QPushButton* frmID3Info::button(const std::string& name) const {
  auto found = m_buttons.find(name);
  return found == m_buttons.end() ? nullptr : found->second;
}

QAction* frmID3Info::menuItem(const std::string& name) const {
  auto found = m_items.find(name);
  return found == m_items.end() ? nullptr : found->second;
}

QString frmID3Info::txtText(int index) const {
  if (index == kV2Comment) return m_comment->toPlainText();
  return static_cast<TagField*>(txt(index))->text();
}

TagFields frmID3Info::fields() const {
  TagFields values;
  for (int index = 0; index < kFieldCount; ++index) {
    values.txt[static_cast<std::size_t>(index)] = toUtf8(txtText(index));
  }
  // An unedited comment keeps the line breaks it was loaded with.
  if (m_comment->toPlainText() == fromUtf8(m_loadedComment).replace("\r\n", "\n")) {
    values.txt[kV2Comment] = m_loadedComment;
  }
  values.genre = m_genre->currentIndex();
  return values;
}

void frmID3Info::setFields(const TagFields& values) {
  for (int index = 0; index < kFieldCount; ++index) {
    const QString text = fromUtf8(values.txt[static_cast<std::size_t>(index)]);
    if (index == kV2Comment) {
      m_loadedComment = values.txt[kV2Comment];
      m_comment->setPlainText(text);
    } else {
      static_cast<TagField*>(txt(index))->setValue(text);
    }
  }
  m_genre->setCurrentIndex(values.genre);
}

void frmID3Info::runCommand(int topic, const std::function<void()>& command) {
  if (m_running) return;
  if (topic != topics::kNoTopic && m_help.handledAsHelp(m_helpMode, topic)) return;
  RunningCommand running(*this);
  command();
}

void frmID3Info::onButton(const std::string& name, int topic, std::function<void()> command) {
  connect(m_buttons.at(name), &QPushButton::clicked, this,
          [this, topic, command = std::move(command)] { runCommand(topic, command); });
}

void frmID3Info::editFields(const std::function<void(TagFields&)>& edit) {
  TagFields values = fields();
  edit(values);
  setFields(values);
}

void frmID3Info::selectDriveOf(const std::string& path) {
  std::vector<std::string> drives;
  for (int i = 0; i < m_drive1->count(); ++i) {
    drives.push_back(m_drive1->itemData(i).toByteArray().toStdString());
  }
  m_drive1->setCurrentIndex(
      m_drive1->findData(QByteArray::fromStdString(ui::driveOf(drives, path))));
}

void frmID3Info::onDriveChosen(int index) {
  if (m_running) return;
  if (m_help.handledAsHelp(m_helpMode, topics::kTagEditorDrive)) {
    // In help mode the choice only shows the topic: the list goes back.
    selectDriveOf(m_dir1->path());
    return;
  }
  // A drive that cannot be read is ignored; the lists stay where they were.
  (void)m_dir1->setPath(m_drive1->itemData(index).toByteArray().toStdString());
}

void frmID3Info::onDirectoryChanged() {
  m_file1->setPath(m_dir1->path());
  (void)m_file1->refresh();
  m_shownPath.clear();
  m_declined.reset();
  // Edited fields are not thrown away unasked. Cancel keeps them with the
  // file they were loaded from, which a Save still writes.
  bool mayLeave = true;
  if (!m_running) {
    RunningCommand running(*this);
    mayLeave = mayLeaveEdits();
  }
  if (!mayLeave) return;
  // The file loaded from the old folder is no longer on screen: a Save (or
  // a batch's first step) must not write this folder's values into it.
  m_session.forgetLoadedFile();
  m_session.changeCover(std::nullopt);
  m_edits.forget();
  showCover(std::nullopt);
  for (const char* name : {"cmdSetCover", "cmdRemoveCover"}) m_buttons.at(name)->setEnabled(false);
  // The fields of another folder's file must not stay on screen.
  runCommand(topics::kClearAllTags, [this] { editFields(clearAllTags); });
}

void frmID3Info::onFileClicked() {
  runCommand(topics::kNoTopic, [this] {
    const std::string name = m_file1->currentName();
    // A click (or an arrow key) shows what it can; the message about other
    // endings is left to the double click.
    if (name.empty() || inspect::readoutKindFor(name) == inspect::ReadoutKind::None) return;
    if (platform::entryPath(m_file1->path(), name) == m_shownPath) return;
    openCurrentEntry();
  });
}

void frmID3Info::onFileDoubleClicked() {
  runCommand(topics::kNoTopic, [this] { openCurrentEntry(); });
}

void frmID3Info::openCurrentEntry() {
  const std::string name = m_file1->currentName();
  // Only an MP3 file replaces the fields; a WAV readout leaves them be.
  if (inspect::readoutKindFor(name) == inspect::ReadoutKind::Mp3) {
    const TagFields current = fields();
    if (m_declined && m_declined->name == name && m_declined->fields == current) return;
    if (!mayLeaveEdits()) {
      m_declined = DeclinedLoad{name, current};
      return;
    }
  }
  m_declined.reset();
  (void)loadCurrentEntry();
}

void frmID3Info::openEntry(const std::string& directory, const std::string& name) {
  if (m_running) return;
  if (m_dir1->path() != directory && !m_dir1->setPath(directory)) return;
  for (int index = 0; index < m_file1->listCount(); ++index) {
    if (m_file1->entryName(index) != name) continue;
    m_file1->selectionModel()->setCurrentIndex(m_file1->model()->index(index, 0),
                                               QItemSelectionModel::ClearAndSelect);
    m_file1->scrollTo(m_file1->model()->index(index, 0));
    runCommand(topics::kNoTopic, [this] { openCurrentEntry(); });
    return;
  }
}

bool frmID3Info::mayLeaveEdits() {
  return tageditor::mayLeaveEdits(m_platform.dialogs, m_edits, fields(), [this] { return save(); });
}

void frmID3Info::saveAndReport() {
  if (save() == SaveResult::Saved)
    statusBar()->showMessage(fromUtf8(savedNote(m_edits.fileName())));
}

LoadResult frmID3Info::loadCurrentEntry() {
  const std::string name = m_file1->currentName();
  const Loaded loaded = m_session.load(m_file1->path(), name);
  const std::string path = platform::entryPath(m_file1->path(), name);
  if (loaded.result != LoadResult::Refused) m_shownPath = path;
  if (loaded.result == LoadResult::Mp3) {
    showMp3(loaded);
    m_edits.loaded(path, fields());
  }
  if (loaded.result == LoadResult::Wav) showWav(loaded);
  return loaded.result;
}

void frmID3Info::showMp3(const Loaded& loaded) {
  m_frame1v1->show();
  m_frame1v2->show();
  m_frame2->setTitle("MPEG Info");
  m_frame2->show();
  m_coverFrame->show();
  setFields(*loaded.fields);
  showCover(loaded.cover);
  showReadout(loaded.readout);
  setTagButtonsEnabled(true);
}

void frmID3Info::showWav(const Loaded& loaded) {
  // The tag fields keep what they hold, hidden.
  m_frame1v1->hide();
  m_frame1v2->hide();
  m_coverFrame->hide();
  showCover(std::nullopt);
  setTagButtonsEnabled(false);
  m_frame2->setTitle("WAV Info");
  m_frame2->show();
  showReadout(loaded.readout);
}

void frmID3Info::showReadout(const std::vector<std::string>& lines) {
  auto* layout = static_cast<QVBoxLayout*>(m_frame2->layout());
  for (std::size_t i = 0; i < m_lbl.size(); ++i) {
    if (!m_lbl[i]) {
      m_lbl[i] = new QLabel(m_frame2);
      m_lbl[i]->setObjectName(QString("lbl_%1").arg(i));
      // Before the stretch that closes the column.
      layout->insertWidget(static_cast<int>(i), m_lbl[i]);
    }
    m_lbl[i]->show();
    m_lbl[i]->setText(i < lines.size() ? fromUtf8(lines[i]) : QString());
  }
}

void frmID3Info::setTagButtonsEnabled(bool enabled) {
  for (const char* name : {"Command1", "Command2", "Command3", "cmdSetCover", "cmdRemoveCover"}) {
    m_buttons.at(name)->setEnabled(enabled);
  }
}

SaveResult frmID3Info::save() {
  const TagFields values = fields();
  const SaveResult result = m_session.save(values);
  if (result == SaveResult::Saved) m_edits.saved(values);
  return result;
}

bool frmID3Info::hasLoadedFile() const {
  return m_session.hasLoadedFile();
}

std::string frmID3Info::loadedName() const {
  if (!hasLoadedFile()) return {};
  const std::string& path = m_session.loadedPath();
  return path.substr(path.find_last_of('/') + 1);
}

void frmID3Info::remember() {
  m_session.rememberOnly(fields());
}

void frmID3Info::nameFromFile() {
  const std::vector<bool> selected = m_file1->selectionFlags();
  for (std::size_t index = 0; index < selected.size(); ++index) {
    if (!selected[index]) continue;
    if (auto title = titleFromFileName(m_file1->entryName(static_cast<int>(index)))) {
      static_cast<TagField*>(txt(kV2Title))->setValue(fromUtf8(*title));
    }
    return;
  }
}

void frmID3Info::chooseCover() {
  if (!hasLoadedFile()) return;
  platform::OpenRequest request;
  request.initialDirectory = m_file1->path();
  request.title = "Set Cover";
  request.filter = kCoverImageFilter;
  const std::string path = m_platform.dialogs.open(request);
  if (path.empty()) return;
  auto cover = coverFromImageFile(m_platform.fileSystem, path);
  if (!cover) {
    const std::string name = std::filesystem::path(path).filename().string();
    m_platform.dialogs.message(coverRefusedText(name, cover.error()), platform::Buttons::Ok,
                               platform::Icon::Critical);
    return;
  }
  showCover(cover.value());
  m_session.changeCover(id3v2::CoverEdit{std::move(cover.value())});
  m_edits.coverChanged(true);
}

void frmID3Info::removeCover() {
  if (!hasLoadedFile()) return;
  m_session.changeCover(id3v2::CoverEdit{});
  m_edits.coverChanged(true);
  showCover(std::nullopt);
}

void frmID3Info::showCover(const std::optional<id3v2::Picture>& cover) {
  QPixmap image;
  if (cover && !cover->data.empty()) {
    (void)image.loadFromData(cover->data.data(), static_cast<uint>(cover->data.size()));
  }
  if (image.isNull()) {
    // A cover Qt cannot draw is still there: say so rather than show nothing.
    m_cover->setPixmap(QPixmap());
    m_cover->setText(cover ? QStringLiteral("(cover)") : QString());
    return;
  }
  m_cover->setText(QString());
  m_cover->setPixmap(
      image.scaled(kCoverSide, kCoverSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmID3Info::runBatch(const std::function<BatchReport()>& batch) {
  // The wait pointer while the tool reads and writes, as for a single save.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
  const BatchReport report = batch();
  restoreCursor.dismiss();
  QApplication::restoreOverrideCursor();
  // The fields show what the batch gave the last file it loaded; read that
  // file again, so that what it now holds is not taken for unsaved edits.
  if (!report.declined && report.saved > 0) {
    const std::string loaded = loadedName();
    for (int index = 0; index < m_file1->listCount() && !loaded.empty(); ++index) {
      if (m_file1->entryName(index) != loaded) continue;
      moveToEntry(index);
      (void)loadCurrentEntry();
      break;
    }
  }
  if (std::optional<std::string> text = batchReportText(report)) {
    m_platform.dialogs.message(*text, platform::Buttons::Ok, platform::Icon::Information);
  }
}

int frmID3Info::entryCount() const {
  return m_file1->listCount();
}

std::string frmID3Info::entryName(int index) const {
  return m_file1->entryName(index);
}

void frmID3Info::moveToEntry(int index) {
  m_file1->setFocus();
  m_file1->selectionModel()->setCurrentIndex(m_file1->model()->index(index, 0),
                                             QItemSelectionModel::ClearAndSelect);
}

void frmID3Info::setHistory(history::History* history) {
  m_history = history;
  m_session.setHistory(history, m_platform.fileSystem);
}

platform::Result<id3v2::TagChange> frmID3Info::planSave() {
  return m_session.plan(fields());
}

platform::Result<std::vector<history::FileResult>> frmID3Info::writeBatch(
    const std::string& command, const std::vector<id3v2::TagChange>& changes,
    const history::FileReport& report) {
  return history::runTagBatch(m_history, m_platform.fileSystem, command, changes, &m_stop,
                              [&](const history::FileResult& result) {
                                report(result);
                                // The bar moves and Cancel can be pressed.
                                QApplication::processEvents();
                              });
}

bool frmID3Info::confirm(const std::string& question) {
  platform::MessageRequest request;
  request.text = question;
  request.buttons = platform::Buttons::YesNo;
  request.defaultButton = platform::DefaultButton::Second;
  // The question is answered with the normal pointer, not the wait one.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::restoreOverrideCursor();
  const bool yes = m_platform.dialogs.message(request) == platform::Answer::Yes;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  return yes;
}

bool frmID3Info::stopRequested() {
  QApplication::processEvents();
  return m_stop.load();
}

void frmID3Info::showNote(bool visible) {
  if (visible) m_stop = false;
  m_cancel->setVisible(visible);
  if (visible) {
    const QSize size(320, 110);
    const QRect area = centralWidget()->rect();
    m_text1->setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
    m_text1->raise();
  }
  m_text1->setVisible(visible);
}

void frmID3Info::setProgressMaximum(int maximum) {
  m_pb1->setMaximum(maximum);
}

void frmID3Info::setProgressValue(int value) {
  m_pb1->setValue(value);
}

void frmID3Info::onBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Lets the window repaint before the write; user input to this window
    // is held off while a command runs, so nothing here can start another.
    QApplication::processEvents();
  } else {
    QApplication::restoreOverrideCursor();
  }
}

int frmID3Info::controlTopic(QObject* watched) const {
  if (watched == m_drive1) return topics::kTagEditorDrive;
  if (watched == m_file1->viewport()) return topics::kTagEditorFileList;
  if (watched == m_frame2) return topics::kTagEditorReadout;
  if (watched == m_picture1 || watched == m_cover) return topics::kTagEditorPicture;
  if (watched == m_comment->viewport()) return fieldSpec(kV2Comment).topic;
  for (int index = 0; index < kFieldCount; ++index) {
    if (watched == txt(index)) return fieldSpec(index).topic;
  }
  return topics::kNoTopic;
}

bool frmID3Info::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (m_running && isUserInput(type) && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    // Only Cancel answers while a batch runs.
    if (widget != m_cancel && (widget == this || isAncestorOf(widget))) return true;
  }
  if (m_helpClicks.swallows(type)) return true;
  if (type == QEvent::MouseButtonPress) {
    const int topic = controlTopic(watched);
    if (topic != topics::kNoTopic && m_help.handledAsHelp(m_helpMode, topic)) {
      // In help mode the press only shows the topic: no selection, no
      // opened drive list.
      m_helpClicks.topicShownByPress();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmID3Info::closeEvent(QCloseEvent* event) {
  if (m_running) {
    // Closing in the middle of a Save or a batch waits for its end.
    m_closeWhenDone = true;
    event->ignore();
    return;
  }
  bool mayClose = true;
  {
    RunningCommand running(*this);
    mayClose = mayLeaveEdits();
  }
  if (!mayClose) {
    event->ignore();
    return;
  }
  ui::rememberPlace(*this, m_platform.settings);
  event->accept();
}

}  // namespace brindle::tageditor
