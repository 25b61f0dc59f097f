// The tag editor without widgets: fields as values, batch tools on a stand-in window, the session.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "history/testing/FakeHistory.h"
#include "inspect/GenreList.h"
#include "inspect/Readout.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/TestPlatform.h"
#include "tageditor/core/BatchTools.h"
#include "tageditor/core/CoverImage.h"
#include "tageditor/core/TagFields.h"
#include "tageditor/core/TagSession.h"
#include "tageditor/core/UnsavedEdits.h"
#include "tests/tageditor/AudioFiles.h"

namespace brindle::tageditor {
namespace {

using namespace testfiles;
using inspect::genrePositionForText;
using inspect::ID3;
using platform::Answer;
using platform::testing::FsOp;
using testsupport::TempDir;
using Log = std::vector<std::string>;

/// Fields whose text names the field: "f0" to "f16", genre Rock.
TagFields numbered() {
  TagFields fields;
  for (int i = 0; i < kFieldCount; ++i)
    fields.txt[std::size_t(i)] = std::string("f").append(std::to_string(i));
  fields.genre = genrePositionForText("Rock");
  return fields;
}

/// The property of each field, by field index.
std::string ID3::*const kProperties[kFieldCount] = {
    &ID3::TAGv1Title,    &ID3::TAGv1Artist,         &ID3::TAGv1Album,     &ID3::TAGv1Created,
    &ID3::TAGv2Track,    &ID3::TAGv1Comment,        &ID3::TAGv2Comment,   &ID3::TAGv2Genre,
    &ID3::TAGv2Created,  &ID3::TAGv2Album,          &ID3::TAGv2Artist,    &ID3::TAGv2Title,
    &ID3::TAGv2Composer, &ID3::TAGv2OriginalArtist, &ID3::TAGv2Copyright, &ID3::TAGv2Url,
    &ID3::TAGv2EncodedBy};

// Load fills every field and the genre; Save sets every property, none past a missing genre.
TEST(TagFields, ComponentMapping) {
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  for (int i = 0; i < kFieldCount; ++i) component.*kProperties[i] = "p" + std::to_string(i);
  for (const auto& [number, name] :
       std::vector<std::pair<int, const char*>>{{17, "Rock"}, {255, " "}, {149, " "}, {200, " "}}) {
    component.TAGv1GenreIndex = static_cast<std::int16_t>(number);
    const TagFields fields = fieldsFromComponent(component);
    EXPECT_STREQ(inspect::genreList()[std::size_t(fields.genre)].name, name) << number;
    for (int i = 0; i < kFieldCount; ++i)
      EXPECT_EQ(fields.txt[std::size_t(i)], std::string("p").append(std::to_string(i)));
  }
  for (const FieldSpec& field : fieldSpecs()) EXPECT_EQ(&fieldSpec(field.index), &field);

  TagFields fields = numbered();
  ASSERT_TRUE(fieldsToComponent(fields, component));
  for (int i = 0; i < kFieldCount; ++i)
    EXPECT_EQ(component.*kProperties[i], "f" + std::to_string(i));
  EXPECT_EQ(component.TAGv1Genre, inspect::genreText(17));
  fields.genre = 0;
  ASSERT_TRUE(fieldsToComponent(fields, component));
  EXPECT_EQ(inspect::genreByte(component.TAGv1Genre), 255);
  for (const int genre : {-1, static_cast<int>(inspect::genreList().size())}) {
    component.TAGv1Genre = component.TAGv1Comment = component.TAGv2Track = "old";
    fields.txt[kV1Title] = fields.txt[kV1Year] = "new" + std::to_string(genre);
    fields.genre = genre;
    EXPECT_FALSE(fieldsToComponent(fields, component)) << genre;
    EXPECT_EQ(component.TAGv1Title + component.TAGv1Created + component.TAGv1Genre +
                  component.TAGv1Comment + component.TAGv2Track,
              fields.txt[kV1Title] + fields.txt[kV1Year] + "oldoldold");
  }
}

/// What `command` changes in `fields`: "index=text " per field, then "genre=N" when it changes.
std::string changes(TagFields fields, const std::function<void(TagFields&)>& command) {
  const TagFields before = fields;
  command(fields);
  std::string out;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (fields.txt[i] != before.txt[i]) out += std::to_string(i) + "=" + fields.txt[i] + " ";
  }
  return fields.genre == before.genre ? out : out + "genre=" + std::to_string(fields.genre);
}

// The clear, copy and Use Previous commands change exactly these fields.
TEST(TagFields, Commands) {
  auto with = [](TagFields fields, int index, const std::string& text, int genre = -2) {
    fields.txt[std::size_t(index)] = text;
    fields.genre = genre == -2 ? fields.genre : genre;
    return fields;
  };
  const TagFields n = numbered(),
                  jazz = with(with(n, kV2Genre, "Jazz"), kV2Title, std::string(40, 'x'));
  const TagFields own = with(with(TagFields{}, kV1Title, "own"), kV2Title, "own v2", 0);
  RememberedValues remembered;
  remembered.remember(with(n, kV2Genre, "Blues"));
  const auto previous = [&](TagFields& fields) { usePrevious(fields, remembered); };
  const auto nothing = [](TagFields& fields) { usePrevious(fields, RememberedValues{}); };
  const std::string all = "0= 1= 2= 3= 4= 5= 6= 7= 8= 9= 10= 11= 12= 13= 14= 15= 16= ";
  const std::string v1To2 = "6=f5 7=Rock 8=f3 9=f2 10=f1 11=f0 ";
  const std::string size = std::to_string(inspect::genreList().size());
  const struct {
    std::function<void(TagFields&)> command;
    TagFields fields;
    std::string changed;
  } cases[] = {
      // clang-format off
      {clearAllTags, n, all + "genre=0"},
      {clearVersion1, n, "0= 1= 2= 3= 5= genre=0"},
      {clearVersion2, n, "4= 6= 7= 8= 9= 10= 11= 12= 13= 14= 15= 16= "},
      // The title is copied whole, past the typed limit; "jazz" names no entry, " " the blank one.
      {copyVersion2ToVersion1, jazz, "0=" + std::string(40, 'x') + " 1=f10 2=f9 3=f8 5=f6 genre="
                                     + std::to_string(genrePositionForText("Jazz"))},
      {copyVersion2ToVersion1, with(n, kV2Genre, "jazz"), "0=f11 1=f10 2=f9 3=f8 5=f6 "},
      {copyVersion2ToVersion1, with(n, kV2Genre, " "), "0=f11 1=f10 2=f9 3=f8 5=f6 genre=0"},
      {copyVersion1ToVersion2, n, v1To2},
      {copyVersion1ToVersion2, with(n, 0, "f0", 0), "6=f5 7=  8=f3 9=f2 10=f1 11=f0 "},
      {copyVersion1ToVersion2, with(n, 0, "f0", -1), "6=f5 7= 8=f3 9=f2 10=f1 11=f0 "},
      {copyVersion1ToVersion2, with(n, 0, "f0", std::stoi(size)), "6=f5 7= 8=f3 9=f2 10=f1 11=f0 "},
      // Before any Save the fourteen remembered fields are emptied; titles, track and genre stay.
      {nothing, n, "1= 2= 3= 5= 6= 7= 8= 9= 10= 12= 13= 14= 15= 16= "},
      {previous, own, "1=f1 2=f2 3=f3 5=f5 6=f6 7=Blues 8=f8 9=f9 10=f10 12=f12 13=f13 14=f14 15=f15 16=f16 "
                      "genre=" + std::to_string(genrePositionForText("Blues"))},
      // clang-format on
  };
  for (const auto& row : cases)
    EXPECT_EQ(changes(row.fields, row.command), row.changed) << &row - cases;
}

TEST(TagFields, TitleCaseEveryField) {
  TagFields fields;
  for (std::string& text : fields.txt) text = "the DARK side";
  fields.txt[kV2Url] = "http://EXAMPLE.org/a b";
  fields.txt[kV2Comment] = "first LINE\nsecond line";
  fields.txt[kV1Title] = "ÉCOLE été";
  fields.txt[kV1Artist] = "\xff BAD";  // no UTF-8: kept
  fields.genre = 5;
  titleCaseFields(fields);
  EXPECT_EQ(fields.txt[kV2Track] + "|" + fields.txt[kV1Year] + "|" + fields.txt[kV2Url] + "|" +
                fields.txt[kV2Comment] + "|" + fields.txt[kV1Title] + "|" + fields.txt[kV1Artist],
            "The Dark Side|The Dark Side|Http://example.org/a B|First Line\nSecond Line|École "
            "Été|\xff BAD");
  EXPECT_EQ(fields.genre, 5);
}

TEST(TagFields, FileNamesTitlesEndingsAndTrackNumbers) {
  const struct {
    const char* name;
    std::optional<std::string> title;
    bool listed;
  } names[] = {
      // clang-format off
      {"Track 01.mp3", "Track 01", true}, {"Song.Mp3", "Song", true}, {"LOUD.MP3", "LOUD", true},
      {"x.mP3", "x", true}, {"Café.mp3", "Café", true}, {".mp3", "", true}, {"take.wav", {}, true},
      {"e.WAV", {}, true}, {"f.Wav", {}, true}, {"mp3", {}, false}, {"wav", {}, false}, {"", {}, false},
      {"song.mp3 ", {}, false}, {"a.mp3.bak", {}, false}, {"a.mp4", {}, false}, {"a.txt", {}, false},
      // clang-format on
  };
  for (const auto& row : names) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(titleFromFileName(row.name), row.title);
    EXPECT_EQ(hasMp3Ending(row.name), row.title.has_value());
    EXPECT_EQ(isListedByTagEditor(row.name), row.listed);
  }
  std::string tracks;
  for (const int number : {1, 9, 10, 99, 100}) tracks += trackText(number) + " ";
  EXPECT_EQ(tracks, "01 09 10 99 100 ");
}

