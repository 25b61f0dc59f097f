// Auto Info and Number Tracks in the window, on a small album of real files
// with a WAV file and a mixed-case name in the list: what each file holds
// afterwards, which files were written, the note, the progress bar, the
// report, and that nothing can start a second command while one runs.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "inspect/GenreList.h"
#include "tageditor/TagField.h"
#include "tests/tageditor/AudioFiles.h"
#include "tests/tageditor/TagEditorFixture.h"
#include "ui/FileListBox.h"

namespace brindle::tageditor {
namespace {

using inspect::genrePositionForText;

using namespace testfiles;
using platform::testing::FsOp;

class TagEditorBatchTest : public TagEditorFixture {
 protected:
  /// An MP3 file with its own titles, track and artist.
  std::string writeTrack(const std::string& name, const std::string& title,
                         const std::string& number) {
    return browsed.write(
        name, id3tag(3, textFrame("TIT2", title) + textFrame("TRCK", number) +
                            textFrame("TPE1", "Old Artist") + textFrame("TALB", "Old Album") +
                            pictureFrame()) +
                  audio() + v1Tag(title + " v1", "Old Artist", "Old Album", "1990", "old", 12));
  }

  /// Writes the album (three loadable MP3 files, a mixed-case name and a WAV
  /// file) and opens the tag editor on it.
  void openAlbum() {
    writeTrack("01 Intro.mp3", "Intro", "11");
    writeTrack("02 Road.mp3", "Road", "12");
    writeTrack("03 Song.Mp3", "Song", "13");
    browsed.write("04 Take.wav", wav(2, 44100, 16, 44100 * 4));
    writeTrack("05 End.MP3", "End", "15");
    openEditor();
    ASSERT_EQ(listed(), (std::vector<std::string>{"01 Intro.mp3", "02 Road.mp3", "03 Song.Mp3",
                                                  "04 Take.wav", "05 End.MP3"}));
    untouchedSong = testsupport::TempDir::read(browsed.file("03 Song.Mp3"));
    untouchedWav = testsupport::TempDir::read(browsed.file("04 Take.wav"));
  }

  /// How often the file was written: a save writes both tags into a new
  /// file that replaces the old one, or into the file itself, which it then
  /// flushes. A save that changes nothing writes nothing.
  long savesOf(const std::string& name) {
    long count = 0;
    for (const auto& call : test.fileSystem.callsOf(FsOp::ReplaceFile)) {
      if (call.second == browsed.file(name)) ++count;
    }
    for (const auto& call : test.fileSystem.callsOf(FsOp::Sync)) {
      if (call.path == browsed.file(name)) ++count;
    }
    return count;
  }

  /// Clicks a batch tool, answering its question `answer`.
  void runTool(const char* button, platform::Answer answer = platform::Answer::Yes) {
    test.dialogs.answer(answer);
    click(button);
  }

  std::vector<std::string> messageTexts() {
    std::vector<std::string> texts;
    for (const auto& message : test.dialogs.messages()) texts.push_back(message.text);
    return texts;
  }

  std::string untouchedSong;
  std::string untouchedWav;
};

TEST_F(TagEditorBatchTest, AutoInfoGivesTheAlbumTheValuesOnScreen) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  setField(kV2Artist, "The Ferrymen");
  setField(kV2Album, "Tides");
  setField(kV2Year, "1998");
  setField(kV2Genre, "Folk");
  setField(kV2Comment, "remastered");
  setField(kV2Composer, "J. Smith");
  setField(kV1Artist, "Ferrymen");
  setField(kV1Album, "Tides");
  setField(kV1Year, "1998");
  setField(kV1Comment, "rm");
  editor().genreList().setCurrentIndex(genrePositionForText("Folk"));
  test.fileSystem.clearCalls();
  runTool("Command11");

