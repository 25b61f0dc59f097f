// Loading and saving through the inspection component, on crafted files:
// the fields and readouts, the bytes written, the Error event's message, and
// Saves that stop early or are refused.
#include "tageditor/core/TagSession.h"

#include <gtest/gtest.h>

#include "inspect/GenreList.h"
#include "inspect/Readout.h"
#include "platform/testing/TestPlatform.h"
#include "tests/history/FakeHistory.h"
#include "tests/tageditor/AudioFiles.h"

namespace brindle::tageditor {
namespace {

using inspect::genreList;
using inspect::genrePositionForText;

using namespace testfiles;
using platform::testing::FsOp;

class TagSessionTest : public ::testing::Test {
 protected:
  TagSessionTest() { component.setDecimalSeparator('.'); }

  std::string taggedFile(const std::string& name = "song.mp3") {
    return folder.write(
        name,
        id3tag(3, textFrame("TIT2", "Harbour Lights") + textFrame("TPE1", "The Ferrymen") +
                      textFrame("TALB", "Tides") + textFrame("TRCK", "02") +
                      textFrame("TCON", "Folk") + commentFrame("live take") + pictureFrame()) +
            audio() + v1Tag("Harbour", "Ferrymen", "Tides", "1999", "v1", 80));
  }

  testsupport::TempDir folder;
  platform::testing::TestPlatform test;
  inspect::ID3 component{test.fileSystem, test.clock, test.dialogs};
  RememberedValues remembered;
  TagSession session{component, test.dialogs, remembered};
};

/// With a history, a Save is one recorded batch; a failure shows the same
/// "Error: 10" box with its reason, once.
TEST_F(TagSessionTest, SaveWithAHistoryIsOneRecordedBatch) {
  history::testing::FakeHistory history;
  session.setHistory(&history, test.fileSystem);
  taggedFile();
  Loaded loaded = session.load(folder.path(), "song.mp3");
  ASSERT_TRUE(loaded.fields);
  loaded.fields->txt[kV2Title] = "Lights";
  EXPECT_EQ(session.save(*loaded.fields), SaveResult::Saved);
  ASSERT_EQ(history.recorded().size(), 1u);
  EXPECT_EQ(history.recorded()[0].summary.command, "Save");
  EXPECT_EQ(history.recorded()[0].summary.state, history::BatchState::Done);
  const auto& after = history.recorded()[0].tags.at(0).after;
  const std::string now = testsupport::TempDir::read(folder.file("song.mp3"));
  EXPECT_EQ(now.substr(0, after.version2.size()),
            std::string(after.version2.begin(), after.version2.end()));
  EXPECT_NE(now.find("Lights"), std::string::npos);
  EXPECT_TRUE(test.dialogs.calls().empty());

  test.fileSystem.fail(FsOp::OpenForUpdate, {EIO, "scripted"});
  loaded.fields->txt[kV2Title] = "Other";
  EXPECT_EQ(session.save(*loaded.fields), SaveResult::Failed);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Error: 10\ncannot open the file: Input/output error");
  EXPECT_EQ(history.recorded().size(), 2u);
}

TEST_F(TagSessionTest, LoadsAnMp3File) {
  taggedFile();
  const Loaded loaded = session.load(folder.path(), "song.mp3");
  ASSERT_EQ(loaded.result, LoadResult::Mp3);
  ASSERT_TRUE(loaded.fields);
  EXPECT_EQ(loaded.fields->txt[kV2Title], "Harbour Lights");
  EXPECT_EQ(loaded.fields->txt[kV2Artist], "The Ferrymen");
  EXPECT_EQ(loaded.fields->txt[kV2Track], "02");
  EXPECT_EQ(loaded.fields->txt[kV2Comment], "live take");
  EXPECT_EQ(loaded.fields->txt[kV1Title], "Harbour");
  EXPECT_EQ(loaded.fields->txt[kV1Year], "1999");
  EXPECT_STREQ(genreList()[static_cast<std::size_t>(loaded.fields->genre)].name, "Folk");
  EXPECT_EQ(loaded.readout, inspect::mp3Readout(component));
  ASSERT_EQ(loaded.readout.size(), 11u);
  EXPECT_EQ(loaded.readout[9], "ID3 Tag v1: True");
  EXPECT_EQ(loaded.readout[10], "ID3 Tag v2: True");
  EXPECT_EQ(component.FileName, folder.file("song.mp3"));
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(TagSessionTest, ReadoutOfAFileOf3000000Bytes) {
  folder.write("big.mp3", audio(3000000));
  const Loaded loaded = session.load(folder.path(), "big.mp3");
  ASSERT_EQ(loaded.readout.size(), 11u);
  EXPECT_EQ(loaded.readout[0], "Size: 2.86 MB   (3000000 B)");
  EXPECT_EQ(loaded.readout[2], "MPEG 1.0 layer 3");
  EXPECT_EQ(loaded.readout[3], "128 kbps");
  EXPECT_EQ(loaded.readout[9], "ID3 Tag v1: False");
  EXPECT_EQ(loaded.readout[10], "ID3 Tag v2: False");
}

TEST_F(TagSessionTest, LoadsTheWavReadoutAndKeepsTheLoadedFile) {
  taggedFile();
  session.load(folder.path(), "song.mp3");
  folder.write("take.WAV", wav(2, 44100, 16, 176400 * 3));
  const Loaded loaded = session.load(folder.path(), "take.WAV");
  EXPECT_EQ(loaded.result, LoadResult::Wav);
  EXPECT_FALSE(loaded.fields);
  const std::vector<std::string> expected{"Size: 516.83 kB   (529244 B)",
                                          "Lenght: 0:03   (3 sec)",
                                          "Bitrate: 1411200",
                                          "Bits: 16",
                                          "Channels: 2",
                                          "Frequency: 44100"};
  EXPECT_EQ(loaded.readout, expected);
  EXPECT_EQ(component.FileName, folder.file("song.mp3"));
}

TEST_F(TagSessionTest, OtherEndingsAreRefusedWithAMessage) {
  taggedFile("Song.Mp3");
  const Loaded loaded = session.load(folder.path(), "Song.Mp3");
  EXPECT_EQ(loaded.result, LoadResult::Refused);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Select *.mp3 or *.wav file!!!");
  EXPECT_EQ(test.dialogs.messages()[0].buttons, platform::Buttons::Ok);
  EXPECT_EQ(test.dialogs.messages()[0].title, "Brindle");
  EXPECT_TRUE(component.FileName.empty());
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::OpenForReading).empty());
}

TEST_F(TagSessionTest, SaveWritesBothTagsKeepsOtherFramesAndRemembers) {
  const std::string path = taggedFile();
  TagFields fields = *session.load(folder.path(), "song.mp3").fields;
  fields.txt[kV2Album] = "Tides (Remastered)";
  fields.txt[kV2Composer] = "J. Smith";
  fields.txt[kV1Album] = "Tides R";
  fields.genre = genrePositionForText("Rock");
  EXPECT_EQ(session.save(fields), SaveResult::Saved);
  EXPECT_EQ(component.ID3SaveDone, 0);

  const SavedTags saved = readSaved(path);
  EXPECT_EQ(saved.v2.at(id3v2::TALB), "Tides (Remastered)");
  EXPECT_EQ(saved.v2.at(id3v2::TCOM), "J. Smith");
  EXPECT_EQ(saved.v2.at(id3v2::TIT2), "Harbour Lights");
  EXPECT_EQ(saved.v2.at(id3v2::TRCK), "02");
  EXPECT_TRUE(saved.hasPicture);
  ASSERT_TRUE(saved.v1);
  EXPECT_EQ(saved.v1->album, "Tides R");
  EXPECT_EQ(saved.v1->genre, 17);
  EXPECT_EQ(remembered.value(kV2Album), "Tides (Remastered)");
  EXPECT_EQ(remembered.value(kV2Title), "");  // titles are not remembered
  EXPECT_TRUE(test.dialogs.calls().empty());
}

TEST_F(TagSessionTest, ErrorEventIsShownAsErrorTheNumberAndTheReason) {
  const std::string path = taggedFile();
  TagFields fields = *session.load(folder.path(), "song.mp3").fields;
  test.fileSystem.fail(FsOp::OpenForUpdate, platform::Error{EACCES, "denied"});
  test.fileSystem.fail(FsOp::CreateNewFile, platform::Error{EACCES, "denied"});
  fields.txt[kV2Title] = "changed";
  EXPECT_EQ(session.save(fields), SaveResult::Failed);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text,
            "Error: 10\ncannot create a temporary file beside it: Permission denied");
  EXPECT_EQ(test.dialogs.messages()[0].buttons, platform::Buttons::Ok);
  EXPECT_EQ(test.dialogs.messages()[0].icon, platform::Icon::None);
  EXPECT_EQ(readSaved(path).v2.at(id3v2::TIT2), "Harbour Lights");
  EXPECT_EQ(component.ID3SaveDone, 0);
}