/// A window over names whose "files" are field values in memory; logs every step.
class FakeWindow : public TagEditorHost {
 public:
  FakeWindow(std::vector<std::string> names, const std::string& loaded)
      : entryNames(std::move(names)) {
    for (std::size_t i = 0; i < entryNames.size(); ++i) {
      TagFields& own = files[entryNames[i]];
      own.txt[kV1Title] = "v1 title " + std::to_string(i);
      own.txt[kV2Title] = "title " + std::to_string(i);
      own.txt[kV2Track] = "9" + std::to_string(i);
      own.txt[kV2Artist] = "own artist";
    }
    onScreen = files[loadedFile = loaded];
  }

  TagFields fields() const override { return onScreen; }
  void setFields(const TagFields& fields) override { onScreen = fields; }
  SaveResult save() override {
    step("save " + loadedFile);
    remembered.remember(files[loadedFile] = onScreen);
    return SaveResult::Saved;
  }
  bool hasLoadedFile() const override { return !loadedFile.empty(); }
  std::string loadedName() const override { return loadedFile; }
  void remember() override { remembered.remember(onScreen), step("remember"); }
  int entryCount() const override { return static_cast<int>(entryNames.size()); }
  std::string entryName(int index) const override { return entryNames.at(std::size_t(index)); }
  void moveToEntry(int index) override { step("move " + std::to_string(current = index)); }
  LoadResult loadCurrentEntry() override {
    const std::string& name = entryNames.at(std::size_t(current));
    step("load " + name);
    const std::string end = name.substr(name.size() - 4);
    if (end != ".mp3" && end != ".MP3")
      return end == ".wav" || end == ".WAV" ? LoadResult::Wav : LoadResult::Refused;
    onScreen = files[loadedFile = name];
    return LoadResult::Mp3;
  }
  platform::Result<id3v2::TagChange> planSave() override {
    step("plan " + loadedFile);
    if (onScreen.genre < 0) return platform::Error{0, "the fields could not be taken over"};
    if (refusedPlans.count(loadedFile)) return platform::Error{0, "refused " + loadedFile};
    remembered.remember(pending[loadedFile] = onScreen);
    return id3v2::TagChange{loadedFile, {}, {}, {}};
  }
  platform::Result<std::vector<history::FileResult>> writeBatch(
      const std::string& command, const std::vector<id3v2::TagChange>& changes,
      const history::FileReport& report) override {
    step("batch " + command + " " + std::to_string(changes.size()));
    ++batches;
    if (refuseBatch) return platform::Error{ENOSPC, "cannot record the batch"};
    std::vector<history::FileResult> results;
    for (const id3v2::TagChange& change : changes) {
      if (static_cast<int>(results.size()) == stopAfterWrites) break;
      const bool fails = failingWrites.count(change.path) > 0;
      if (!fails) files[change.path] = pending[change.path];
      results.push_back({change.path, !fails, fails ? "failed " + change.path : ""});
      report(results.back());
    }
    return results;
  }
  bool confirm(const std::string& question) override {
    questions.push_back(question);
    return step("ask").size() && answerYes;
  }
  bool stopRequested() override { return ++stopChecks == stopAtCheck; }
  void showNote(bool visible) override { step(visible ? "note on" : "note off"); }
  void setProgressMaximum(int maximum) override { step("max " + std::to_string(maximum)); }
  void setProgressValue(int value) override { step("value " + std::to_string(value)); }

