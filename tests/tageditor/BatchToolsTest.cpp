// Auto Info and Number Tracks on a stand-in window: the question, the order
// of the steps, skipped entries, failures, Cancel and the one report.
#include "tageditor/core/BatchTools.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "inspect/GenreList.h"

namespace brindle::tageditor {
namespace {

using inspect::genrePositionForText;

/// A window over names whose "files" are field values in memory; logs every step.
class FakeWindow : public TagEditorHost {
 public:
  explicit FakeWindow(std::vector<std::string> names) : entryNames(std::move(names)) {
    for (std::size_t i = 0; i < entryNames.size(); ++i) {
      TagFields& own = files[entryNames[i]];
      own.txt[kV1Title] = "v1 title " + std::to_string(i);
      own.txt[kV2Title] = "title " + std::to_string(i);
      own.txt[kV2Track] = "9" + std::to_string(i);
      own.txt[kV2Artist] = "own artist";
    }
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
  void remember() override {
    step("remember");
    remembered.remember(onScreen);
  }
  int entryCount() const override { return static_cast<int>(entryNames.size()); }
  std::string entryName(int index) const override { return entryNames.at(std::size_t(index)); }
  void moveToEntry(int index) override { step("move " + std::to_string(current = index)); }
  LoadResult loadCurrentEntry() override {
    const std::string& name = entryNames.at(static_cast<std::size_t>(current));
    const std::string ending = name.substr(step("load " + name) ? name.size() - 4 : 0);
    if (ending != ".mp3" && ending != ".MP3") {
      return ending == ".wav" || ending == ".WAV" ? LoadResult::Wav : LoadResult::Refused;
    }
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
    return step("ask") && answerYes;
  }
  bool stopRequested() override { return ++stopChecks == stopAtCheck; }
  void showNote(bool visible) override { step(visible ? "note on" : "note off"); }
  void setProgressMaximum(int maximum) override { step("max " + std::to_string(maximum)); }
  void setProgressValue(int value) override { step("value " + std::to_string(value)); }

  /// Adds `text` to the log, joined by "|".
  bool step(const std::string& text) {
    log += (log.empty() ? "" : "|") + text;
    return true;
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
  for (int index : kRememberedFields) {
    fields.txt[static_cast<std::size_t>(index)] = "album " + std::to_string(index);
  }
  fields.txt[kV2Genre] = "Jazz";
  fields.genre = genrePositionForText("Jazz");
  return fields;
}

/// A window over `names` with `loaded` on screen (its own fields, or `onScreen`).
FakeWindow windowOn(std::vector<std::string> names, const std::string& loaded,
                    std::optional<TagFields> onScreen = std::nullopt) {
  FakeWindow window(std::move(names));
  window.loadedFile = loaded;
  window.onScreen = onScreen ? *onScreen : window.files[loaded];
  return window;
}

using Log = std::vector<std::string>;

// Asked first; every entry planned (one that does not load as MP3 plans
// nothing: the previous file must not get its values), all written as one
// batch. Without a loaded file (another folder) the values on screen are
// remembered, not saved; a loaded file that is not listed is saved on its own.
TEST(AutoInfo, StepsInOrder) {
  const struct {
    std::vector<std::string> names;
    const char* loaded;
    const char* log;
    BatchReport report;
  } cases[] = {
      {{"a.mp3", "b.wav", "c.Mp3", "d.mp3"},
       "a.mp3",
       "ask|note on|remember|move 0|max 4|load a.mp3|plan a.mp3|value 1|move 1|load b.wav|value 2"
       "|move 2|load c.Mp3|value 3|move 3|load d.mp3|plan d.mp3|value 4|max 2|value 0"
       "|batch Auto Info 2|value 1|value 2|value 0|note off",
       counts(4, 2, 2, 0)},
      {{"a.mp3"},
       "",
       "ask|note on|remember|move 0|max 1|load a.mp3|plan a.mp3|value 1|max 1|value 0"
       "|batch Auto Info 1|value 1|value 0|note off",
       counts(1, 1, 0, 0)},
      {{}, "x.mp3", "note on|save x.mp3|value 0|note off", counts(0, 0, 0, 0)},
  };
  for (const auto& row : cases) {
    FakeWindow window = windowOn(row.names, row.loaded, albumValues());
    EXPECT_EQ(autoInfo(window, window.remembered), row.report);
    EXPECT_EQ(window.log, row.log);
    EXPECT_EQ(window.files["a.mp3"].txt[kV2Album], row.names.empty() ? "" : "album 9");
  }
  EXPECT_EQ(batchReportText(counts(4, 2, 2, 0)),
            "Skipped 2 files of 4: only files ending in .mp3 or .MP3 are loaded and saved.");
}

TEST(AutoInfo, GivesEveryFileTheRememberedValuesAndKeepsItsTitlesAndTrack) {
  FakeWindow window = windowOn({"a.mp3", "b.mp3", "c.MP3"}, "a.mp3");
  for (int index : kRememberedFields) {
    window.onScreen.txt[static_cast<std::size_t>(index)] =
        albumValues().txt[static_cast<std::size_t>(index)];
  }
  window.onScreen.genre = albumValues().genre;
  autoInfo(window, window.remembered);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    TagFields expected = albumValues();
    expected.txt[kV2Title] = "title " + std::to_string(i);
    expected.txt[kV1Title] = "v1 title " + std::to_string(i);
    expected.txt[kV2Track] = "9" + std::to_string(i);
    EXPECT_EQ(window.files[window.entryNames[static_cast<std::size_t>(i)]], expected);
  }
}

TEST(AutoInfo, PlansThatFailCountAsFailedAndTheBatchGoesOn) {
  FakeWindow window = windowOn({"a.mp3", "b.mp3"}, "a.mp3");
  for (auto& [name, file] : window.files) file.genre = -1;
  window.onScreen.genre = -1;
  const BatchReport report = autoInfo(window, window.remembered);
  BatchReport expected = counts(2, 0, 0, 2);
  expected.failures = {{"a.mp3", "the fields could not be taken over"},
                       {"b.mp3", "the fields could not be taken over"}};
  EXPECT_EQ(report, expected);
  EXPECT_TRUE(window.log.ends_with("note off"));
  EXPECT_EQ(window.batches, 0);
  EXPECT_EQ(batchReportText(report),
            "2 files could not be saved:\na.mp3: the fields could not be taken over\n"
            "b.mp3: the fields could not be taken over");
}

// The questions name the count and what is written; No touches nothing.
TEST(BatchTools, AskFirstAndNoTouchesNothing) {
  TagFields values = albumValues();
  values.txt[kV2Comment].clear();
  FakeWindow window = windowOn({"a.mp3", "b.wav", "c.mp3"}, "a.mp3", values);
  window.answerYes = false;
  const auto before = window.files;
  const BatchReport report = autoInfo(window, window.remembered);
  EXPECT_EQ(window.questions,
            Log{"Write Artist: album 10, Album: album 9, Year: album 8, Genre: Jazz, Comment: "
                "(empty), Composer: album 12, Orig. Artist: album 13, Copyright: album 14, URL: "
                "album 15, Encoded By: album 16, ID3v1 Artist: album 1, ID3v1 Album: album 2, "
                "ID3v1 Year: album 3, ID3v1 Comment: album 5 to 2 files?"});
  EXPECT_EQ(window.log, "ask");
  EXPECT_TRUE(report.declined);
  EXPECT_EQ(batchReportText(report), std::nullopt);
  EXPECT_TRUE(numberTracks(window).declined);
  EXPECT_EQ(window.questions.back(), "Number 2 files 01-02?");
  EXPECT_EQ(window.files, before);
  EXPECT_EQ(numberTracksQuestion(1), "Number 1 file 01-01?");
  EXPECT_EQ(numberTracksQuestion(100), "Number 100 files 01-100?");
}

// Cancel while the entries are read writes nothing; Cancel while they are
// written keeps what was saved.
TEST(NumberTracks, CancelStopsTheBatch) {
  const struct {
    int stopAtCheck, stopAfterWrites, saved, batches;
    const char* trackOfC;
  } cases[] = {{2, -1, 0, 0, "92"}, {-1, 2, 2, 1, "92"}, {-1, -1, 3, 1, "03"}};
  for (const auto& row : cases) {
    SCOPED_TRACE(row.saved);
    FakeWindow window = windowOn({"a.mp3", "b.mp3", "c.mp3"}, "a.mp3");
    window.stopAtCheck = row.stopAtCheck;
    window.stopAfterWrites = row.stopAfterWrites;
    const BatchReport report = numberTracks(window);
    EXPECT_EQ(report.stopped, row.saved < 3);
    EXPECT_EQ(report.saved, row.saved);
    EXPECT_EQ(window.batches, row.batches);
    EXPECT_EQ(window.files["b.mp3"].txt[kV2Track], row.saved >= 2 ? "02" : "91");
    EXPECT_EQ(window.files["c.mp3"].txt[kV2Track], row.trackOfC);
    if (row.saved < 3) {
      EXPECT_EQ(batchReportText(report), "Stopped: " + std::to_string(row.saved) +
                                             " files saved; the others were left as they were.");
    }
  }
}

// Failures of the reading or the writing are reported once: the count and the first five.
TEST(NumberTracks, ErrorsAreReportedOnceWithTheFirstNames) {
  std::vector<std::string> names;
  for (int i = 1; i <= 9; ++i) names.push_back("s" + std::to_string(i) + ".mp3");
  FakeWindow window = windowOn(names, names[0]);
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
  FakeWindow refused = windowOn({"a.mp3"}, "a.mp3");
  refused.refuseBatch = true;
  const BatchReport none = numberTracks(refused);
  EXPECT_EQ(none.failed, 1);
  EXPECT_EQ(batchReportText(none), "1 file could not be saved:\na.mp3: cannot record the batch");
}

// Tracks are numbered in list order, the other fields kept. WAV names take no
// number; a mixed-case MP3 name keeps its place though it cannot be loaded.
// The file on screen is written with the batch from what the screen shows,
// planned once, never saved on its own.
TEST(NumberTracks, OtherKindsTakeNoNumberAndNoSave) {
  FakeWindow window = windowOn({"a.mp3", "b.wav", "c.Mp3", "d.MP3", "e.WAV"}, "a.mp3");
  window.onScreen.txt[kV2Title] = "typed, not saved yet";
  window.files["c.Mp3"].txt[kV2Track] = "untouched";
  EXPECT_EQ(numberTracks(window), counts(5, 2, 3, 0));
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Track], "01");
  EXPECT_EQ(window.files["d.MP3"].txt[kV2Track], "03");
  EXPECT_EQ(window.files["d.MP3"].txt[kV2Title], "title 3");
  EXPECT_EQ(window.files["d.MP3"].txt[kV2Artist], "own artist");
  EXPECT_EQ(window.files["c.Mp3"].txt[kV2Track], "untouched");
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Title], "typed, not saved yet");
  EXPECT_EQ(window.log.find("save a.mp3"), std::string::npos);
  EXPECT_EQ(window.log.find("plan a.mp3"), window.log.rfind("plan a.mp3"));
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
