// The tag editor window opened from the main window, offscreen: which control
// calls which core function and what file changes, and the help-mode contract
// of every control. The behaviour itself is tested in the core.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "app/program/InstallEditCommands.h"
#include "inspect/Readout.h"
#include "tests/tageditor/TagEditorFixture.h"
#include "ui/DirectoryListBox.h"
#include "ui/core/HelpTopics.h"
#include "ui/history/ObservedHistory.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;
using platform::Answer;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using testsupport::TempDir;

using TagEditorWindowTest = TagEditorFixture;

TEST_F(TagEditorWindowTest, ListsAndLoadsMp3AndWavFiles) {
  writeSong("a.mp3", "First");
  writeSong("Song.Mp3", "Mixed");
  browsed.write("b.WAV", wav(1, 22050, 8, 22050 * 4));
  browsed.write("c.txt", "x");
  frmID3Info& tags = openEditor();
  EXPECT_EQ(tags.directoryList().path(), browsed.path());
  EXPECT_EQ(listed(), (std::vector<std::string>{"a.mp3", "b.WAV", "Song.Mp3"}));
  EXPECT_EQ(tags.genreList().count(), 150);
  doubleClick("a.mp3");
  EXPECT_EQ(field(kV2Title), "First");
  EXPECT_EQ(tags.genreList().currentText(), "Rock");
  EXPECT_EQ(tags.lbl(10)->text().toStdString(), inspect::mp3Readout(tags.component())[10]);

  // A WAV readout hides the tag frames and the cover and disables their buttons.
  doubleClick("b.WAV");
  EXPECT_FALSE(tags.tagFrame(0).isVisible());
  EXPECT_FALSE(tags.findChild<QGroupBox*>("FrameCover")->isVisible());
  for (const char* name : {"Command1", "Command2", "Command3", "cmdSetCover"}) {
    EXPECT_FALSE(tags.button(name)->isEnabled()) << name;
  }
  EXPECT_EQ(tags.lbl(5)->text().toStdString(), inspect::wavReadout(tags.component())[5]);
  EXPECT_EQ(tags.lbl(6)->text(), "");
  doubleClick("Song.Mp3");
  EXPECT_EQ(lastMessage(), "Select *.mp3 or *.wav file!!!");
  doubleClick("a.mp3");
  EXPECT_TRUE(tags.tagFrame(0).isVisible());
  EXPECT_TRUE(tags.button("Command1")->isEnabled());
}

// A single click or an arrow key loads the entry it makes current, asking first about edits.
TEST_F(TagEditorWindowTest, AClickOrAnArrowKeyLoadsTheCurrentFile) {
  writeSong("a.mp3", "First");
  writeSong("b.mp3", "Second");
  openEditor();
  ui::FileListBox& list = editor().fileList();
  const QPoint first = list.visualRect(list.model()->index(0, 0)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, first);
  EXPECT_EQ(field(kV2Title), "First");
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(field(kV2Title), "Second");
  setField(kV2Title, "Edited");
  test.dialogs.answer(Answer::Cancel);
  QTest::keyClick(&list, Qt::Key_Up);
  EXPECT_EQ(lastMessage(), "Save changes to b.mp3?");
  EXPECT_EQ(field(kV2Title), "Edited");
}

// Loading another file or closing asks "Save changes to NAME?" about edits.
TEST_F(TagEditorWindowTest, UnsavedEditsAreAskedAboutBeforeTheyAreLeft) {
  const struct {
    Answer answer;
    bool closeWindow;
  } cases[] = {{Answer::Save, false},
               {Answer::Cancel, false},
               {Answer::Discard, true},
               {Answer::Cancel, true}};
  for (const auto& row : cases) {
    SCOPED_TRACE(platform::testing::answerName(row.answer) + (row.closeWindow ? " closing" : ""));
    const std::string before = TempDir::read(writeSong("a.mp3", "First"));
    writeSong("b.mp3", "Second");
    frmID3Info& tags = openEditor();
    doubleClick("a.mp3");
    test.dialogs.clear();
    setField(kV2Title, "Edited");
    test.dialogs.answer(row.answer);
    row.closeWindow ? (void)tags.close() : doubleClick("b.mp3");
    EXPECT_EQ(lastMessage(), "Save changes to a.mp3?");
    const bool leaves = row.answer != Answer::Cancel;
    EXPECT_EQ(TempDir::read(browsed.file("a.mp3")) == before, row.answer != Answer::Save);
    EXPECT_EQ(row.closeWindow ? tags.isVisible() : field(kV2Title) == "Edited", !leaves);
    if (!leaves) setField(kV2Title, "First");
    if (!(row.closeWindow && leaves)) tags.close();
    EXPECT_EQ(test.dialogs.messages().size(), 1u);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(commands->tagEditor(), nullptr);
  }
  // Closing the main window asks too: Cancel keeps both open.
  writeSong("a.mp3", "First");
  frmID3Info& tags = openEditor();
  doubleClick("a.mp3");
  setField(kV2Title, "Edited");
  test.dialogs.answer(Answer::Cancel);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(tags.isVisible());
  test.dialogs.answer(Answer::Discard);
  EXPECT_TRUE(window->close());
}