  /// Adds `text` to the log, joined by "|", and gives the text back.
  std::string step(const std::string& text) {
    log += (log.empty() ? "" : "|") + text;
    return text;
  }

  std::vector<std::string> entryNames;
  std::map<std::string, TagFields> files, pending;
  TagFields onScreen;
  std::string loadedFile, log;
  int current = -1, batches = 0, stopChecks = 0, stopAtCheck = -1, stopAfterWrites = -1;
  RememberedValues remembered;
  std::set<std::string> refusedPlans, failingWrites;
  std::vector<std::string> questions;
  bool answerYes = true, refuseBatch = false;
};

BatchReport counts(int entries, int saved, int skipped, int failed) {
  BatchReport report;
  std::tie(report.entries, report.saved, report.skipped, report.failed) =
      std::tie(entries, saved, skipped, failed);
  return report;
}

/// The fourteen remembered fields "album N", genre Jazz.
TagFields albumValues() {
  TagFields fields;
  for (int index : kRememberedFields)
    fields.txt[std::size_t(index)] = "album " + std::to_string(index);
  fields.txt[kV2Genre] = "Jazz";
  fields.genre = genrePositionForText("Jazz");
  return fields;
}

// Asked first; entries that are no MP3 plan nothing; one batch; no loaded file: remembered only.
TEST(AutoInfo, StepsInOrder) {
  const struct {
    std::vector<std::string> names;
    const char* loaded;
    const char* log;
    BatchReport report;
  } cases[] = {
      // clang-format off
      {{"a.mp3", "b.wav", "c.Mp3", "d.mp3"}, "a.mp3",
       "ask|note on|remember|move 0|max 4|load a.mp3|plan a.mp3|value 1|move 1|load b.wav|value 2|move 2"
       "|load c.Mp3|value 3|move 3|load d.mp3|plan d.mp3|value 4|max 2|value 0|batch Auto Info 2|value 1"
       "|value 2|value 0|note off", counts(4, 2, 2, 0)},
      {{"a.mp3"}, "", "ask|note on|remember|move 0|max 1|load a.mp3|plan a.mp3|value 1|max 1|value 0"
       "|batch Auto Info 1|value 1|value 0|note off", counts(1, 1, 0, 0)},
      {{}, "x.mp3", "note on|save x.mp3|value 0|note off", counts(0, 0, 0, 0)},
      // clang-format on
  };
  for (const auto& row : cases) {
    FakeWindow window(row.names, row.loaded);
    window.onScreen = albumValues();
    EXPECT_EQ(autoInfo(window, window.remembered), row.report);
    EXPECT_EQ(window.log, row.log);
    EXPECT_EQ(window.files["a.mp3"].txt[kV2Album], row.names.empty() ? "" : "album 9");
  }
  EXPECT_EQ(batchReportText(counts(4, 2, 2, 0)),
            "Skipped 2 files of 4: only files ending in .mp3 or .MP3 are loaded and saved.");
}