  const std::pair<const char*, std::pair<const char*, const char*>> loadable[] = {
      {"01 Intro.mp3", {"Intro", "11"}},
      {"02 Road.mp3", {"Road", "12"}},
      {"05 End.MP3", {"End", "15"}}};
  for (const auto& [name, own] : loadable) {
    SCOPED_TRACE(name);
    const SavedTags saved = readSaved(browsed.file(name));
    EXPECT_EQ(saved.v2.at(id3v2::TIT2), own.first);
    EXPECT_EQ(saved.v2.at(id3v2::TRCK), own.second);
    EXPECT_EQ(saved.v1->title, std::string(own.first) + " v1");
    EXPECT_EQ(saved.v2.at(id3v2::TPE1), "The Ferrymen");
    EXPECT_EQ(saved.v2.at(id3v2::TALB), "Tides");
    EXPECT_EQ(saved.v2.at(id3v2::TYER), "1998");
    EXPECT_EQ(saved.v2.at(id3v2::TCON), "Folk");
    EXPECT_EQ(saved.v2.at(id3v2::COMM), "remastered");
    EXPECT_EQ(saved.v2.at(id3v2::TCOM), "J. Smith");
    EXPECT_TRUE(saved.hasPicture);
    EXPECT_EQ(saved.v1->artist, "Ferrymen");
    EXPECT_EQ(saved.v1->comment, "rm");
    EXPECT_EQ(saved.v1->genre, 80);
  }
  // The file on screen was saved first (its own pass then found nothing
  // left to change); every other loadable file once.
  EXPECT_EQ(savesOf("01 Intro.mp3"), 1);
  EXPECT_EQ(savesOf("02 Road.mp3"), 1);
  EXPECT_EQ(savesOf("05 End.MP3"), 1);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("03 Song.Mp3")), untouchedSong);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("04 Take.wav")), untouchedWav);

  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{
                "Write Artist: The Ferrymen, Album: Tides, Year: 1998, Genre: Folk, Comment: "
                "remastered, Composer: J. Smith, Orig. Artist: (empty), Copyright: (empty), URL: "
                "(empty), Encoded By: (empty), ID3v1 Artist: Ferrymen, ID3v1 Album: Tides, ID3v1 "
                "Year: 1998, ID3v1 Comment: rm to 4 files?",
                "Select *.mp3 or *.wav file!!!",
                "Skipped 2 files of 5: only files ending in .mp3 or .MP3 are loaded and saved."}));
  EXPECT_EQ(test.dialogs.messages().front().buttons, platform::Buttons::YesNo);
  EXPECT_EQ(test.dialogs.messages().front().defaultButton, platform::DefaultButton::Second);
  EXPECT_EQ(test.dialogs.messages().back().icon, platform::Icon::Information);
  // At the end: the last file on screen, the note hidden, the bar at 0.
  EXPECT_EQ(field(kV2Title), "End");
  EXPECT_EQ(editor().fileList().listIndex(), 4);
  EXPECT_FALSE(editor().pleaseWaitNote().isVisible());
  EXPECT_EQ(editor().progressBar().value(), 0);
  // The last phase, the writing, counted the three loadable files.
  EXPECT_EQ(editor().progressBar().maximum(), 3);
}

TEST_F(TagEditorBatchTest, SkippedPassesNeverSaveIntoThePreviouslyLoadedFile) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  test.fileSystem.clearCalls();
  runTool("Command12");
  // 02 Road.mp3 was the loaded file during the passes of 03 Song.Mp3 and
  // 04 Take.wav: it keeps its own number and was written only once.
  EXPECT_EQ(readSaved(browsed.file("02 Road.mp3")).v2.at(id3v2::TRCK), "02");
  EXPECT_EQ(savesOf("02 Road.mp3"), 1);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("03 Song.Mp3")), untouchedSong);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("04 Take.wav")), untouchedWav);
}

TEST_F(TagEditorBatchTest, NumberTracksKeepsEveryOtherTag) {
  openAlbum();
  doubleClick("02 Road.mp3");
  runTool("Command12");
  EXPECT_EQ(readSaved(browsed.file("01 Intro.mp3")).v2.at(id3v2::TRCK), "01");
  EXPECT_EQ(readSaved(browsed.file("02 Road.mp3")).v2.at(id3v2::TRCK), "02");
  // The fourth MP3 name of the list; the WAV file takes no number.
  EXPECT_EQ(readSaved(browsed.file("05 End.MP3")).v2.at(id3v2::TRCK), "04");
  for (const char* name : {"01 Intro.mp3", "02 Road.mp3", "05 End.MP3"}) {
    SCOPED_TRACE(name);
    const SavedTags saved = readSaved(browsed.file(name));
    EXPECT_EQ(saved.v2.at(id3v2::TPE1), "Old Artist");
    EXPECT_EQ(saved.v2.at(id3v2::TALB), "Old Album");
    EXPECT_EQ(saved.v1->artist, "Old Artist");
    EXPECT_EQ(saved.v1->genre, 12);
    EXPECT_TRUE(saved.hasPicture);
  }
  EXPECT_EQ(readSaved(browsed.file("05 End.MP3")).v2.at(id3v2::TIT2), "End");
  EXPECT_EQ(messageTexts().back(),
            "Skipped 2 files of 5: only files ending in .mp3 or .MP3 are loaded and saved.");
}