// Save writes the loaded file (UTF-16 where needed) and says so.
TEST_F(TagEditorWindowTest, SaveWritesTheLoadedFile) {
  writeSong("b.mp3", "Second");
  frmID3Info& tags = openEditor();
  doubleClick("b.mp3");
  setField(kV2Title, QString::fromUtf8("Сон — 夢"));
  click("Command1");
  EXPECT_EQ(tags.statusBar()->currentMessage(), "Saved b.mp3");
  EXPECT_EQ(readSaved(browsed.file("b.mp3")).v2.at(id3v2::TIT2), "Сон — 夢");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// Each on-screen command changes the fields and writes nothing.
TEST_F(TagEditorWindowTest, ButtonsRunTheirCommandsOnScreen) {
  const struct {
    const char* button;
    const char* v1Title;
    const char* v2Title;
    const char* artist;
  } cases[] = {
      {"Command2", "the song", "the song", "Artist"},
      {"Command3", "the song v1", "the song v1", "Artist"},
      {"Command4", "The Song V1", "The Song", "Artist"},
      {"Command5", "the song v1", "the song", ""},
      {"Command6", "the song v1", "Track 01", "Artist"},
      {"Command8", "", "", ""},
      {"Command9", "", "the song", "Artist"},
      {"Command10", "the song v1", "", ""},
  };
  writeSong("Track 01.mp3", "the song");
  openEditor();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.button);
    test.dialogs.answer(Answer::Discard);
    doubleClick("Track 01.mp3");
    test.fileSystem.clearCalls();
    click(row.button);
    EXPECT_EQ(field(kV1Title), row.v1Title);
    EXPECT_EQ(field(kV2Title), row.v2Title);
    EXPECT_EQ(field(kV2Artist), row.artist);
    EXPECT_TRUE(test.fileSystem.calls().empty());
  }
}

// Another folder forgets the loaded file: a Save then writes nothing; the
// values typed are remembered across windows.
TEST_F(TagEditorWindowTest, AnotherFolderForgetsTheLoadedFileAndValuesOutliveTheWindow) {
  writeSong("song.mp3", "T");
  browsed.makeDirectory("other");
  openEditor();
  doubleClick("song.mp3");
  setField(kV2Title, "Saved");
  click("Command1");
  ASSERT_TRUE(editor().directoryList().setPath(browsed.file("other")));
  EXPECT_EQ(field(kV2Title), "");
  EXPECT_TRUE(editor().component().FileName.empty());
  setField(kV2Album, "Remembered Album");
  click("Command1");
  EXPECT_EQ(lastMessage(), "Oops! Error");
  EXPECT_EQ(readSaved(browsed.file("song.mp3")).v2.at(id3v2::TALB), "");

  test.dialogs.answer(Answer::Discard);
  click("Command7");  // Exit
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(commands->tagEditor(), nullptr);
  window->menuItem("mnueditmp3tags")->trigger();
  ASSERT_NE(commands->tagEditor(), nullptr);
  click("Command5");
  EXPECT_EQ(field(kV2Album), "Remembered Album");
  window->close();
  EXPECT_FALSE(editor().isVisible());
}

// Auto Info and Number Tracks ask, write the listed MP3 files and report the skipped ones.
TEST_F(TagEditorWindowTest, BatchToolsWriteTheAlbum) {
  writeSong("01 a.mp3", "A");
  writeSong("02 b.mp3", "B");
  browsed.write("03 c.wav", wav(1, 8000, 8, 8000));
  openEditor();
  doubleClick("01 a.mp3");
  setField(kV2Album, "Tides");
  test.dialogs.answer(Answer::Yes);
  click("Command11");
  EXPECT_EQ(test.dialogs.messages().front().buttons, platform::Buttons::YesNo);
  EXPECT_EQ(test.dialogs.messages().front().defaultButton, platform::DefaultButton::Second);
  EXPECT_EQ(readSaved(browsed.file("02 b.mp3")).v2.at(id3v2::TALB), "Tides");
  EXPECT_EQ(readSaved(browsed.file("02 b.mp3")).v2.at(id3v2::TIT2), "B");
  EXPECT_EQ(lastMessage(),
            "Skipped 1 file of 3: only files ending in .mp3 or .MP3 are loaded and saved.");
  test.dialogs.answer(Answer::Yes);
  click("Command12");
  EXPECT_EQ(readSaved(browsed.file("02 b.mp3")).v2.at(id3v2::TRCK), "02");
  EXPECT_FALSE(editor().pleaseWaitNote().isVisible());
  EXPECT_EQ(editor().progressBar().value(), 0);
}