// The questions name the count and what is written; No touches nothing.
TEST(BatchTools, AskFirstAndNoTouchesNothing) {
  FakeWindow window({"a.mp3", "b.wav", "c.mp3"}, "a.mp3");
  window.onScreen = albumValues();
  window.onScreen.txt[kV2Comment].clear();
  window.answerYes = false;
  const auto before = window.files;
  const BatchReport report = autoInfo(window, window.remembered);
  EXPECT_TRUE(report.declined);
  EXPECT_EQ(batchReportText(report), std::nullopt);
  EXPECT_TRUE(numberTracks(window).declined);
  EXPECT_EQ(window.questions,
            (Log{"Write Artist: album 10, Album: album 9, Year: album 8, Genre: Jazz, Comment: "
                 "(empty), Composer: album 12, Orig. Artist: album 13, Copyright: album 14, URL: "
                 "album 15, Encoded By: album 16, ID3v1 Artist: album 1, ID3v1 Album: album 2, "
                 "ID3v1 Year: album 3, ID3v1 Comment: album 5 to 2 files?",
                 "Number 2 files 01-02?"}));
  EXPECT_EQ(window.log, "ask|ask");
  EXPECT_EQ(window.files, before);
  EXPECT_EQ(numberTracksQuestion(1) + numberTracksQuestion(100),
            "Number 1 file 01-01?Number 100 files 01-100?");
}

