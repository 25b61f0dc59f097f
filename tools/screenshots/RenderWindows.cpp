// Renders each window offscreen into a PNG file, for the screenshots of the
// README: render_windows OUTPUT_DIR [PROGRAM_FOLDER]
//
// The main window browses a small sample folder made for the purpose; the
// data files (help file, licence text) come from PROGRAM_FOLDER, by default
// the folder of this executable.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "app/frmmainbrindle.h"
#include "app/program/InstallEditCommands.h"
#include "app/program/InstallRenameCommands.h"
#include "app/program/InstallTagEditorCommands.h"
#include "inspect/ID3.h"
#include "inspect/Id3v1Tag.h"
#include "platform/testing/TestPlatform.h"
#include "rename/renameall.h"
#include "tageditor/frmID3Info.h"
#include "ui/FileListBox.h"
#include "ui/core/ContextHelp.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/ObservedHistory.h"

namespace {

bool save(QWidget* window, const QString& directory, const QString& name) {
  window->show();
  QApplication::processEvents();
  const QString path = QDir(directory).filePath(name);
  if (!window->grab().save(path)) {
    std::fprintf(stderr, "render_windows: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

std::string makeSampleFolder() {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "Brindle Sample";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "Album Art");
  std::filesystem::create_directories(root / "Live");
  for (const char* name :
       {"01 Intro.mp3", "02 Harbour Lights.mp3", "03 Northern Road.mp3", "04 Small Hours.mp3",
        "05 Paper Boats.mp3", "06 Outro.mp3", "cover.jpg", "notes.txt", "Session Take 1.wav"}) {
    std::ofstream(root / name) << name;
  }
  return root.string();
}

/// A front cover for the sample song: a drawn sea and sun, as PNG bytes.
brindle::id3v2::Picture sampleCover() {
  QImage image(240, 240, QImage::Format_RGB32);
  image.fill(QColor(0xF2, 0xC1, 0x6B));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xE0, 0x5A, 0x2B));
  painter.drawEllipse(QPointF(120, 120), 56, 56);
  painter.setBrush(QColor(0x1F, 0x4E, 0x79));
  painter.drawRect(0, 150, 240, 90);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  brindle::id3v2::Picture cover;
  cover.mimeType = "image/png";
  cover.data.assign(bytes.begin(), bytes.end());
  return cover;
}

/// Makes `path` a three-minute MP3 file (MPEG 1 layer 3 frame headers at
/// 128 kbit/s with silent frames) with both tags, for the tag editor.
void makeTaggedSong(brindle::platform::testing::TestPlatform& test, const std::string& path) {
  std::string frame(417, '\0');
  frame.replace(0, 4, "\xFF\xFB\x90\x64");
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < 7098; ++i) out << frame;
  out.close();
  brindle::inspect::ID3 song(test.fileSystem, test.clock, test.dialogs);
  song.ReadID3(path);
  song.TAGv2Title = song.TAGv1Title = "Harbour Lights";
  song.TAGv2Artist = song.TAGv1Artist = "The Ferrymen";
  song.TAGv2Album = song.TAGv1Album = "Tides";
  song.TAGv2Created = song.TAGv1Created = "1998";
  song.TAGv2Genre = "Folk";
  song.TAGv1Genre = brindle::inspect::genreText(80);
  song.TAGv2Comment = "Recorded live at the harbour, one take.";
  song.TAGv1Comment = "Recorded live";
  song.TAGv2Track = "02";
  song.TAGv2Composer = "J. Marlow";
  song.TAGv2EncodedBy = "Brindle";
  song.CoverChange = brindle::id3v2::CoverEdit{sampleCover()};
  song.SaveID3();
}

/// Three rename batches of the sample folder, the first undone by the last,
/// recorded only: the files keep their names.
void recordSampleBatches(brindle::history::History& history, const std::string& folder) {
  using brindle::history::BatchState;
  const std::vector<brindle::history::RenameChange> lower = {
      {folder, "01 Intro.mp3", "", "01 INTRO.MP3"}, {folder, "06 Outro.mp3", "", "06 OUTRO.MP3"}};
  auto first = history.beginBatch("Convert All to Uppercase", {}, lower);
  if (first) (void)history.closeBatch(first.value(), BatchState::Undone);
  auto second =
      history.beginBatch("Rename Single File", {}, {{folder, "notes.txt", "", "readme.txt"}});
  if (second) (void)history.closeBatch(second.value(), BatchState::Done);
  std::vector<brindle::history::RenameChange> back;
  for (const auto& change : lower) back.push_back({folder, change.newName, "", change.oldName});
  auto undo = history.beginBatch("Undo Convert All to Uppercase", {}, back,
                                 first ? std::optional(first.value()) : std::nullopt);
  if (undo) (void)history.closeBatch(undo.value(), BatchState::Done);
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: render_windows OUTPUT_DIR [PROGRAM_FOLDER]\n");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(output);
  const std::string programFolder =
      argc > 2 ? argv[2] : QCoreApplication::applicationDirPath().toStdString();

  brindle::platform::testing::TestPlatform test(programFolder);
  brindle::platform::Platform platform = test.platform();
  brindle::ui::ContextHelp help(platform);
  const std::string sample = makeSampleFolder();
  test.fileSystem.setDrives({"/"});

  // A history in memory with a few batches, for the history window. It
  // outlives the window, whose Edit commands hold it.
  auto store = brindle::history::openHistory(":memory:");
  if (!store) return 1;
  brindle::ui::ObservedHistory history(*store.value());
  brindle::app::frmmainbrindle window(platform, help, sample);
  brindle::rename::RenameCommands& renames = brindle::rename::installRenameCommands(window);
  if (!window.startUp()) return 1;
  window.fileList().setListIndex(1);
  window.fileList().setSelected(1, true);
  window.fileList().setSelected(2, true);
  window.nameBox().setText("02 Harbour Lights.mp3");
  makeTaggedSong(test, sample + "/02 Harbour Lights.mp3");
  brindle::tageditor::TagEditorCommands& tags =
      brindle::tageditor::installTagEditorCommands(window);

  brindle::app::EditCommands& edits = brindle::app::installEditCommands(window, &history, tags);
  recordSampleBatches(history, sample);

  bool ok = save(&window, output, "main-window.png");
  ok = save(window.showAboutWindow(), output, "about.png") && ok;
  ok = save(window.showHelpWindow(), output, "help.png") && ok;
  ok = save(&renames.showNumberedDialog(), output, "renameall.png") && ok;
  brindle::tageditor::frmID3Info& editor = tags.showTagEditor();
  // The size it opens with on a 1366x768 screen, whatever screen renders it.
  editor.resize(1100, 700);
  editor.fileList().setCurrentIndex(editor.fileList().model()->index(1, 0));
  emit editor.fileList().entryDoubleClicked();
  ok = save(&editor, output, "tag-editor.png") && ok;
  if (brindle::ui::HistoryWindow* historyWindow = edits.showHistoryWindow()) {
    historyWindow->chooseRow(1);
    ok = save(historyWindow, output, "history.png") && ok;
  } else {
    ok = false;
  }
  window.showDisclaimerWindows();
  for (QWidget* top : QApplication::topLevelWidgets()) {
    const QString type = top->metaObject()->className();
    if (type.endsWith("frmDisclaimer")) ok = save(top, output, "disclaimer.png") && ok;
    if (type.endsWith("frmWarning")) ok = save(top, output, "warning.png") && ok;
  }
  std::filesystem::remove_all(sample);
  return ok ? 0 : 1;
}