// While a batch runs nothing else starts; Cancel beside the bar stops it.
TEST_F(TagEditorWindowTest, NothingStartsWhileABatchRunsAndCancelStopsIt) {
  writeSong("a.mp3", "A");
  const std::string before = TempDir::read(writeSong("b.mp3", "B"));
  openEditor();
  bool observed = false;
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        observed = true;
        EXPECT_TRUE(editor().commandRunning());
        EXPECT_TRUE(editor().pleaseWaitNote().isVisible());
        editor().button("Command11")->click();
        editor().button("Command8")->click();
        editor().close();
        EXPECT_TRUE(editor().isVisible());
        QTest::mouseClick(&editor().cancelButton(), Qt::LeftButton);
      },
      Qt::QueuedConnection);
  test.dialogs.answer(Answer::Yes);
  click("Command12");
  EXPECT_TRUE(observed);
  EXPECT_EQ(TempDir::read(browsed.file("b.mp3")), before);
  EXPECT_EQ(lastMessage(), "Stopped: 0 files saved; the others were left as they were.");
  EXPECT_EQ(test.dialogs.messages().size(), 2u);
  EXPECT_FALSE(editor().commandRunning());
  EXPECT_FALSE(editor().isVisible());  // the close asked for during the batch
}

// The cover buttons: a chosen PNG is shown and saved with the fields, a file
// of another kind is refused, Remove leaves no picture.
TEST_F(TagEditorWindowTest, CoverButtons) {
  const std::string png = bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 7});
  const std::string image = browsed.write("cover.png", png);
  const std::string notes = browsed.write("notes.png", "GIF89a");
  const std::string path = writeSong("a.mp3", "Song");
  frmID3Info& tags = openEditor();
  EXPECT_FALSE(tags.button("cmdSetCover")->isEnabled());
  doubleClick("a.mp3");
  EXPECT_EQ(tags.coverImage().text(), "(cover)");
  test.dialogs.choose(notes);
  click("cmdSetCover");
  EXPECT_EQ(lastMessage(), "Cannot use notes.png as the cover:\nit is not a JPEG or PNG image");
  test.dialogs.clear();
  test.dialogs.choose(image);
  click("cmdSetCover");
  EXPECT_EQ(test.dialogs.calls().at(0).kind, DialogCall::Kind::Open);
  EXPECT_EQ(test.dialogs.calls().at(0).open.filter, "Images (*.jpg *.jpeg *.png)");
  click("Command1");
  const std::string frame = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0}) + png);
  EXPECT_NE(TempDir::read(path).find(frame), std::string::npos);
  click("cmdRemoveCover");
  EXPECT_EQ(tags.coverImage().text(), "");
  click("Command1");
  EXPECT_FALSE(readSaved(path).hasPicture);
}

/// The tag editor and the Edit commands recording into a history in memory.
class TagEditorUndoTest : public TagEditorFixture {
 protected:
  TagEditorUndoTest()
      : store(std::move(history::openHistory(":memory:").value())), observed(*store) {}
  ~TagEditorUndoTest() override { window.reset(); }

  frmID3Info& openRecordingEditor() {
    frmID3Info& opened = openEditor(&observed);
    edits = &app::installEditCommands(*window, &observed, *commands);
    return opened;
  }

  std::unique_ptr<history::History> store;
  ui::ObservedHistory observed;
  app::EditCommands* edits = nullptr;
};

// One Undo takes back every file of the batch, the one edited on screen too,
// and the fields show it; History... lists the batch and its undo.
TEST_F(TagEditorUndoTest, UndoTakesTheBatchBackAndReloadsTheFields) {
  const std::string first = writeSong("a.mp3", "First");
  const std::string second = writeSong("b.mp3", "Second");
  const std::string firstBefore = TempDir::read(first);
  const std::string secondBefore = TempDir::read(second);
  frmID3Info& tags = openRecordingEditor();
  doubleClick("a.mp3");
  setField(kV2Title, "Typed title");
  test.dialogs.answer(Answer::Yes);
  click("Command12");  // Number Tracks
  ASSERT_EQ(readSaved(first).v2.at(id3v2::TIT2), "Typed title");
  ASSERT_EQ(field(kV2Track), "02");
  EXPECT_EQ(window->menuItem("mnuundo")->text(), "Undo Number Tracks");
  test.dialogs.clear();
  tags.menuItem("mnuundo")->trigger();
  EXPECT_EQ(TempDir::read(first), firstBefore);
  EXPECT_EQ(TempDir::read(second), secondBefore);
  EXPECT_EQ(field(kV2Track), "07");
  EXPECT_NE(lastMessage().find("2 file(s) restored"), std::string::npos);
  tags.menuItem("mnuhistory")->trigger();
  ASSERT_NE(edits->historyWindow(), nullptr);
  ASSERT_EQ(edits->historyWindow()->rows().size(), 2u);
  EXPECT_EQ(edits->historyWindow()->rows()[0].command, "Undo Number Tracks");
}

