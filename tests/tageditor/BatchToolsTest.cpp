// Auto Info and Number Tracks on a stand-in window: the question first, the
// order of the steps (every entry planned, then one batch written), the
// progress bar and note, entries that do not load as MP3 files, saves that
// fail, Cancel, and the one report at the end.
#include "tageditor/core/BatchTools.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <set>
#include <vector>

#include "inspect/GenreList.h"

namespace brindle::tageditor {
namespace {

using inspect::genreNumberAt;
using inspect::genrePositionForText;

/// A window over a list of names whose "files" are field values in memory;
/// records every step.
class FakeWindow : public TagEditorHost {
 public:
  explicit FakeWindow(std::vector<std::string> names) : entryNames(std::move(names)) {
    for (std::size_t i = 0; i < entryNames.size(); ++i) {
      TagFields own;
      own.txt[kV1Title] = "v1 title " + std::to_string(i);
      own.txt[kV2Title] = "title " + std::to_string(i);
      own.txt[kV2Track] = "9" + std::to_string(i);
      own.txt[kV2Artist] = "own artist";
      files[entryNames[i]] = own;
    }
  }

  TagFields fields() const override { return onScreen; }
  void setFields(const TagFields& fields) override { onScreen = fields; }
  SaveResult save() override {
    log.push_back("save " + loadedFile);
    if (onScreen.genre < 0) return SaveResult::Stopped;
    if (loadedFile.empty()) return SaveResult::Failed;
    files[loadedFile] = onScreen;
    if (remembered) remembered->remember(onScreen);
    return SaveResult::Saved;
  }
  bool hasLoadedFile() const override { return !loadedFile.empty(); }
  std::string loadedName() const override { return loadedFile; }
  void remember() override {
    log.push_back("remember");
    if (remembered) remembered->remember(onScreen);
  }
  int entryCount() const override { return static_cast<int>(entryNames.size()); }
  std::string entryName(int index) const override {
    return entryNames.at(static_cast<std::size_t>(index));
  }
  void moveToEntry(int index) override {
    current = index;
    log.push_back("move " + std::to_string(index));
  }
  LoadResult loadCurrentEntry() override {
    const std::string& name = entryNames.at(static_cast<std::size_t>(current));
    log.push_back("load " + name);
    const std::string ending = name.substr(name.size() - 4);
    if (ending == ".mp3" || ending == ".MP3") {
      loadedFile = name;
      onScreen = files[name];
      return LoadResult::Mp3;
    }
    return ending == ".wav" || ending == ".WAV" ? LoadResult::Wav : LoadResult::Refused;
  }
  platform::Result<id3v2::TagChange> planSave() override {
    log.push_back("plan " + loadedFile);
    if (onScreen.genre < 0) return platform::Error{0, "the fields could not be taken over"};
    if (loadedFile.empty()) return platform::Error{0, "no file is loaded"};
    if (refusedPlans.count(loadedFile)) return platform::Error{0, "refused " + loadedFile};
    if (remembered) remembered->remember(onScreen);
    pending[loadedFile] = onScreen;
    id3v2::TagChange change;
    change.path = loadedFile;
    return change;
  }
  platform::Result<std::vector<history::FileResult>> writeBatch(
      const std::string& command, const std::vector<id3v2::TagChange>& changes,
      const history::FileReport& report) override {
    log.push_back("batch " + command + " " + std::to_string(changes.size()));
    ++batches;
    if (refuseBatch) return platform::Error{ENOSPC, "cannot record the batch"};
    std::vector<history::FileResult> results;
    for (const id3v2::TagChange& change : changes) {
      if (stopAfterWrites >= 0 && static_cast<int>(results.size()) == stopAfterWrites) break;
      history::FileResult result{change.path, !failingWrites.count(change.path), {}};
      if (result.changed) {
        files[change.path] = pending[change.path];
      } else {
        result.reason = "failed " + change.path;
      }
      report(result);
      results.push_back(result);
    }
    return results;
  }
  bool confirm(const std::string& question) override {
    log.push_back("ask");
    questions.push_back(question);
    return answerYes;
  }
  bool stopRequested() override { return ++stopChecks == stopAtCheck; }
  void showNote(bool visible) override { log.push_back(visible ? "note on" : "note off"); }
  void setProgressMaximum(int maximum) override { log.push_back("max " + std::to_string(maximum)); }
  void setProgressValue(int value) override { log.push_back("value " + std::to_string(value)); }