TEST_F(TagSessionTest, SaveThatStopsAtTheGenreWritesNothing) {
  const std::string path = taggedFile();
  const std::string before = testsupport::TempDir::read(path);
  TagFields fields = *session.load(folder.path(), "song.mp3").fields;
  fields.txt[kV2Album] = "never written";
  fields.genre = -1;
  test.fileSystem.clearCalls();
  EXPECT_EQ(session.save(fields), SaveResult::Stopped);
  EXPECT_EQ(testsupport::TempDir::read(path), before);
  EXPECT_TRUE(test.fileSystem.calls().empty());
  EXPECT_EQ(remembered.value(kV2Album), "");
  EXPECT_EQ(component.ID3SaveDone, 0);
}

TEST_F(TagSessionTest, SaveWithoutALoadedFileIsRefusedByTheComponent) {
  TagFields fields;
  fields.txt[kV2Artist] = "remembered anyway";
  EXPECT_EQ(session.save(fields), SaveResult::Failed);
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Oops! Error");
  EXPECT_EQ(component.ID3SaveDone, 0);
  EXPECT_EQ(remembered.value(kV2Artist), "remembered anyway");
}

}  // namespace
}  // namespace brindle::tageditor

namespace brindle::tageditor {
namespace {

std::size_t countOf(const std::string& haystack, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

/// A load shows the front cover; a cover set or removed is written by the
/// next Save with the fields, recorded or not, and then forgotten.
TEST_F(TagSessionTest, CoverChangesAreSavedWithTheFields) {
  const std::string png = bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 7});
  const std::string newFrame = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0}) + png);
  history::testing::FakeHistory history;
  for (const bool recorded : {false, true}) {
    SCOPED_TRACE(recorded ? "recorded" : "plain");
    if (recorded) session.setHistory(&history, test.fileSystem);
    const std::string path = taggedFile();
    Loaded loaded = session.load(folder.path(), "song.mp3");
    ASSERT_TRUE(loaded.cover);
    EXPECT_EQ(loaded.cover->mimeType, "image/png");
    EXPECT_EQ(loaded.cover->data, (id3v2::ByteVector{0x89, 'P', 'N', 'G'}));

    session.changeCover(
        id3v2::CoverEdit{id3v2::Picture{0, "image/png", 3, {}, {png.begin(), png.end()}}});
    EXPECT_TRUE(session.coverChanged());
    EXPECT_EQ(session.save(*loaded.fields), SaveResult::Saved);
    EXPECT_FALSE(session.coverChanged());
    std::string now = testsupport::TempDir::read(path);
    EXPECT_EQ(countOf(now, "APIC"), 1u);
    EXPECT_EQ(countOf(now, newFrame), 1u);
    EXPECT_EQ(session.load(folder.path(), "song.mp3").cover->data,
              id3v2::ByteVector(png.begin(), png.end()));

    session.changeCover(id3v2::CoverEdit{});
    EXPECT_EQ(session.save(*loaded.fields), SaveResult::Saved);
    now = testsupport::TempDir::read(path);
    EXPECT_EQ(countOf(now, "APIC"), 0u);
    EXPECT_NE(now.find("Harbour Lights"), std::string::npos);
    EXPECT_FALSE(session.load(folder.path(), "song.mp3").cover);
  }
  EXPECT_EQ(history.recorded().size(), 2u);
}

/// Loading another file forgets a cover change that was not saved.
TEST_F(TagSessionTest, LoadingForgetsAnUnsavedCoverChange) {
  const std::string path = taggedFile();
  const std::string before = testsupport::TempDir::read(path);
  Loaded loaded = session.load(folder.path(), "song.mp3");
  session.changeCover(id3v2::CoverEdit{});
  session.load(folder.path(), "song.mp3");
  EXPECT_FALSE(session.coverChanged());
  EXPECT_EQ(session.save(*loaded.fields), SaveResult::Saved);
  EXPECT_EQ(countOf(testsupport::TempDir::read(path), "APIC"), 1u);
}

}  // namespace
}  // namespace brindle::tageditor
