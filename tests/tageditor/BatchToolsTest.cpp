// Auto Info and Number Tracks on a stand-in window: the order of the steps,
// the progress bar and note, entries that do not load as MP3 files, Saves
// that stop early, and the report at the end.
#include "tageditor/core/BatchTools.h"

#include <gtest/gtest.h>

#include <map>
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
};

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
  const std::vector<std::string> expected{
      "note on", "save a.mp3", "move 0",     "max 2",   "load a.mp3", "save a.mp3", "value 1",
      "move 1",  "load b.mp3", "save b.mp3", "value 2", "value 0",    "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, (BatchReport{2, 2, 0, 0}));
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
      "note on",    "save a.mp3", "move 0",  "max 4",   "load a.mp3", "save a.mp3", "value 1",
      "move 1",     "load b.wav", "value 2", "move 2",  "load c.Mp3", "value 3",    "move 3",
      "load d.mp3", "save d.mp3", "value 4", "value 0", "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, (BatchReport{4, 2, 2, 0}));
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
  const std::vector<std::string> expected{"note on", "remember",   "move 0",
                                          "max 1",   "load a.mp3", "save a.mp3",
                                          "value 1", "value 0",    "note off"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(report, (BatchReport{1, 1, 0, 0}));
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Album], albumValues().txt[kV2Album]);
}

TEST(AutoInfo, EmptyListSavesTheFileOnScreenOnly) {
  FakeWindow window({});
  RememberedValues remembered;
  window.loadedFile = "x.mp3";
  const BatchReport report = autoInfo(window, remembered);
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
  EXPECT_EQ(report, (BatchReport{2, 0, 0, 2}));
  EXPECT_EQ(window.log.back(), "note off");
  EXPECT_EQ(batchReportText(report), "2 files could not be saved.");
}

TEST(NumberTracks, NumbersTheMp3NamesInListOrder) {
  std::vector<std::string> names;
  for (int i = 1; i <= 12; ++i) names.push_back("song " + std::to_string(100 + i) + ".mp3");
  FakeWindow window(names);
  window.loadedFile = names[0];
  window.onScreen = window.files[names[0]];
  const BatchReport report = numberTracks(window);
  EXPECT_EQ(report, (BatchReport{12, 12, 0, 0}));
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
  window.files["c.Mp3"].txt[kV2Track] = "untouched";
  const BatchReport report = numberTracks(window);
  EXPECT_EQ(report, (BatchReport{5, 2, 3, 0}));
  EXPECT_EQ(window.files["a.mp3"].txt[kV2Track], "01");
  // The WAV files are not on the list of MP3 names; the mixed-case MP3 name
  // is, and keeps its place though it cannot be loaded.
  EXPECT_EQ(window.files["d.MP3"].txt[kV2Track], "03");
  EXPECT_EQ(window.files["c.Mp3"].txt[kV2Track], "untouched");
  // a.mp3 was saved twice (the file on screen, then its own pass), and
  // never after the passes that did not load.
  EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "save a.mp3"), 2);
}

TEST(BatchReportText, SkippedAndFailed) {
  EXPECT_EQ(batchReportText({3, 1, 1, 1}),
            "Skipped 1 file of 3: only files ending in .mp3 or .MP3 are loaded and saved.\n"
            "1 file could not be saved.");
  EXPECT_EQ(batchReportText({3, 3, 0, 0}), std::nullopt);
}

}  // namespace
}  // namespace brindle::tageditor
