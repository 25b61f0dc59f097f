// Loading and saving through the inspection component, as far as the session
// adds to it: which load a name gets, the Error event's box, the done flag,
// the remembered values, Saves that stop or are recorded, the cover change,
// the cover image a user chooses, and the question about unsaved edits.
#include "tageditor/core/TagSession.h"

#include <gtest/gtest.h>

#include "history/testing/FakeHistory.h"
#include "inspect/Readout.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/TestPlatform.h"
#include "tageditor/core/CoverImage.h"
#include "tageditor/core/UnsavedEdits.h"
#include "tests/tageditor/AudioFiles.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;
using platform::Answer;
using platform::testing::FsOp;
using testsupport::TempDir;

class TagSessionTest : public ::testing::Test {
 protected:
  TagSessionTest() { component.setDecimalSeparator('.'); }

  std::string taggedFile(const std::string& name = "song.mp3") {
    return folder.write(name,
                        id3tag(3, textFrame("TIT2", "Harbour Lights") + textFrame("TRCK", "02") +
                                      textFrame("TCON", "Folk") + pictureFrame()) +
                            audio() + v1Tag("Harbour", 80));
  }
  /// The one message shown, and none else.
  std::string onlyMessage() {
    EXPECT_EQ(test.dialogs.messages().size(), 1u);
    return test.dialogs.messages().empty() ? "" : test.dialogs.messages()[0].text;
  }

  TempDir folder;
  platform::testing::TestPlatform test;
  inspect::ID3 component{test.fileSystem, test.clock, test.dialogs};
  RememberedValues remembered;
  TagSession session{component, test.dialogs, remembered};
};

// MP3 names load the tags; WAV names the readout only, keeping the loaded
// file; any other ending (".Mp3" too) is refused without opening anything.
TEST_F(TagSessionTest, LoadDependsOnTheEnding) {
  taggedFile();
  Loaded loaded = session.load(folder.path(), "song.mp3");
  ASSERT_EQ(loaded.result, LoadResult::Mp3);
  EXPECT_EQ(*loaded.fields, fieldsFromComponent(component));
  EXPECT_EQ(loaded.fields->txt[kV2Title], "Harbour Lights");
  EXPECT_EQ(loaded.readout, inspect::mp3Readout(component));
  EXPECT_EQ(loaded.cover->data, (id3v2::ByteVector{0x89, 'P', 'N', 'G'}));
  EXPECT_EQ(component.FileName, folder.file("song.mp3"));

  folder.write("take.WAV", wav(2, 44100, 16, 176400));
  loaded = session.load(folder.path(), "take.WAV");
  EXPECT_EQ(loaded.result, LoadResult::Wav);
  EXPECT_FALSE(loaded.fields);
  EXPECT_EQ(loaded.readout, inspect::wavReadout(component));
  EXPECT_EQ(loaded.readout.at(5), "Frequency: 44100");
  EXPECT_EQ(component.FileName, folder.file("song.mp3"));
  EXPECT_TRUE(test.dialogs.calls().empty());

  taggedFile("Song.Mp3");
  test.fileSystem.clearCalls();
  EXPECT_EQ(session.load(folder.path(), "Song.Mp3").result, LoadResult::Refused);
  EXPECT_EQ(onlyMessage(), "Select *.mp3 or *.wav file!!!");
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::OpenForReading).empty());
  EXPECT_EQ(component.FileName, folder.file("song.mp3"));
}