// What each tool reports: failures (the first five named), an unrecordable batch, Cancel while
// reading or while writing (what was saved stays), plans that fail.
TEST(BatchTools, Reports) {
  std::vector<std::string> nine, abc = {"a.mp3", "b.mp3", "c.mp3"};
  for (int i = 1; i <= 9; ++i) nine.push_back("s" + std::to_string(i) + ".mp3");
  const auto failing = [](FakeWindow& window) {
    window.refusedPlans = {"s2.mp3", "s3.mp3", "s4.mp3"};
    window.failingWrites = {"s5.mp3", "s6.mp3", "s7.mp3", "s9.mp3"};
  };
  const auto noGenre = [](FakeWindow& window) {
    for (auto& [name, file] : window.files) file.genre = -1;
    window.onScreen.genre = -1;
  };
  const std::string stopped = " files saved; the others were left as they were.";
  const struct {
    bool autoInfo;
    std::vector<std::string> names;
    std::function<void(FakeWindow&)> setUp;
    std::string result;
  } rows[] = {
      // clang-format off
      {false, nine, failing, "saved 2, batches 1, tracks 01 91 92 93 94 95 96 08 98: 7 files could not be "
       "saved:\ns2.mp3: refused s2.mp3\ns3.mp3: refused s3.mp3\ns4.mp3: refused s4.mp3\n"
       "s5.mp3: failed s5.mp3\ns6.mp3: failed s6.mp3\n... and 2 more."},
      {false, {"a.mp3"}, [](FakeWindow& window) { window.refuseBatch = true; },
       "saved 0, batches 1, tracks 90: 1 file could not be saved:\na.mp3: cannot record the batch"},
      {false, abc, [](FakeWindow& window) { window.stopAtCheck = 2; },
       "saved 0, batches 0, tracks 90 91 92: Stopped: 0" + stopped},
      {false, abc, [](FakeWindow& window) { window.stopAfterWrites = 2; },
       "saved 2, batches 1, tracks 01 02 92: Stopped: 2" + stopped},
      {false, abc, [](FakeWindow&) {}, "saved 3, batches 1, tracks 01 02 03: none"},
      {true, {"a.mp3", "b.mp3"}, noGenre, "saved 0, batches 0, tracks 90 91: 2 files could not be saved:"
       "\na.mp3: the fields could not be taken over\nb.mp3: the fields could not be taken over"},
      // clang-format on
  };
  for (const auto& row : rows) {
    FakeWindow window(row.names, row.names[0]);
    row.setUp(window);
    const BatchReport report =
        row.autoInfo ? autoInfo(window, window.remembered) : numberTracks(window);
    std::string tracks;
    for (const std::string& name : row.names) tracks += " " + window.files[name].txt[kV2Track];
    EXPECT_EQ("saved " + std::to_string(report.saved) + ", batches " +
                  std::to_string(window.batches) + ", tracks" + tracks + ": " +
                  batchReportText(report).value_or("none"),
              row.result);
    EXPECT_TRUE(window.log.ends_with("note off")) << window.log;
  }
  EXPECT_EQ(batchReportText(counts(3, 1, 1, 1)),
            "Skipped 1 file of 3: only files ending in .mp3 or .MP3 are loaded and saved.\n"
            "1 file could not be saved.");
  EXPECT_EQ(batchReportText(counts(3, 3, 0, 0)), std::nullopt);
}