TEST_F(TagEditorBatchTest, NumberTracksUpToAHundred) {
  for (int i = 1; i <= 100; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "song %03d.mp3", i);
    browsed.write(name, audio(600));
  }
  openEditor();
  doubleClick("song 001.mp3");
  runTool("Command12");
  for (const auto& [number, expected] : std::vector<std::pair<int, std::string>>{
           {1, "01"}, {9, "09"}, {10, "10"}, {12, "12"}, {99, "99"}, {100, "100"}}) {
    char name[32];
    std::snprintf(name, sizeof name, "song %03d.mp3", number);
    EXPECT_EQ(readSaved(browsed.file(name)).v2.at(id3v2::TRCK), expected) << name;
  }
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Number 100 files 01-100?"});
}

TEST_F(TagEditorBatchTest, EmptyListSavesTheFileOnScreenOnly) {
  writeTrack("a.mp3", "A", "01");
  openEditor();
  doubleClick("a.mp3");
  setField(kV2Album, "New Album");
  browsed.makeDirectory("later");
  // Only a.mp3 is in the list; the batch saves it as the file on screen and
  // then as the list's only entry.
  editor().progressBar().setMaximum(42);
  test.fileSystem.clearCalls();
  runTool("Command11");
  // Its pass found nothing left to change.
  EXPECT_EQ(savesOf("a.mp3"), 1);
  EXPECT_EQ(readSaved(browsed.file("a.mp3")).v2.at(id3v2::TALB), "New Album");
  EXPECT_EQ(editor().progressBar().value(), 0);
  EXPECT_FALSE(editor().pleaseWaitNote().isVisible());
  EXPECT_EQ(test.dialogs.calls().size(), 1u);
}

TEST_F(TagEditorBatchTest, BrowsingAwayForgetsTheLoadedFile) {
  // a.mp3 is loaded, then the user moves to another album's folder and types
  // its values: neither Auto Info nor Save may write them into a.mp3.
  const std::string original = testsupport::TempDir::read(writeTrack("a.mp3", "A", "01"));
  browsed.makeDirectory("other");
  const std::string other = browsed.file("other");
  browsed.write("other/b.mp3", testsupport::TempDir::read(browsed.file("a.mp3")));
  openEditor();
  doubleClick("a.mp3");
  ASSERT_TRUE(editor().directoryList().setPath(other));
  setField(kV2Album, "Other Album");
  test.fileSystem.clearCalls();
  runTool("Command11");
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("a.mp3")), original);
  EXPECT_EQ(readSaved(other + "/b.mp3").v2.at(id3v2::TALB), "Other Album");
  EXPECT_EQ(test.dialogs.calls().size(), 1u);

  ASSERT_TRUE(editor().directoryList().setPath(browsed.path()));
  setField(kV2Album, "Typed after browsing");
  click("Command1");
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("a.mp3")), original);
  ASSERT_FALSE(test.dialogs.messages().empty());
  EXPECT_EQ(test.dialogs.messages().back().text, "Oops! Error");
}

TEST_F(TagEditorBatchTest, SaveThatStopsEarlyDoesNotHoldUpTheBatch) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  // No genre entry selected: the values on screen cannot be saved, so the
  // file they belong to is reported and left as it was; the batch goes on.
  editor().genreList().setCurrentIndex(-1);
  test.fileSystem.clearCalls();
  runTool("Command12");
  EXPECT_EQ(savesOf("01 Intro.mp3"), 0);
  EXPECT_EQ(readSaved(browsed.file("05 End.MP3")).v2.at(id3v2::TRCK), "04");
  EXPECT_NE(messageTexts().back().find("01 Intro.mp3: "), std::string::npos)
      << messageTexts().back();
}

TEST_F(TagEditorBatchTest, FailedSavesAreCountedAndTheBatchGoesOn) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  test.fileSystem.fail(FsOp::CreateNewFile, platform::Error{EACCES, "denied"});
  test.fileSystem.fail(FsOp::OpenForUpdate, platform::Error{EACCES, "denied"});
  runTool("Command12");
  // The file on screen is written with the batch: no "Error: 10" of its own;
  // the batch reports its failures once, at the end, by name.
  const std::vector<std::string> texts = messageTexts();
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& text) { return text.starts_with("Error: 10"); }),
            0);
  EXPECT_EQ(texts.back(),
            "Skipped 2 files of 5: only files ending in .mp3 or .MP3 are loaded and saved.\n"
            "3 files could not be saved:\n"
            "01 Intro.mp3: cannot create a temporary file beside it: Permission denied\n"
            "02 Road.mp3: cannot create a temporary file beside it: Permission denied\n"
            "05 End.MP3: cannot create a temporary file beside it: Permission denied");
  EXPECT_EQ(readSaved(browsed.file("05 End.MP3")).v2.at(id3v2::TRCK), "15");
  EXPECT_EQ(editor().progressBar().value(), 0);
}