// Save writes the file, remembers the fields (not the titles) and sets the done flag back.
TEST_F(TagSessionTest, SaveWritesAndRemembers) {
  const std::string path = taggedFile();
  TagFields fields = *session.load(folder.path(), "song.mp3").fields;
  fields.txt[kV2Album] = "Tides";
  fields.txt[kV2Title] = "Lights";
  EXPECT_EQ(session.save(fields), SaveResult::Saved);
  EXPECT_EQ(component.ID3SaveDone, 0);
  EXPECT_EQ(readSaved(path).v2.at(id3v2::TALB), "Tides");
  EXPECT_EQ(remembered.value(kV2Album), "Tides");
  EXPECT_EQ(remembered.value(kV2Title), "");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// A failed Save shows "Error: 10" and the reason once, recorded or not, and
// still remembers; one that stops at the genre writes and remembers nothing;
// without a loaded file the component refuses.
TEST_F(TagSessionTest, SavesThatFailOrStop) {
  history::testing::FakeHistory history;
  const std::string path = taggedFile();
  const std::string before = TempDir::read(path);
  for (const bool recorded : {false, true}) {
    SCOPED_TRACE(recorded);
    if (recorded) session.setHistory(&history, test.fileSystem);
    TagFields fields = *session.load(folder.path(), "song.mp3").fields;
    fields.txt[kV2Album] = recorded ? "recorded" : "plain";
    test.dialogs.clear();
    test.fileSystem.fail(FsOp::OpenForUpdate, {EACCES, "denied"});
    test.fileSystem.fail(FsOp::CreateNewFile, {EACCES, "denied"});
    EXPECT_EQ(session.save(fields), SaveResult::Failed);
    test.fileSystem.clearFaults();
    EXPECT_EQ(onlyMessage(),
              "Error: 10\ncannot create a temporary file beside it: Permission denied");
    EXPECT_EQ(remembered.value(kV2Album), fields.txt[kV2Album]);
    EXPECT_EQ(component.ID3SaveDone, 0);

    fields.txt[kV2Album] = "never written";
    fields.genre = -1;
    test.fileSystem.clearCalls();
    EXPECT_EQ(session.save(fields), SaveResult::Stopped);
    EXPECT_TRUE(test.fileSystem.calls().empty());
    EXPECT_NE(remembered.value(kV2Album), "never written");
    EXPECT_EQ(TempDir::read(path), before);
  }
  EXPECT_EQ(history.recorded().size(), 1u);

  // Planning (for a batch) writes nothing, remembers, and stops at the genre too.
  TagFields fields = *session.load(folder.path(), "song.mp3").fields;
  fields.txt[kV2Album] = "planned";
  const auto planned = session.plan(fields);
  ASSERT_TRUE(planned.ok());
  EXPECT_EQ(planned.value().path, path);
  EXPECT_EQ(remembered.value(kV2Album), "planned");
  EXPECT_EQ(TempDir::read(path), before);
  fields.genre = -1;
  EXPECT_EQ(session.plan(fields).error().message, "the fields could not be taken over");

  session.forgetLoadedFile();
  test.dialogs.clear();
  fields = TagFields{};
  fields.txt[kV2Artist] = "remembered anyway";
  EXPECT_EQ(session.save(fields), SaveResult::Failed);
  EXPECT_EQ(onlyMessage(), "Oops! Error");
  EXPECT_EQ(remembered.value(kV2Artist), "remembered anyway");
  EXPECT_EQ(errorText(3, platform::Error{0, ""}), "Error: 3");
}

// A cover set or removed is written by the next Save, recorded or not, then
// forgotten; loading a file forgets a change that was not saved.
TEST_F(TagSessionTest, CoverChangesAreSavedWithTheFields) {
  const std::string png = bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 7});
  const std::string newFrame = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0}) + png);
  history::testing::FakeHistory history;
  for (const bool recorded : {false, true}) {
    SCOPED_TRACE(recorded);
    if (recorded) session.setHistory(&history, test.fileSystem);
    const std::string path = taggedFile();
    Loaded loaded = session.load(folder.path(), "song.mp3");
    session.changeCover(id3v2::CoverEdit{});
    session.load(folder.path(), "song.mp3");
    EXPECT_FALSE(session.coverChanged());

    session.changeCover(
        id3v2::CoverEdit{id3v2::Picture{0, "image/png", 3, {}, {png.begin(), png.end()}}});
    EXPECT_TRUE(session.coverChanged());
    EXPECT_EQ(session.save(*loaded.fields), SaveResult::Saved);
    EXPECT_FALSE(session.coverChanged());
    const std::string written = TempDir::read(path);
    EXPECT_NE(written.find(newFrame), std::string::npos);
    EXPECT_EQ(written.find("APIC"), written.rfind("APIC"));

    session.changeCover(id3v2::CoverEdit{});
    EXPECT_EQ(session.save(*loaded.fields), SaveResult::Saved);
    EXPECT_FALSE(readSaved(path).hasPicture);
    EXPECT_FALSE(session.load(folder.path(), "song.mp3").cover);
  }
  // Recorded: one batch "Save" per Save, the file written as recorded.
  ASSERT_EQ(history.recorded().size(), 2u);
  EXPECT_EQ(history.recorded()[0].summary.command, "Save");
  EXPECT_EQ(history.recorded()[1].summary.state, history::BatchState::Done);
  const auto& after = history.recorded()[1].tags.at(0).after.version2;
  EXPECT_EQ(TempDir::read(folder.file("song.mp3")).substr(0, after.size()),
            std::string(after.begin(), after.end()));
  history.refuseNext = true;
  EXPECT_EQ(session.save(fieldsFromComponent(component)), SaveResult::Failed);
  EXPECT_EQ(onlyMessage().rfind("Error: 10\ncannot record the batch", 0), 0u);
}