// Numbers in list order; WAV and unloadable names take none; the file on screen is planned once.
TEST(NumberTracks, OtherKindsTakeNoNumberAndNoSave) {
  FakeWindow window({"a.mp3", "b.wav", "c.Mp3", "d.MP3", "e.WAV"}, "a.mp3");
  window.onScreen.txt[kV2Title] = "typed, not saved yet";
  window.files["c.Mp3"].txt[kV2Track] = "untouched";
  EXPECT_EQ(numberTracks(window), counts(5, 2, 3, 0));
  const auto& files = window.files;
  EXPECT_EQ(files.at("a.mp3").txt[kV2Track] + "|" + files.at("a.mp3").txt[kV2Title] + "|" +
                files.at("c.Mp3").txt[kV2Track] + "|" + files.at("d.MP3").txt[kV2Track] + "|" +
                files.at("d.MP3").txt[kV2Title] + "|" + files.at("d.MP3").txt[kV2Artist],
            "01|typed, not saved yet|untouched|03|title 3|own artist");
  EXPECT_EQ(window.log.find("save a.mp3"), std::string::npos);
  EXPECT_EQ(window.log.find("plan a.mp3"), window.log.rfind("plan a.mp3"));
  EXPECT_EQ(window.batches, 1);
}

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
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  RememberedValues remembered;
  TagSession session{component, test.dialogs, remembered};
  history::testing::FakeHistory history;
};

// MP3 loads the tags, WAV only the readout; other endings (".Mp3") are refused unopened.
TEST_F(TagSessionTest, LoadDependsOnTheEnding) {
  taggedFile();
  Loaded loaded = session.load(folder.path(), "song.mp3");
  ASSERT_EQ(loaded.result, LoadResult::Mp3);
  EXPECT_EQ(*loaded.fields, fieldsFromComponent(component));
  EXPECT_EQ(loaded.fields->txt[kV2Title], "Harbour Lights");
  EXPECT_EQ(loaded.readout, inspect::mp3Readout(component));
  EXPECT_EQ(loaded.cover->data, (id3v2::ByteVector{0x89, 'P', 'N', 'G'}));
  folder.write("take.WAV", wav(2, 44100, 16, 176400));
  loaded = session.load(folder.path(), "take.WAV");
  EXPECT_EQ(loaded.result, LoadResult::Wav);
  EXPECT_FALSE(loaded.fields);
  EXPECT_EQ(loaded.readout, inspect::wavReadout(component));
  EXPECT_EQ(loaded.readout.at(5), "Frequency: 44100");
  EXPECT_TRUE(test.dialogs.calls().empty());
  taggedFile("Song.Mp3");
  test.fileSystem.clearCalls();
  EXPECT_EQ(session.load(folder.path(), "Song.Mp3").result, LoadResult::Refused);
  EXPECT_EQ(onlyMessage(), "Select *.mp3 or *.wav file!!!");
  EXPECT_TRUE(test.fileSystem.callsOf(FsOp::OpenForReading).empty());
  EXPECT_EQ(component.FileName, folder.file("song.mp3"));
}