TEST_F(TagEditorBatchTest, NothingStartsAnotherCommandWhileABatchRuns) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  test.fileSystem.clearCalls();
  bool observed = false;
  // Runs when the batch lets pending events run after its first file.
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        observed = true;
        EXPECT_TRUE(editor().commandRunning());
        EXPECT_TRUE(editor().pleaseWaitNote().isVisible());
        EXPECT_TRUE(editor().pleaseWaitNote().text().contains("Please Wait!"));
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // A click, a button pressed by the program, help mode and a double
        // click: none of them acts now.
        QTest::mouseClick(editor().button("Command11"), Qt::LeftButton);
        editor().button("Command12")->click();
        editor().button("Command8")->click();
        editor().menuItem("mnuhelpme")->trigger();
        doubleClick("03 Song.Mp3");
        editor().close();
        EXPECT_TRUE(editor().isVisible());
      },
      Qt::QueuedConnection);
  runTool("Command12");
  EXPECT_TRUE(observed);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(editor().helpMode().isOn());
  // One batch only: every loadable file saved once, the one on screen with
  // the rest.
  EXPECT_EQ(savesOf("01 Intro.mp3"), 1);
  EXPECT_EQ(savesOf("02 Road.mp3"), 1);
  EXPECT_EQ(savesOf("05 End.MP3"), 1);
  const std::vector<std::string> texts = messageTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Select *.mp3 or *.wav file!!!"), 1);
  // The close asked for during the batch happens at its end.
  EXPECT_FALSE(editor().isVisible());
}

TEST_F(TagEditorBatchTest, NoToTheQuestionLeavesEveryFileAsItWas) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  setField(kV2Artist, "");
  const std::string intro = testsupport::TempDir::read(browsed.file("01 Intro.mp3"));
  const std::string road = testsupport::TempDir::read(browsed.file("02 Road.mp3"));
  test.fileSystem.clearCalls();
  runTool("Command11", platform::Answer::No);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("01 Intro.mp3")), intro);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("02 Road.mp3")), road);
  EXPECT_EQ(test.dialogs.calls().size(), 1u);
  runTool("Command12", platform::Answer::No);
  EXPECT_EQ(messageTexts().back(), "Number 4 files 01-04?");
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("02 Road.mp3")), road);
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::OpenForUpdate).empty());
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::CreateNewFile).empty());
}

TEST_F(TagEditorBatchTest, CancelBesideTheProgressBarStopsTheBatch) {
  openAlbum();
  doubleClick("01 Intro.mp3");
  const std::string road = testsupport::TempDir::read(browsed.file("02 Road.mp3"));
  bool pressed = false;
  // Pressed while the file on screen is saved, as the user would.
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        EXPECT_TRUE(editor().cancelButton().isVisible());
        QTest::mouseClick(&editor().cancelButton(), Qt::LeftButton);
        pressed = true;
      },
      Qt::QueuedConnection);
  runTool("Command12");
  EXPECT_TRUE(pressed);
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("02 Road.mp3")), road);
  EXPECT_EQ(messageTexts().back(), "Stopped: 0 files saved; the others were left as they were.");
  EXPECT_FALSE(editor().cancelButton().isVisible());
  EXPECT_FALSE(editor().commandRunning());
}

TEST_F(TagEditorBatchTest, SaveLetsPendingEventsRunButNotAnotherCommand) {
  writeTrack("a.mp3", "A", "01");
  openEditor();
  doubleClick("a.mp3");
  test.fileSystem.clearCalls();
  bool observed = false;
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        observed = true;
        editor().button("Command1")->click();
        editor().button("Command11")->click();
      },
      Qt::QueuedConnection);
  click("Command1");
  EXPECT_TRUE(observed);
  EXPECT_EQ(savesOf("a.mp3"), 1);
  EXPECT_FALSE(editor().commandRunning());
}

}  // namespace
}  // namespace brindle::tageditor