TEST_F(TagSessionTest, CoverFromAnImageFile) {
  const struct {
    const char* bytes;
    std::size_t size;
    const char* mimeType;
  } cases[] = {{"\xFF\xD8", 2, "image/jpeg"}, {"\x89PNG", 4, "image/png"}, {"\xFF", 1, nullptr},
               {"\x89PN", 3, nullptr},        {"GIF89a", 6, nullptr},      {"", 0, nullptr}};
  for (const auto& row : cases) {
    const std::string content(row.bytes, row.size);
    const auto cover = coverFromImageFile(test.fileSystem, folder.write("image", content));
    ASSERT_EQ(cover.ok(), row.mimeType != nullptr) << row.size;
    if (!cover.ok()) {
      EXPECT_EQ(coverRefusedText("n\xe9.png", cover.error()),
                "Cannot use n\xEF\xBF\xBD.png as the cover:\nit is not a JPEG or PNG image");
      continue;
    }
    EXPECT_EQ(cover.value().mimeType, row.mimeType);
    EXPECT_EQ(cover.value().data, id3v2::ByteVector(content.begin(), content.end()));
  }
  const auto missing = coverFromImageFile(test.fileSystem, folder.file("missing.png"));
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ENOENT);
  EXPECT_EQ(missing.error().message.rfind("cannot read the image: ", 0), 0u);
}

// The unsaved-edits question: when it is asked, its text, and what each answer does.
TagFields withTitle(const std::string& title) {
  TagFields fields;
  fields.txt[kV2Title] = title;
  return fields;
}

TEST(UnsavedEdits, NothingIsAskedWithoutAFileOrWithoutChanges) {
  platform::testing::ScriptedDialogs dialogs;
  UnsavedEdits edits;
  int saves = 0;
  auto save = [&] {
    ++saves;
    return SaveResult::Saved;
  };
  EXPECT_FALSE(edits.changed(withTitle("typed")));
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("typed"), save));

  edits.loaded("/music/a.mp3", withTitle("Old"));
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("Old"), save));
  edits.saved(withTitle("New"));
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("New"), save));
  edits.forget();
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("Other"), save));
  // A cover change counts until the file is saved, loaded again or left.
  edits.coverChanged(true);
  EXPECT_FALSE(edits.changed(withTitle("Other")));
  edits.loaded("/music/a.mp3", withTitle("Old"));
  edits.coverChanged(true);
  EXPECT_TRUE(edits.changed(withTitle("Old")));
  edits.saved(withTitle("Old"));
  EXPECT_FALSE(edits.changed(withTitle("Old")));
  edits.coverChanged(true);
  edits.loaded("/music/b.mp3", withTitle("Old"));
  EXPECT_FALSE(edits.changed(withTitle("Old")));
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(saves, 0);
}

TEST(UnsavedEdits, ChangedFieldsAskAndTheAnswerDecides) {
  struct Row {
    Answer answer;
    SaveResult saveResult;
    bool leaves;
    int saves;
  };
  const Row rows[] = {
      {Answer::Save, SaveResult::Saved, true, 1},
      {Answer::Save, SaveResult::Failed, false, 1},
      {Answer::Discard, SaveResult::Saved, true, 0},
      {Answer::Cancel, SaveResult::Saved, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(platform::testing::answerName(row.answer));
    platform::testing::ScriptedDialogs dialogs;
    dialogs.answer(row.answer);
    UnsavedEdits edits;
    edits.loaded("/music/01 Song.mp3", withTitle("Old"));
    int saves = 0;
    const bool leaves = mayLeaveEdits(dialogs, edits, withTitle("Typed"), [&] {
      ++saves;
      return row.saveResult;
    });
    EXPECT_EQ(leaves, row.leaves);
    EXPECT_EQ(saves, row.saves);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].message.text, "Save changes to 01 Song.mp3?");
    EXPECT_EQ(dialogs.calls()[0].message.buttons, platform::Buttons::SaveDiscardCancel);
  }
}

TEST(UnsavedEdits, NamesShowTheFileWithoutItsFolder) {
  UnsavedEdits edits;
  edits.loaded("/music/a b.mp3", {});
  EXPECT_EQ(edits.fileName(), "a b.mp3");
  EXPECT_EQ(savedNote(edits.fileName()), "Saved a b.mp3");
  edits.loaded("plain.mp3", {});
  EXPECT_EQ(edits.fileName(), "plain.mp3");
  EXPECT_EQ(unsavedQuestion("\xE9.mp3"), "Save changes to \xEF\xBF\xBD.mp3?");
}

}  // namespace
}  // namespace brindle::tageditor