// Save writes and remembers; failures say "Error: 10" once; a missing genre stops the Save.
TEST_F(TagSessionTest, SavesThatWriteFailOrStop) {
  const std::string path = taggedFile();
  TagFields fields = *session.load(folder.path(), "song.mp3").fields;
  fields.txt[kV2Album] = "Tides";
  fields.txt[kV2Title] = "Lights";
  EXPECT_EQ(session.save(fields), SaveResult::Saved);
  EXPECT_EQ(component.ID3SaveDone, 0);
  EXPECT_EQ(
      readSaved(path).v2.at(id3v2::TALB) + remembered.value(kV2Album) + remembered.value(kV2Title),
      "TidesTides");
  EXPECT_TRUE(test.dialogs.calls().empty());
  const std::string before = TempDir::read(path);
  for (const bool recorded : {false, true}) {
    SCOPED_TRACE(recorded);
    if (recorded) session.setHistory(&history, test.fileSystem);
    fields = *session.load(folder.path(), "song.mp3").fields;
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
  fields = *session.load(folder.path(), "song.mp3").fields;
  fields.txt[kV2Album] = "planned";
  ASSERT_TRUE(session.plan(fields).ok());
  EXPECT_EQ(session.plan(fields).value().path, path);
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

// A cover set or removed goes with the next Save, recorded or not; a new load forgets it.
TEST_F(TagSessionTest, CoverChangesAreSavedWithTheFields) {
  const std::string png = bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 7});
  const std::string newFrame = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0}) + png);
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
    std::string bytes;
    const char* mimeType;
  } cases[] = {{"\xFF\xD8", "image/jpeg"}, {"\x89PNG", "image/png"}, {"\xFF", nullptr},
               {"\x89PN", nullptr},        {"GIF89a", nullptr},      {"", nullptr}};
  for (const auto& row : cases) {
    const auto cover = coverFromImageFile(test.fileSystem, folder.write("image", row.bytes));
    ASSERT_EQ(cover.ok(), row.mimeType != nullptr) << row.bytes;
    if (!cover.ok()) {
      EXPECT_EQ(coverRefusedText("n\xe9.png", cover.error()),
                "Cannot use n\xEF\xBF\xBD.png as the cover:\nit is not a JPEG or PNG image");
      continue;
    }
    EXPECT_EQ(cover.value().mimeType, row.mimeType);
    EXPECT_EQ(cover.value().data, id3v2::ByteVector(row.bytes.begin(), row.bytes.end()));
  }
  const auto missing = coverFromImageFile(test.fileSystem, folder.file("missing.png"));
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ENOENT);
  EXPECT_EQ(missing.error().message.rfind("cannot read the image: ", 0), 0u);
}

TagFields withTitle(const std::string& title) {
  TagFields fields;
  fields.txt[kV2Title] = title;
  return fields;
}

// Asked only with a file and changes (a cover change too, until saved or left); the file name.
TEST(UnsavedEdits, WhenTheQuestionIsAsked) {
  platform::testing::ScriptedDialogs dialogs;
  UnsavedEdits edits;
  std::string seen;  // one letter per check: y when the fields count as changed
  auto check = [&](const char* title) { seen += edits.changed(withTitle(title)) ? 'y' : 'n'; };
  check("typed");
  EXPECT_TRUE(mayLeaveEdits(dialogs, edits, withTitle("typed"), [] { return SaveResult::Failed; }));
  edits.loaded("/music/a.mp3", withTitle("Old"));
  check("Old");
  check("New");
  edits.saved(withTitle("New"));
  check("New");
  edits.forget();
  edits.coverChanged(true);
  check("Other");
  edits.loaded("/music/a.mp3", withTitle("Old"));
  edits.coverChanged(true);
  check("Old");
  edits.saved(withTitle("Old"));
  check("Old");
  edits.coverChanged(true);
  edits.loaded("/music/b c.mp3", withTitle("Old"));
  check("Old");
  EXPECT_EQ(seen, "nnynnynn");
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(savedNote(edits.fileName()), "Saved b c.mp3");
  edits.loaded("plain.mp3", {});
  EXPECT_EQ(edits.fileName(), "plain.mp3");
  EXPECT_EQ(unsavedQuestion("\xE9.mp3"), "Save changes to \xEF\xBF\xBD.mp3?");
}

TEST(UnsavedEdits, ChangedFieldsAskAndTheAnswerDecides) {
  const struct {
    Answer answer;
    SaveResult saveResult;
    bool leaves;
    int saves;
  } rows[] = {{Answer::Save, SaveResult::Saved, true, 1},
              {Answer::Save, SaveResult::Failed, false, 1},
              {Answer::Discard, SaveResult::Saved, true, 0},
              {Answer::Cancel, SaveResult::Saved, false, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(platform::testing::answerName(row.answer));
    platform::testing::ScriptedDialogs dialogs;
    dialogs.answer(row.answer);
    UnsavedEdits edits;
    edits.loaded("/music/01 Song.mp3", withTitle("Old"));
    int saves = 0;
    EXPECT_EQ(
        mayLeaveEdits(dialogs, edits, withTitle("Typed"), [&] { return ++saves, row.saveResult; }),
        row.leaves);
    EXPECT_EQ(saves, row.saves);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].message.text, "Save changes to 01 Song.mp3?");
    EXPECT_EQ(dialogs.calls()[0].message.buttons, platform::Buttons::SaveDiscardCancel);
  }
}

}  // namespace
}  // namespace brindle::tageditor