  std::vector<std::string> entryNames;
  std::map<std::string, TagFields> files;
  TagFields onScreen;
  std::string loadedFile;
  int current = -1;
  RememberedValues* remembered = nullptr;
  std::vector<std::string> log;
  std::map<std::string, TagFields> pending;
  std::set<std::string> refusedPlans;
  std::set<std::string> failingWrites;
  std::vector<std::string> questions;
  bool answerYes = true;
  bool refuseBatch = false;
  int batches = 0;
  int stopChecks = 0;
  int stopAtCheck = -1;
  int stopAfterWrites = -1;
};

/// A report with the counts and nothing else.
BatchReport counts(int entries, int saved, int skipped, int failed) {
  BatchReport report;
  report.entries = entries;
  report.saved = saved;
  report.skipped = skipped;
  report.failed = failed;
  return report;
}

TagFields albumValues() {
  TagFields fields;
  fields.txt[kV1Title] = "first v1";
  fields.txt[kV2Title] = "first";
  fields.txt[kV2Track] = "01";
  for (int index : kRememberedFields) {
    fields.txt[static_cast<std::size_t>(index)] = "album " + std::to_string(index);
  }
  fields.txt[kV2Genre] = "Jazz";
  fields.genre = genrePositionForText("Jazz");
  return fields;
}

TEST(AutoInfo, StepsInOrder) {
  FakeWindow window({"a.mp3", "b.mp3"});
  RememberedValues remembered;
  window.remembered = &remembered;
  window.loadedFile = "a.mp3";
  window.onScreen = albumValues();
  const BatchReport report = autoInfo(window, remembered);
  // Asked first; then every entry planned, and all written as one batch.
  const std::vector<std::string> expected{"ask",     "note on",    "remember",          "move 0",
                                          "max 2",   "load a.mp3", "plan a.mp3",        "value 1",
                                          "move 1",  "load b.mp3", "plan b.mp3",        "value 2",
                                          "max 2",   "value 0",    "batch Auto Info 2", "value 1",
                                          "value 2", "value 0",    "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, counts(2, 2, 0, 0));
  EXPECT_EQ(window.batches, 1);
  EXPECT_EQ(batchReportText(report), std::nullopt);
}

TEST(AutoInfo, GivesEveryFileTheRememberedValuesAndKeepsItsTitlesAndTrack) {
  FakeWindow window({"a.mp3", "b.mp3", "c.MP3"});
  RememberedValues remembered;
  window.remembered = &remembered;
  // The first file loaded, then the album's values typed in.
  window.loadedFile = "a.mp3";
  window.onScreen = window.files["a.mp3"];
  for (int index : kRememberedFields) {
    window.onScreen.txt[static_cast<std::size_t>(index)] =
        albumValues().txt[static_cast<std::size_t>(index)];
  }
  window.onScreen.genre = albumValues().genre;
  autoInfo(window, remembered);
  for (int i = 0; i < 3; ++i) {
    const TagFields& file = window.files[window.entryNames[static_cast<std::size_t>(i)]];
    SCOPED_TRACE(i);
    EXPECT_EQ(file.txt[kV2Title], "title " + std::to_string(i));
    EXPECT_EQ(file.txt[kV1Title], "v1 title " + std::to_string(i));
    EXPECT_EQ(file.txt[kV2Track], "9" + std::to_string(i));
    for (int index : kRememberedFields) {
      EXPECT_EQ(file.txt[static_cast<std::size_t>(index)],
                index == kV2Genre ? "Jazz" : "album " + std::to_string(index));
    }
    EXPECT_EQ(genreNumberAt(file.genre), 8);
  }
}

TEST(AutoInfo, EntriesThatDoNotLoadAsMp3AreSkippedWithoutASave) {
  FakeWindow window({"a.mp3", "b.wav", "c.Mp3", "d.mp3"});
  RememberedValues remembered;
  window.remembered = &remembered;
  window.loadedFile = "a.mp3";
  window.onScreen = albumValues();
  const BatchReport report = autoInfo(window, remembered);
  // After the load of b.wav and c.Mp3 comes no save: a.mp3 is still the
  // loaded file and must not get the values meant for them.
  const std::vector<std::string> expected{
      "ask",     "note on",    "remember",   "move 0",  "max 4",  "load a.mp3", "plan a.mp3",
      "value 1", "move 1",     "load b.wav", "value 2", "move 2", "load c.Mp3", "value 3",
      "move 3",  "load d.mp3", "plan d.mp3", "value 4", "max 2",  "value 0",    "batch Auto Info 2",
      "value 1", "value 2",    "value 0",    "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, counts(4, 2, 2, 0));
  EXPECT_EQ(batchReportText(report),
            "Skipped 2 files of 4: only files ending in .mp3 or .MP3 are loaded and saved.");
}

TEST(AutoInfo, WithoutALoadedFileTheValuesOnScreenAreRememberedNotSaved) {
  // After the folder changed no file is loaded: the values typed for the new
  // folder's album become the remembered ones and go into its files only.
  FakeWindow window({"a.mp3"});
  RememberedValues remembered;
  window.remembered = &remembered;
  window.onScreen = albumValues();
  const BatchReport report = autoInfo(window, remembered);
  const std::vector<std::string> expected{"ask",     "note on",    "remember",          "move 0",
                                          "max 1",   "load a.mp3", "plan a.mp3",        "value 1",
                                          "max 1",   "value 0",    "batch Auto Info 1", "value 1",
                                          "value 0", "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, counts(1, 1, 0, 0));
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Album], albumValues().txt[kV2Album]);
}

TEST(AutoInfo, EmptyListSavesTheFileOnScreenOnly) {
  FakeWindow window({});
  RememberedValues remembered;
  window.loadedFile = "x.mp3";
  const BatchReport report = autoInfo(window, remembered);
  // Nothing to ask about: no MP3 entry is changed.
  const std::vector<std::string> expected{"note on", "save x.mp3", "value 0", "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, (BatchReport{}));
}

TEST(AutoInfo, SavesThatStopEarlyCountAsFailedAndTheBatchGoesOn) {
  FakeWindow window({"a.mp3", "b.mp3"});
  RememberedValues remembered;
  window.loadedFile = "a.mp3";
  for (auto& [name, file] : window.files) file.genre = -1;
  window.onScreen.genre = -1;
  const BatchReport report = autoInfo(window, remembered);
  BatchReport expected = counts(2, 0, 0, 2);
  expected.failures = {{"a.mp3", "the fields could not be taken over"},
                       {"b.mp3", "the fields could not be taken over"}};
  EXPECT_EQ(report, expected);
  EXPECT_EQ(window.log.back(), "note off");
  EXPECT_EQ(window.batches, 0);
  EXPECT_EQ(batchReportText(report),
            "2 files could not be saved:\na.mp3: the fields could not be taken over\n"
            "b.mp3: the fields could not be taken over");
}

/// The question names the count and the values, on screen, that will be
/// written; No leaves every file as it was and saves nothing.
TEST(AutoInfo, AsksFirstAndNoTouchesNothing) {
  FakeWindow window({"a.mp3", "b.wav", "c.mp3"});
  RememberedValues remembered;
  window.loadedFile = "a.mp3";
  window.onScreen = albumValues();
  window.onScreen.txt[kV2Comment].clear();
  window.answerYes = false;
  const auto before = window.files;
  const BatchReport report = autoInfo(window, remembered);
  ASSERT_EQ(window.questions.size(), 1u);
  EXPECT_EQ(window.questions[0],
            "Write Artist: album 10, Album: album 9, Year: album 8, Genre: Jazz, Comment: (empty), "
            "Composer: album 12, Orig. Artist: album 13, Copyright: album 14, URL: album 15, "
            "Encoded By: album 16, ID3v1 Artist: album 1, ID3v1 Album: album 2, ID3v1 Year: "
            "album 3, ID3v1 Comment: album 5 to 2 files?");
  EXPECT_EQ(window.log, std::vector<std::string>{"ask"});
  EXPECT_TRUE(report.declined);
  EXPECT_EQ(batchReportText(report), std::nullopt);
  EXPECT_EQ(window.files, before);
}

TEST(NumberTracks, AsksFirstNamingTheCountAndTheRange) {
  std::vector<std::string> names;
  for (int i = 1; i <= 29; ++i) names.push_back("song " + std::to_string(100 + i) + ".mp3");
  names.push_back("take.wav");
  FakeWindow window(names);
  window.loadedFile = names[0];
  window.answerYes = false;
  const auto before = window.files;
  EXPECT_TRUE(numberTracks(window).declined);
  EXPECT_EQ(window.questions, std::vector<std::string>{"Number 29 files 01-29?"});
  EXPECT_EQ(window.files, before);
  EXPECT_EQ(numberTracksQuestion(1), "Number 1 file 01-01?");
}

/// Cancel while the entries are read writes nothing; Cancel while they are
/// written keeps what was saved. Either way the report says so once.
TEST(NumberTracks, CancelStopsTheBatch) {
  {
    FakeWindow window({"a.mp3", "b.mp3", "c.mp3"});
    window.loadedFile = "a.mp3";
    window.onScreen = window.files["a.mp3"];
    window.stopAtCheck = 2;
    const auto before = window.files;
    const BatchReport report = numberTracks(window);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(window.batches, 0);
    EXPECT_EQ(window.files["b.mp3"], before.at("b.mp3"));
    EXPECT_EQ(batchReportText(report),
              "Stopped: 0 files saved; the others were left as they were.");
  }
  {
    FakeWindow window({"a.mp3", "b.mp3", "c.mp3"});
    window.loadedFile = "a.mp3";
    window.onScreen = window.files["a.mp3"];
    window.stopAfterWrites = 2;
    const BatchReport report = numberTracks(window);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.saved, 2);
    EXPECT_EQ(window.files["b.mp3"].txt[kV2Track], "02");
    EXPECT_EQ(window.files["c.mp3"].txt[kV2Track], "92");
    EXPECT_EQ(batchReportText(report),
              "Stopped: 2 files saved; the others were left as they were.");
  }
}

/// Failures, from the reading or the writing, are reported once at the end:
/// the count and the first few names with their reasons.
TEST(NumberTracks, ErrorsAreReportedOnceWithTheFirstNames) {
  std::vector<std::string> names;
  for (int i = 1; i <= 9; ++i) names.push_back("s" + std::to_string(i) + ".mp3");
  FakeWindow window(names);
  window.loadedFile = names[0];
  window.onScreen = window.files[names[0]];
  window.refusedPlans = {"s2.mp3", "s3.mp3", "s4.mp3"};
  window.failingWrites = {"s5.mp3", "s6.mp3", "s7.mp3", "s9.mp3"};
  const BatchReport report = numberTracks(window);
  EXPECT_EQ(report.saved, 2);
  EXPECT_EQ(report.failed, 7);
  EXPECT_EQ(batchReportText(report),
            "7 files could not be saved:\n"
            "s2.mp3: refused s2.mp3\ns3.mp3: refused s3.mp3\ns4.mp3: refused s4.mp3\n"
            "s5.mp3: failed s5.mp3\ns6.mp3: failed s6.mp3\n... and 2 more.");
  // A batch that cannot be recorded writes nothing and names the reason.
  FakeWindow refused({"a.mp3"});
  refused.loadedFile = "a.mp3";
  refused.refuseBatch = true;
  const BatchReport none = numberTracks(refused);
  EXPECT_EQ(none.failed, 1);
  EXPECT_EQ(batchReportText(none), "1 file could not be saved:\na.mp3: cannot record the batch");
}

TEST(NumberTracks, NumbersTheMp3NamesInListOrder) {
  std::vector<std::string> names;
  for (int i = 1; i <= 12; ++i) names.push_back("song " + std::to_string(100 + i) + ".mp3");
  FakeWindow window(names);
  window.loadedFile = names[0];
  window.onScreen = window.files[names[0]];
  const BatchReport report = numberTracks(window);
  EXPECT_EQ(report, counts(12, 12, 0, 0));
  for (int i = 0; i < 12; ++i) {
    const TagFields& file = window.files[names[static_cast<std::size_t>(i)]];
    EXPECT_EQ(file.txt[kV2Track], trackText(i + 1));
    // Every other field as it was read.
    EXPECT_EQ(file.txt[kV2Title], "title " + std::to_string(i));
    EXPECT_EQ(file.txt[kV2Artist], "own artist");
  }
  EXPECT_EQ(window.files[names[8]].txt[kV2Track], "09");
  EXPECT_EQ(window.files[names[11]].txt[kV2Track], "12");
}

TEST(NumberTracks, OtherKindsTakeNoNumberAndNoSave) {
  FakeWindow window({"a.mp3", "b.wav", "c.Mp3", "d.MP3", "e.WAV"});
  window.loadedFile = "a.mp3";
  window.onScreen = window.files["a.mp3"];
  window.onScreen.txt[kV2Title] = "typed, not saved yet";
  window.files["c.Mp3"].txt[kV2Track] = "untouched";
  const BatchReport report = numberTracks(window);
  EXPECT_EQ(report, counts(5, 2, 3, 0));
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Track], "01");
  // The WAV files are not on the list of MP3 names; the mixed-case MP3 name
  // is, and keeps its place though it cannot be loaded.
  EXPECT_EQ(window.files["d.MP3"].txt[kV2Track], "03");
  EXPECT_EQ(window.files["c.Mp3"].txt[kV2Track], "untouched");
  // a.mp3, the file on screen, is written with the batch from what the
  // screen shows (its typed title and its number), planned once in its own
  // pass and never after the passes that did not load; no save of its own.
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Title], "typed, not saved yet");
  EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "save a.mp3"), 0);
  EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "plan a.mp3"), 1);
  EXPECT_EQ(window.batches, 1);
}

TEST(BatchReportText, SkippedAndFailed) {
  EXPECT_EQ(batchReportText(counts(3, 1, 1, 1)),
            "Skipped 1 file of 3: only files ending in .mp3 or .MP3 are loaded and saved.\n"
            "1 file could not be saved.");
  EXPECT_EQ(batchReportText(counts(3, 3, 0, 0)), std::nullopt);
}

}  // namespace
}  // namespace brindle::tageditor