// Help mode: every control with a topic shows its topic and does nothing
// else, and every window leaves help mode; outside help mode it shows none.
struct ControlCase {
  std::string name;
  int topic;
};

std::vector<ControlCase> controlsWithTopics() {
  std::vector<ControlCase> controls{
      {"Drive1", topics::kTagEditorDrive},    {"File1", topics::kTagEditorFileList},
      {"Frame2", topics::kTagEditorReadout},  {"Picture1", topics::kTagEditorPicture},
      {"Command1", topics::kSaveTags},        {"Command2", topics::kCopyVersion2To1},
      {"Command3", topics::kCopyVersion1To2}, {"Command4", topics::kTitleCaseFields},
      {"Command5", topics::kUsePrevious},     {"Command6", topics::kNameFromFile},
      {"Command7", topics::kExitTagEditor},   {"Command8", topics::kClearAllTags},
      {"Command9", topics::kClearVersion1},   {"Command10", topics::kClearVersion2},
      {"Command11", topics::kAutoInfo},       {"Command12", topics::kNumberTracks}};
  for (const FieldSpec& spec : fieldSpecs()) {
    controls.push_back({"txt_" + std::to_string(spec.index), spec.topic});
  }
  return controls;
}

class TagEditorHelpMode : public TagEditorFixture,
                          public ::testing::WithParamInterface<ControlCase> {
 protected:
  void SetUp() override {
    writeSong("a.mp3", "Title");
    openEditor();
    doubleClick("a.mp3");
    help.addWindow(otherWindow);
  }
  void TearDown() override { help.removeWindow(otherWindow); }

  QWidget* target(const std::string& name) {
    if (name == "File1") return editor().fileList().viewport();
    if (name == "txt_6") return static_cast<QPlainTextEdit*>(editor().txt(kV2Comment))->viewport();
    return editor().findChild<QWidget*>(QString::fromStdString(name));
  }

  ui::HelpMode otherWindow;
};

TEST_P(TagEditorHelpMode, PressShowsTheTopicOnlyInHelpMode) {
  const ControlCase& control = GetParam();
  QWidget* widget = target(control.name);
  ASSERT_NE(widget, nullptr);
  editor().fileList().clearSelection();
  const TagFields before = editor().fields();
  editor().menuItem("mnuhelpme")->trigger();
  window->helpMode().toggle();
  otherWindow.toggle();
  EXPECT_EQ(editor().cursor().shape(), Qt::WhatsThisCursor);
  test.dialogs.clear();
  test.fileSystem.clearCalls();
  const QPoint at = control.name.starts_with("Command") ? widget->rect().center() : QPoint(4, 4);
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);

  ASSERT_EQ(test.dialogs.calls().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].title, "Help!");
  EXPECT_EQ(test.dialogs.messages()[0].text, topicText(control.topic));
  EXPECT_FALSE(editor().helpMode().isOn());
  EXPECT_FALSE(window->helpMode().isOn());
  EXPECT_FALSE(otherWindow.isOn());
  ASSERT_EQ(test.fileSystem.calls().size(), 1u);
  EXPECT_EQ(test.fileSystem.calls()[0].op, FsOp::ReadFile);
  EXPECT_EQ(editor().fields(), before);
  EXPECT_TRUE(editor().isVisible());
  EXPECT_EQ(editor().fileList().selectedCount(), 0);

  // Outside help mode the same press shows no topic.
  test.dialogs.clear();
  if (control.name == "Command7") test.dialogs.answer(platform::Answer::Discard);
  test.dialogs.answer(platform::Answer::No);
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  editor().driveList().hidePopup();
  for (const auto& message : test.dialogs.messages()) EXPECT_NE(message.title, "Help!");
}

INSTANTIATE_TEST_SUITE_P(EveryControl, TagEditorHelpMode, ::testing::ValuesIn(controlsWithTopics()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace brindle::tageditor
