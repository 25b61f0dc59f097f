// The rename core: the rules, typed numbers, preview and remembered numbering; the batch walk on
// a real folder; renames in the history; the rename commands as one table of dialog scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/testing/FakeFileList.h"
#include "history/History.h"
#include "history/Recovery.h"
#include "history/testing/FakeHistory.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/text/FileNameText.h"
#include "rename/core/BatchPreview.h"
#include "rename/core/BatchWalk.h"
#include "rename/core/NameRules.h"
#include "rename/core/NumberEntry.h"
#include "rename/core/RememberedNumbering.h"
#include "rename/core/RenameCommands.h"
#include "tests/rename/RenameTestSupport.h"
#include "tests/support/TempDir.h"
#include "ui/core/FileListing.h"

namespace brindle::rename {
namespace {

using platform::testing::FsOp;
using testsupport::TempDir;
using Names = std::set<std::string>;
using testing::namesIn;

/// The file list stand-in over a real folder's names, counting how the list is read.
struct FolderList : app::FakeFileList {
  explicit FolderList(const std::string& directory)
      : FakeFileList(directory, [&] {
          platform::posix::PosixFileSystem fileSystem;
          return ui::readFileList(fileSystem, directory).value();
        }()) {}
  void select(const std::vector<std::string>& chosen) {
    for (std::size_t i = 0; i < names.size(); ++i)
      selected[i] = selected[i] || std::ranges::count(chosen, names[i]) > 0;
  }
  void selectAll() { selected.assign(names.size(), true); }
  void setCurrent(const std::string& name) {
    const auto at = std::ranges::find(names, name);
    current = at == names.end() ? -1 : int(at - names.begin());
  }
  int entryCount() const override { return ++entryCountCalls, FakeFileList::entryCount(); }
  std::string entryName(int i) const override {
    return nameRequests.push_back(i), FakeFileList::entryName(i);
  }
  mutable int entryCountCalls = 0;
  mutable std::vector<int> nameRequests;
};

using Kind = RuleResult::Kind;
using enum NumberingOptions::Layout;

/// The plan for one selected entry in /music.
RuleResult planned(const std::string& name, const NameRule& rule) {
  app::FakeFileList list("/music", {name});
  list.selected = {true};
  return planBatch(list, rule).entries.at(0).rule;
}

TEST(NameRuleTable, EveryRowGivesItsNewName) {
  using E = std::pair<Kind, std::string>;
  // clang-format off
  const auto to = [](std::string name) { return E{Kind::Rename, name}; };
  const auto bad = [](std::string name) { return E{Kind::Refused, name}; };
  const E same{Kind::Unchanged, ""};
  const NameRule lower = caseRule(CaseKind::Lower), upper = caseRule(CaseKind::Upper);
  const NameRule title = caseRule(CaseKind::Title); const auto rep = replaceRule;
  const auto middle = removeMiddleRule; const auto left = removeLeftRule; const auto right = removeRightRule;
  const auto ext = [](std::string e) { return extensionRule("/music", e); };
  const auto common = [](std::string name, int n) { return numberingRule({Common, name, ""}, n); };
  const auto uLeft = [](std::string divider, int n) { return numberingRule({UniqueLeft, "", divider}, n); };
  const auto uRight = [](std::string divider, int n) { return numberingRule({UniqueRight, "", divider}, n); };
  const struct { NameRule rule; std::string oldName; E expected; } rows[] = {
      {lower, "Track.MP3", to("track.mp3")}, {lower, "song.mp3", same},
      {lower, "ÉCOLE.MP3", to("école.mp3")}, {upper, "Track.MP3", to("TRACK.MP3")},
      {upper, "straße.mp3", to("STRASSE.MP3")}, {upper, "çà.txt", to("ÇÀ.TXT")},
      {title, "my song-two.MP3", to("My Song-two.mp3")}, {title, "01 o'neil.txt", to("01 O'neil.txt")},
      {title, "readme", to("Readme")}, {title, ".hidden", same}, {title, "my_song.mp3", to("My_song.mp3")},
      {title, "a\tb\vc\fd\re\nf", to("A\tB\vC\fD\rE\nF")}, {title, "élan VITAL.mp3", to("Élan Vital.mp3")},
      {title, "ǆemal.txt", to("ǅemal.txt")}, {lower, "\xC9T\xC9.MP3", same}, {upper, "\xE9t\xE9.mp3", same},
      {title, "caf\xE9 song", same}, {lower, "\xED\xA0\x80.MP3", same},
      {rep("_", " "), "my_song_01.mp3", to("my song 01.mp3")}, {rep("a", ""), "Banana.txt", to("Bnn.txt")},
      {rep("", "x"), "Banana.txt", same}, {rep("aa", "b"), "aaa.txt", to("ba.txt")},
      {rep("an", "AN"), "Banana.txt", to("BANANa.txt")}, {rep(".mp3", ".wav"), "a.mp3.mp3", to("a.wav.wav")},
      {rep("z", "y"), "Banana.txt", same}, {rep("é", "e"), "Café.mp3", to("Cafe.mp3")},
      {rep("t", "T"), "\xE9t\xE9.mp3", to("\xE9T\xE9.mp3")}, {rep("_", "/"), "a_b.mp3", bad("a/b.mp3")},
      {rep("x", ""), "x", bad("")}, {rep("x", "."), "x", bad(".")}, {rep("x", "."), "xx", bad("..")},
      {left(3), "01 Song.mp3", to("Song.mp3")}, {left(0), "01 Song.mp3", same},
      {left(-2), "01 Song.mp3", same}, {left(12), "01 Song.mp3", same}, {left(11), "01 Song.mp3", bad("")},
      {left(10), "01 Song.mp3", to("3")}, {left(1), "Édith.mp3", to("dith.mp3")},
      {left(1), "\xC9" "dith.mp3", to("dith.mp3")}, {right(2), "Song01.mp3", to("Song.mp3")},
      {right(1), "my.song.mp3", to("m.song.mp3")}, {right(2), "my.song.mp3", to(".song.mp3")},
      {right(4), "Song.mp3", to(".mp3")}, {right(5), "Song.mp3", same}, {right(9), "Song.mp3", same},
      {right(2), "README", same}, {right(0), "Song01.mp3", same}, {right(1), ".hidden", same},
      {right(2), "Andrés.mp3", to("Andr.mp3")}, {middle(3, 2), "abXYcdXY.txt", to("abcd.txt")},
      {middle(11, 2), "abXYcdXY.txt", same}, {middle(11, 1), "abXYcdXY.txt", to("abXYcdXY.tt")},
      {middle(5, 2), "abcdef", same}, {middle(4, 2), "abcdef", to("abcf")}, {middle(0, 2), "abcdef", same},
      {middle(2, 0), "abcdef", same}, {middle(1, 7), "abcdef", same}, {middle(1, 1), "aXa.txt", to("X.txt")},
      {middle(2, 1), "ñañ.txt", to("ññ.txt")}, {ext("wav"), "song.mp3", to("song.wav")},
      {ext("wav"), "my.song.mp3", to("my.wav")}, {ext("txt"), "README", to("txt")},
      {ext("mp3"), "song.MP3", to("song.mp3")}, {ext("mp3"), "song.mp3", same},
      {ext("peg"), "song.mpeg", same}, {ext("m.3"), "song.mp3", to("song.m.3")},
      {ext("xyz"), "ab", to("xyz")}, {ext("/ab"), "ab", same}, {ext("a/b"), "song.mp3", bad("song.a/b")},
      {common("song", 1), "a.mp3", to("song 01.mp3")}, {common("song", 3), "c.wav", to("song 03.wav")},
      {common("file", 1), "clip.mpeg", to("file 01.peg")}, {common("song", 0), "a.mp3", to("song 00.mp3")},
      {common("song", 10), "a.mp3", to("song 10.mp3")}, {uRight("-", 9), "track.mp3", to("track-09.mp3")},
      {uRight("_", 1), "a.b.mp3", to("a_01.mp3")}, {uRight("-", 1), "README", to("README-01.DME")},
      {uLeft("", 1), "track.mp3", to("01track.mp3")}, {common("song", 1), "song 01.mp3", same},
      {uLeft(" - ", 12), "track.mp3", to("12 - track.mp3")}, {common("a/b", 1), "a.mp3", bad("a/b 01.mp3")},
      {common("song", 32767), "a.mp3", to("song 32767.mp3")},
      {common("song", 32768), "a.mp3", bad("song 32768.mp3")},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.oldName);
    const RuleResult result = planned(row.oldName, row.rule);
    EXPECT_EQ(E(result.kind, result.newName()), row.expected);
  }
}

// A change of case alone goes through a temporary name (for file systems that ignore case).
TEST(CaseNames, CaseOnlyChangesGoThroughATemporaryName) {
  EXPECT_FALSE(caseName(CaseKind::Lower, "\xFF.mp3"));
  EXPECT_EQ(std::vector({differOnlyInCase("Song.mp3", "song.MP3"),
                         differOnlyInCase("song.mp3", "song.mp3"),
                         differOnlyInCase("\xFF.mp3", "\xFF.MP3"),
                         planned("A.TXT", caseRule(CaseKind::Lower)).throughTemporaryName,
                         planned("a.txt", replaceRule("a", "A")).throughTemporaryName,
                         planned("a.txt", replaceRule("a", "b")).throughTemporaryName}),
            std::vector({true, false, false, true, true, false}));
}

TEST(SmallHelpers, ExtensionsCharactersAndPlainNames) {
  using enum ExtensionAnswer;
  // clang-format off
  EXPECT_EQ(std::vector({checkExtension(""), checkExtension(".mp3"), checkExtension("mp3."),
      checkExtension("mp"),
                         checkExtension("m.3"), checkExtension("ogg"), checkExtension("ñañ")}),
            std::vector({Empty, LeadingPeriod, WrongLength, WrongLength, Usable, Usable, Usable}));
  EXPECT_EQ(std::vector({characterCount("Édith"), characterCount("\xC9\x64ith"), characterCount("")}),
            std::vector<std::size_t>({5, 5, 0}));
  // clang-format on
  EXPECT_EQ(std::vector({lastCharacters("señor.ñañ", 3), lastCharacters("ab", 3)}),
            std::vector<std::string_view>({"ñañ", "ab"}));
  EXPECT_EQ(characterBounds("añb"), (std::vector<std::size_t>{0, 1, 3, 4}));
  for (std::string name : {"a.mp3", "...", "\xFF"}) EXPECT_TRUE(isPlainFileName(name)) << name;
  for (std::string name : std::vector<std::string>{"", ".", "..", "a/b", {"a\0b", 3}})
    EXPECT_FALSE(isPlainFileName(name)) << name;
}

// Typed 16-bit counts and start numbers; an unusable entry keeps the current value.
TEST(NumberEntry, ReadsAsANumericText) {
  const std::optional<std::int16_t> none;
  // clang-format off
  const struct { const char* typed; std::optional<std::int16_t> value; } rows[] = {
      {"3", 3}, {" 3 ", 3}, {"\t7\t", 7}, {"+4", 4}, {"-2", -2}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2},
      {"0.5", 0}, {"1.5", 2}, {".5", 0}, {"1e1", 10}, {"32767", 32767}, {"-32768", -32768},
      {"32767.4", 32767}, {"32767.5", none}, {"32768", none}, {"-32769", none}, {"", none}, {"   ", none},
      {"abc", none}, {"3abc", none}, {"1 2", none}, {"-", none}, {".", none}, {"1e", none}, {"inf", none},
      {"nan", none}, {"99999999999999999999", none},
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(parseNumberEntry(row.typed), row.value) << row.typed;
  EXPECT_EQ(
      std::vector({enteredOr("", 2), enteredOr("x", -5), enteredOr("40000", 7), enteredOr("4", 7)}),
      (std::vector<std::int16_t>{2, -5, 7, 4}));
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  // clang-format off
  const struct { const char* text; std::int64_t value; } rows[] = {
      {"01", 1}, {"001", 1}, {"9", 9}, {"abc", 0}, {"", 0}, {"-3", -3}, {"2.5x", 2}, {"  12abc", 12},
      {"1.5", 2}, {"-0.4", 0}, {"-0.6", -1}, {"99999", 99999}, {"32768", 32768}, {"+7", 7}, {"x12", 0},
      {"1e400", std::numeric_limits<std::int64_t>::max()},
      {"-99999999999999999999999", std::numeric_limits<std::int64_t>::min()},
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(leadingNumber(row.text), row.value) << row.text;
}

// The preview lists each selected entry, marks refusals, and cuts a long list with a count.
TEST(BatchPreview, ListsEveryEntryMarksRefusalsAndCutsLongLists) {
  BatchPlan plan;
  plan.entryCount = 5;
  plan.entries = {{0, "a.mp3", RuleResult::renameTo("a.mp3", "A.MP3")},
                  {1, "B.MP3", RuleResult::unchanged()},
                  {2, "c.mp3", RuleResult::refused("A.MP3", kNameTakenByEarlierEntry)},
                  {4, "\xE9.mp3", RuleResult::refused("x/y.mp3", "not a plain file name")}};
  EXPECT_EQ(previewText(plan),
            "1 file to rename, 2 not renamed (marked):\na.mp3 -> A.MP3\nB.MP3 (unchanged)\n"
            "c.mp3 -> A.MP3  [not renamed: an earlier file of the batch gets this name]\n"
            "\xEF\xBF\xBD.mp3 -> x/y.mp3  [not renamed: not a plain file name]\n");
  plan.entries.clear();
  for (int i = 0; i < 5; ++i) {
    const std::string name = std::to_string(i) + ".txt";
    plan.entries.push_back({i, name, RuleResult::renameTo(name, "n" + name)});
  }
  EXPECT_EQ(previewText(plan, 2),
            "5 files to rename:\n0.txt -> n0.txt\n1.txt -> n1.txt\n... and 3 more\n");
}

// The remembered choices come back exactly; nothing from missing or unreadable values.
TEST(RememberedNumbering, ChoicesComeBackAsStoredUnreadableGivesNothing) {
  for (NumberingOptions::Layout layout : {Common, UniqueLeft, UniqueRight}) {
    platform::testing::MemorySettings settings;
    const NumberingChoices choices{{layout, "Caf\xC3\xA9 \xFF", " - "}, "007"};
    rememberNumbering(settings, choices);
    EXPECT_EQ(rememberedNumbering(settings), choices);
  }
  platform::testing::MemorySettings settings;
  EXPECT_EQ(rememberedNumbering(settings), std::nullopt);
  settings.setValue("numberedRename/layout", "sideways");
  EXPECT_EQ(rememberedNumbering(settings), std::nullopt);
}

using Outcome = EntryResult::Outcome;

/// Fails every rename onto one of `failingTargets` (the second step of a two-step rename).
class TargetFaults : public platform::testing::RecordingFileSystem {
 public:
  using RecordingFileSystem::RecordingFileSystem;
  platform::Status renameNoReplace(const std::string& from, const std::string& to) override {
    if (!failingTargets.contains(to)) return RecordingFileSystem::renameNoReplace(from, to);
    (void)enter(FsOp::Rename, from, to);
    return platform::Error{EIO, "disk trouble"};
  }
  std::set<std::string> failingTargets;
};

bool isTemporaryName(const std::string& directory, const std::string& path) {
  return path.starts_with(directory + "/.brindle-") && path.size() == directory.size() + 18;
}

class BatchWalkTest : public ::testing::Test {
 protected:
  FolderList& listOf(std::initializer_list<const char*> names) {
    for (const char* name : names) folder.write(name, name);
    list = std::make_unique<FolderList>(folder.path());
    list->selectAll();
    return *list;
  }
  TempDir folder;
  platform::posix::PosixFileSystem real;
  TargetFaults fileSystem{real};
  std::unique_ptr<FolderList> list;
};

// The list is read once; progress is the position in the list (unchanged entries too), then 0.
TEST_F(BatchWalkTest, ReadsTheListOnceAndShowsThePosition) {
  // clang-format off
  const struct { std::vector<std::string> selected; NameRule rule; std::vector<int> names;
    std::vector<std::string> progress; Names after; } cases[] = {
      {{"b", "d"}, caseRule(CaseKind::Upper), {1, 3}, {"max 4", "value 1", "value 3", "value 0"},
       {"a", "B", "c", "D"}},
      {{"a", "b", "c", "d"}, removeLeftRule(0), {0, 1, 2, 3},
       {"max 4", "value 0", "value 1", "value 2", "value 3", "value 0"}, {"a", "b", "c", "d"}},
      {{}, caseRule(CaseKind::Upper), {}, {"max 4", "value 0"}, {"a", "b", "c", "d"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    TempDir here;
    for (const char* name : {"a", "b", "c", "d"}) here.write(name);
    FolderList files(here.path());
    files.select(c.selected);
    runBatch(files, real, c.rule);
    EXPECT_EQ(std::vector({files.entryCountCalls, files.selectionReads, files.rereads}),
              std::vector({1, 1, 1}));
    EXPECT_EQ(files.nameRequests, c.names);
    EXPECT_EQ(files.progress, c.progress);
    EXPECT_EQ(namesIn(here.path()), c.after);
  }
}

// Case renames go old -> temporary -> new, also for 255-byte names; names in the case stay.
TEST_F(BatchWalkTest, CaseRenamesGoThroughATemporaryName) {
  const std::string upper(251, 'A'), lower(251, 'a');
  using enum CaseKind;
  // An empty newName: unchanged.
  // clang-format off
  const struct { CaseKind kind; std::string oldName, newName; } cases[] = {
      {Lower, "Track.MP3", "track.mp3"}, {Lower, upper + ".MP3", lower + ".mp3"},
      {Upper, lower + ".mp3", upper + ".MP3"}, {Title, upper + ".MP3", "A" + lower.substr(1) + ".mp3"},
      {Lower, "song.mp3", ""}, {Upper, "SONG.MP3", ""}, {Title, "My Song.mp3", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oldName.substr(0, 12) + " " + std::to_string(c.oldName.size()));
    TempDir here;
    here.write(c.oldName, "music");
    platform::testing::RecordingFileSystem recording{real};
    FolderList files(here.path());
    files.selectAll();
    const auto results = runBatch(files, recording, caseRule(c.kind));
    const std::string now = c.newName.empty() ? c.oldName : c.newName;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, c.newName.empty() ? Outcome::Unchanged : Outcome::Renamed);
    EXPECT_EQ(namesIn(here.path()), Names{now});
    EXPECT_EQ(TempDir::read(here.file(now)), "music");
    std::vector<std::string> steps, expected;  // a temporary name as "T"
    for (const auto& call : recording.callsOf(FsOp::Rename)) {
      for (const std::string& path : {call.path, call.second})
        steps.push_back(isTemporaryName(here.path(), path) ? "T" : path);
    }
    if (!c.newName.empty()) expected = {here.file(c.oldName), "T", "T", here.file(c.newName)};
    EXPECT_EQ(steps, expected);
  }
}

// The plan foresees every clash of the run before anything changes; no file is replaced or moved.
TEST_F(BatchWalkTest, PlanForeseesEveryClashOfTheRun) {
  const std::string exists = std::generic_category().message(EEXIST),
                    plain = "not a plain file name";
  const std::string same = "=";  // reasons: per selected entry, "" when renamed, "=" when unchanged
  // clang-format off
  const struct { const char* what; std::vector<std::string> files, selected;
    std::map<std::string, std::string> newNames; std::vector<std::string> reasons; Names after; } cases[] = {
      {"two onto one", {"Asong", "Bsong"}, {"Asong", "Bsong"}, {{"Asong", "song"}, {"Bsong", "song"}},
       {"", kNameTakenByEarlierEntry}, {"Bsong", "song"}},
      {"outside the batch", {"s.mp3", "s.wav"}, {"s.wav"}, {{"s.wav", "s.mp3"}}, {exists}, {"s.mp3",
       "s.wav"}},
      {"a folder", {"x"}, {"x"}, {{"x", "dir"}}, {exists}, {"dir", "x"}},
      {"into a folder", {"x"}, {"x"}, {{"x", "dir/x"}}, {plain}, {"dir", "x"}},
      {"dot names", {"x", "y", "z"}, {"x", "y", "z"}, {{"x", "."}, {"y", ".."}, {"z", ""}}, {plain, plain,
       plain},
       {"dir", "x", "y", "z"}},
      {"chain against the order", {"a", "b"}, {"a", "b"}, {{"a", "b"}, {"b", "c"}}, {kNameFreedTooLate, ""},
       {"a", "c"}},
      {"chain along the order", {"a", "b"}, {"a", "b"}, {{"a", "c"}, {"b", "a"}}, {"", ""}, {"a", "c"}},
      {"cycle", {"a", "b"}, {"a", "b"}, {{"a", "b"}, {"b", "a"}}, {kNameFreedTooLate, exists}, {"a", "b"}},
      {"freed and taken again", {"a", "b", "c"}, {"a", "b", "c"}, {{"a", "x"}, {"b", "a"}, {"c", "a"}},
       {"", "", kNameTakenByEarlierEntry}, {"a", "c", "x"}},
      {"case onto an existing name", {"A.TXT", "a.txt"}, {"A.TXT"}, {{"A.TXT", "a.txt"}}, {exists},
       {"A.TXT", "a.txt"}},
      {"both case twins", {"A.TXT", "a.txt"}, {"A.TXT", "a.txt"}, {{"A.TXT", "a.txt"}, {"a.txt", "a.txt"}},
       {exists, same}, {"A.TXT", "a.txt"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir here;
    here.makeDirectory("dir");
    for (const std::string& name : c.files) here.write(name, name);
    const NameRule rule = [&c](const std::string& name) {
      return RuleResult::renameTo(name, c.newNames.at(name));
    };
    platform::testing::RecordingFileSystem recording{real};
    FolderList files(here.path());
    files.select(c.selected);
    const BatchPlan plan = planBatch(files, recording, rule);
    EXPECT_TRUE(recording.callsOf(FsOp::Rename).empty());
    files.select(c.selected);
    const auto results = runBatch(files, recording, rule);
    ASSERT_EQ(plan.entries.size(), c.reasons.size());
    ASSERT_EQ(results.size(), c.reasons.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
      const EntryResult planned = plannedResult(plan.entries[i]);
      EXPECT_EQ(std::pair(planned.outcome, planned.reason),
                std::pair(results[i].outcome, results[i].reason));
      const bool unchanged = c.reasons[i] == same;
      const Outcome outcome = unchanged              ? Outcome::Unchanged
                              : c.reasons[i].empty() ? Outcome::Renamed
                                                     : Outcome::Failed;
      EXPECT_EQ(std::pair(results[i].outcome, results[i].reason),
                std::pair(outcome, unchanged ? std::string() : c.reasons[i]));
    }
    Names after = c.after;
    after.insert("dir");
    EXPECT_EQ(namesIn(here.path()), after);
    EXPECT_TRUE(namesIn(here.file("dir")).empty());
    Names contents;
    for (const std::string& name : namesIn(here.path()))
      if (name != "dir") contents.insert(TempDir::read(here.file(name)));
    EXPECT_EQ(contents, Names(c.files.begin(), c.files.end()));
  }
}

// Each entry is reported as soon as it is done; a failed rename is skipped and the walk goes on.
TEST_F(BatchWalkTest, EachEntryIsReportedAndAFailureIsSkipped) {
  listOf({"a_1", "b_2", "c_3"});
  fileSystem.fail(FsOp::Rename, {EACCES, "refused"}, folder.file("b_2"));
  std::vector<std::size_t> renamesSoFar;
  std::vector<Outcome> outcomes;
  runBatch(*list, fileSystem, replaceRule("_", "-"), Progress::Shown,
           [&](const EntryResult& result) {
             outcomes.push_back(result.outcome);
             renamesSoFar.push_back(fileSystem.callsOf(FsOp::Rename).size());
           });
  EXPECT_EQ(renamesSoFar, (std::vector<std::size_t>{1, 2, 3}));
  EXPECT_EQ(outcomes, (std::vector<Outcome>{Outcome::Renamed, Outcome::Failed, Outcome::Renamed}));
  EXPECT_EQ(namesIn(folder.path()), (Names{"a-1", "b_2", "c-3"}));
}

// A failed second step renames the file back; if that fails too, the reason says where it is.
TEST_F(BatchWalkTest, SecondStepFailureRenamesTheFileBack) {
  listOf({"song.MP3"});
  fileSystem.failingTargets = {folder.file("song.mp3")};
  auto results = runBatch(*list, fileSystem, caseRule(CaseKind::Lower));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_EQ(results[0].reason.find("left as"), std::string::npos);
  EXPECT_EQ(namesIn(folder.path()), Names{"song.MP3"});
  EXPECT_EQ(TempDir::read(folder.file("song.MP3")), "song.MP3");
  const auto renames = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(renames.size(), 3u);
  EXPECT_TRUE(isTemporaryName(folder.path(), renames[2].path));
  EXPECT_EQ(renames[2].second, folder.file("song.MP3"));

  fileSystem.failingTargets.insert(folder.file("song.MP3"));
  list->selectAll();
  results = runBatch(*list, fileSystem, caseRule(CaseKind::Lower));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_NE(results[0].reason.find("left as .brindle-"), std::string::npos);
}

using history::BatchState;
namespace h = history;

/// A history whose batches are never closed, as one whose program was killed.
struct KilledHistory : h::History {
  explicit KilledHistory(h::History& store) : inner(store) {}
  // clang-format off
  platform::Result<h::BatchId> beginBatch(const std::string& command, const std::vector<h::TagChange>& tags,
      const std::vector<h::RenameChange>& renames, std::optional<h::BatchId> undoes) override {
    return inner.beginBatch(command, tags, renames, undoes);
  }
  platform::Status closeBatch(h::BatchId, BatchState) override { return {}; }
  platform::Result<std::vector<h::BatchSummary>> batches() override { return inner.batches(); }
  platform::Result<std::vector<h::TagChange>> tagChanges(h::BatchId i) override {
    return inner.tagChanges(i);
  }
  platform::Result<std::vector<h::RenameChange>> renameChanges(h::BatchId i) override {
    return inner.renameChanges(i);
  }
  // clang-format on
  h::History& inner;
};

/// Old name -> new name of the lower-case walk; all but one change case only.
const std::map<std::string, std::string> kLowerCase = {{"Alpha.mp3", "alpha.mp3"},
                                                       {"BETA.mp3", "beta.mp3"},
                                                       {"Gamma Delta.MP3", "gamma delta.mp3"},
                                                       {"epsilon.mp3", "epsilon.mp3"}};

class RenameHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store = std::move(history::openHistory(":memory:").value());
    for (const std::string& name : folder.names()) std::filesystem::remove(folder / name);
    for (const auto& [oldName, newName] : kLowerCase) folder.write(oldName, oldName);
  }
  std::vector<EntryResult> lowerCase(history::History& history, const EntryReport& report = {},
                                     const std::atomic<bool>* stop = nullptr) {
    FolderList list(folder.path());
    list.selectAll();
    return runBatch(list, fileSystem, caseRule(CaseKind::Lower), Progress::Shown, report,
                    {&history, "Convert All to Lowercase", stop});
  }
  /// Each file is whole under its old or its new name, and nothing else is there.
  void expectEachFileWhole() {
    Names expected;
    const Names present = namesIn(folder.path());
    for (const auto& [oldName, newName] : kLowerCase) {
      const std::string name = present.contains(oldName) ? oldName : newName;
      EXPECT_EQ(TempDir::read(folder / name), oldName);
      expected.insert(name);
    }
    EXPECT_EQ(present, expected);
  }
  std::vector<history::BatchSummary> batches() { return store->batches().value(); }
  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  std::unique_ptr<history::History> store;
};

// The batch, temporary names included, is recorded first; a stop finishes the entry under way.
TEST_F(RenameHistoryTest, TheWholeBatchIsRecordedAndAStopClosesIt) {
  std::atomic<bool> stop = false;
  const auto results = lowerCase(
      *store, [&](const EntryResult&) { stop = true; }, &stop);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, EntryResult::Outcome::Renamed);
  ASSERT_EQ(batches().size(), 1u);
  EXPECT_EQ(std::pair(batches()[0].state, batches()[0].fileCount),
            std::pair(BatchState::Stopped, 3));
  const auto renames = store->renameChanges(batches()[0].id).value();
  ASSERT_EQ(renames.size(), 3u);
  Names recorded;
  for (const history::RenameChange& change : renames) {
    EXPECT_EQ(change.directory, folder.path());
    EXPECT_EQ(kLowerCase.at(change.oldName), change.newName);
    EXPECT_TRUE(change.temporaryName.starts_with(".brindle-"));
    recorded.insert(change.temporaryName);
  }
  const auto calls = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_TRUE(recorded.contains(calls[0].second.substr(folder.path().size() + 1)));
  expectEachFileWhole();
}

// Killed after each step it takes, the walk is recovered at the next start.
TEST_F(RenameHistoryTest, AWalkKilledAtAnyStepRecoversEachFileWhole) {
  KilledHistory first(*store);
  lowerCase(first);
  const std::size_t steps = fileSystem.calls().size();
  ASSERT_GT(steps, 5u);
  for (std::size_t step = 0; step <= steps; ++step) {
    SCOPED_TRACE("killed after step " + std::to_string(step));
    SetUp();  // the old names and a fresh history
    KilledHistory history(*store);
    fileSystem.clearFaults();
    fileSystem.crashAfter(step);
    lowerCase(history);
    fileSystem.clearFaults();
    const auto recovered = history::recoverOpenBatches(*store, real).value();
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(recovered[0].toNew.size() + recovered[0].toOld.size(), 3u);
    EXPECT_TRUE(recovered[0].unreachable.empty());
    expectEachFileWhole();
    EXPECT_EQ(batches()[0].state, BatchState::Recovered);
  }
}

// A file found under its temporary name goes back to its old name when its new name is taken.
TEST_F(RenameHistoryTest, AFileUnderItsTemporaryNameGoesBackWhenItsNewNameIsTaken) {
  const std::string tmpA = ".brindle-00000001", tmpB = ".brindle-00000002";
  ASSERT_TRUE(store->beginBatch("Lower", {},
                                {{folder.path(), "Alpha.mp3", tmpA, "alpha.mp3"},
                                 {folder.path(), "BETA.mp3", tmpB, "beta.mp3"}}));
  std::filesystem::rename(folder / "Alpha.mp3", folder / tmpA);
  std::filesystem::rename(folder / "BETA.mp3", folder / tmpB);
  folder.write("alpha.mp3", "another file");
  const auto recovered = history::recoverOpenBatches(*store, real).value();
  ASSERT_EQ(recovered.size(), 1u);
  EXPECT_EQ(std::pair(recovered[0].toOld, recovered[0].toNew),
            std::pair(std::vector{folder / "Alpha.mp3"}, std::vector{folder / "beta.mp3"}));
  EXPECT_EQ(TempDir::read(folder / "Alpha.mp3") + TempDir::read(folder / "beta.mp3") +
                TempDir::read(folder / "alpha.mp3"),
            "Alpha.mp3BETA.mp3another file");
  EXPECT_TRUE(history::recoverOpenBatches(*store, real).value().empty());
}

using platform::Answer;
using platform::testing::DialogCall;
using Numbers = CharacterEditNumbers;
using Command = std::function<int(RenameServices, FolderList&, Numbers&)>;
using NB = NameBoxOutcome;
using NR = NumberedResult::Outcome;

template <class Outcome>
constexpr int n(Outcome outcome) {
  return static_cast<int>(outcome);
}

/// One line per box: "? prompt | title | default" or "! text | buttons icon | title".
std::string describe(const DialogCall& call) {
  if (call.kind == DialogCall::Kind::Input)
    return "? " + call.input.prompt + " | " + call.input.title + " | " + call.input.defaultText;
  const char* buttons[] = {"Ok", "OkCancel", "YesNo", "SaveDiscardCancel"};
  const char* icons[] = {"", " Critical", " Information"};
  const platform::MessageRequest& m = call.message;
  return "! " + m.text + " | " + buttons[n(m.buttons)] + icons[n(m.icon)] + " | " + m.title;
}

// clang-format off
Command caseCommand(CaseKind kind) {
  return [kind](RenameServices s, FolderList& l, Numbers&) { return convertCase(s, l, kind), -1; };
}
Command plain(void (*command)(RenameServices, ui::FileListHost&)) {
  return [command](RenameServices s, FolderList& l, Numbers&) { return command(s, l), -1; };
}
Command counted(void (*command)(RenameServices, ui::FileListHost&, Numbers&)) {
  return [command](RenameServices s, FolderList& l, Numbers& n) { return command(s, l, n), -1; };
}
Command nameBox(std::string typed) {
  return [typed](RenameServices s, FolderList& l, Numbers&) { return n(renameFromNameBox(s, l, typed)); };
}
/// The numbered rename and its report, as the dialog's Accept runs them.
Command numbered(std::string name, std::string start, NumberingOptions::Layout layout = Common) {
  return [=](RenameServices s, FolderList& l, Numbers&) {
    const NumberedResult result = renameNumbered(s, l, {layout, name, ""}, start);
    return reportNumbered(s.dialogs, result), n(result.outcome);
  };
}
const Command kLower = caseCommand(CaseKind::Lower), kUpper = caseCommand(CaseKind::Upper),
    kChars = plain(removeCharacters),
        kLeft = counted(removeLeftMostCharacters),
    kRight = counted(removeRightMostCharacters), kMiddle = counted(removeMiddleMostCharacters),
    kExt = plain(changeExtensions), kSingle = plain(renameSingleFile);

struct Script {
  const char* what;
  Command run;
  std::vector<std::string> files;
  std::string selected;              // "*": all; else names between "|"
  std::vector<std::string> replies;  // "Yes", "No", "OK", "Cancel"; "=text" is typed
  std::vector<std::string> boxes;    // "@": the folder, "%": another folder (with "/")
  Names after;                       // names in the other folder with "%"
  struct Extra {                                    // -1: not checked
    std::string current = {};                       // empty: the first file
    int result = -1;                                 // the NameBoxOutcome or NumberedResult outcome
    Numbers numbers = {}, numbersAfter = {};
    int renames = -1, rereads = -1, progress = -1;  // rename calls, rereads, progress shown
    const char* recorded = nullptr;                  // the history's name of the batch
    const char* details = nullptr;                   // what the first box lists below its text
    bool full = false;                               // the history cannot record
  } x = {};
};

constexpr const char *kNow = "! Rename Files Now? | OkCancel Critical | Brindle",
    *kCount = "? Enter Number of Characters to Remove | Brindle | ",
    *kStart = "? Enter Starting Place From Left to Right | Brindle | ",
    *kExtPrompt = "? Enter Extension to Rename all Selected Files To.  Don't Use the (.)period. | Brindle | ",
    *kExtQuestion = "! RENAME ALL FILES? | YesNo | Rename All Selected File Extensions",
    *kAborted = "! Rename Aborted! | Ok | Brindle",
    *kNumbered = "! RENAME ALL SELECTED FILES? | YesNo | Rename All Selected Files",
    *kLowerQ = "! Rename all Selected Files To Lower Case? | YesNo | Rename All Files",
    *kUpperQ = "! RENAME ALL SELECTED FILES TO UPPER CASE? | YesNo | Rename All Selected Files",
    *kFind = "? Enter Character to Replace | Brindle | ", *kWith = "? enter New Character | Brindle | ",
    *kAsk = "! Rename Now\n\r@a.txt | YesNo | Rename",
    *kName = "? Enter New Name For:  a.txt | Rename File | @a.txt",
    *kAskE9 = "! Rename Now\n\r@\xE9.txt | YesNo | Rename",
    *kNameE9 = "? Enter New Name For:  \xE9.txt | Rename File | @\xE9.txt";
using S = std::string;
S ask(S a, S b) { return "! Rename:\r\n@" + a + "\r\nTo:\r\n@" + b + " | YesNo | Brindle"; }
S complete(S a, S b) { return "! Rename Complete:\r\n@" + a + "\n\rTO:  " + b + " | Ok | Brindle"; }
const Script kScripts[] = {
    {"lower", kLower, {"my SONG.Mp3"}, "*", {"Yes"}, {kLowerQ}, {"my song.mp3"},
     {.renames = 2, .rereads = 1, .progress = 1, .recorded = "Convert All to Lowercase"}},
    {"lower answered No", kLower, {"Song.MP3"}, "*", {"No"}, {kLowerQ}, {"Song.MP3"},
     {.rereads = 0, .progress = 0}},
    {"upper, a clash", kUpper, {"a.mp3", "B.mp3", "b.MP3"}, "*", {"No"}, {kUpperQ},
     {"a.mp3", "B.mp3", "b.MP3"},
     {.details = "2 files to rename, 1 not renamed (marked):\na.mp3 -> A.MP3\nB.mp3 -> B.MP3\n"
                 "b.MP3 -> B.MP3  [not renamed: an earlier file of the batch gets this name]\n"}},
    {"lower, not recorded", kLower, {"SONG.mp3"}, "*", {"Yes"},
     {kLowerQ,
      "! No file was renamed: the history could not record the batch: the history is full"
      " | Ok Critical | Convert All to Lowercase"},
     {"SONG.mp3"}, {.renames = 0, .full = true}},
    {"replace", kChars, {"my_song_01.mp3", "other_file.txt"}, "my_song_01.mp3", {"=_", "= ", "OK"},
     {kFind, kWith, kNow}, {"my song 01.mp3", "other_file.txt"},
     {.progress = 1, .recorded = "Remove Characters From Filenames"}},
    {"replace cancelled", kChars, {"Banana.txt"}, "*", {"=a", "=", "Cancel"}, {kFind, kWith, kNow},
     {"Banana.txt"}, {.renames = 0}},
    {"replace, prompts cancelled", kChars, {"Banana.txt"}, "*", {"OK"}, {kFind, kWith, kNow}, {"Banana.txt"}},
    {"left 3", kLeft, {"01 Song.mp3"}, "*", {"=3", "OK"}, {kCount, kNow}, {"Song.mp3"},
     {.numbersAfter = {3, 0}, .recorded = "Remove Left Most"}},
    {"right 2", kRight, {"Song01.mp3", "xxOne.mp3"}, "Song01.mp3", {"=2", "OK"}, {kCount, kNow},
     {"Song.mp3", "xxOne.mp3"}, {.numbersAfter = {2, 0}, .recorded = "Remove Right Most"}},
    {"kept count", kLeft, {"xxOne.mp3"}, "*", {"=", "OK"}, {kCount, kNow}, {"One.mp3"},
     {.numbers = {2, 0}, .numbersAfter = {2, 0}}},
    {"middle", kMiddle, {"abXYcdXY.txt"}, "*", {"=3", "=2", "OK"}, {kStart, kCount, kNow}, {"abcd.txt"},
     {.numbers = {7, 7}, .numbersAfter = {2, 3}, .recorded = "Remove Middle Most"}},
    {"middle resets", kMiddle, {"abXYcdXY.txt"}, "*", {"=", "=", "OK"}, {kStart, kCount, kNow},
     {"abXYcdXY.txt"}, {.numbers = {3, 5}, .numbersAfter = {0, 0}}},
    {"ext", kExt, {"song.mp3", "my.song.mp3", "README", "keep.mp3"}, "song.mp3|my.song.mp3|README",
     {"=wav", "Yes"}, {kExtPrompt, kExtQuestion}, {"song.wav", "my.wav", "wav", "keep.mp3"},
     {.rereads = 1, .progress = 0, .recorded = "Rename All Extension(s)"}},
    {"ext with a period", kExt, {"song.wav"}, "*", {"=.mp3"},
     {kExtPrompt, "! No period needed! | Ok | Brindle"}, {"song.wav"}},
    {"ext too short", kExt, {"song.wav"}, "*", {"=mp"}, {kExtPrompt}, {"song.wav"}},
    {"single, no current entry", kSingle, {"a.txt"}, "", {}, {kAborted}, {"a.txt"}, {.current = "-"}},
    {"single answered No", kSingle, {"a.txt"}, "", {"No"}, {kAsk, kAborted}, {"a.txt"}},
    {"single to a full path", kSingle, {"a.txt", "b.txt"}, "", {"Yes", "=%moved.txt"},
     {kAsk, kName, complete("a.txt", "%moved.txt")}, {"b.txt", "%moved.txt"},
     {.rereads = 1, .recorded = "Rename Single File"}},
    {"single, bare name", kSingle, {"a.txt"}, "", {"Yes", "=renamed.txt"},
     {kAsk, kName, complete("a.txt", "renamed.txt")}, {"renamed.txt"}},
    {"single cancelled at the name", kSingle, {"a.txt"}, "", {"Yes", "="}, {kAsk, kName}, {"a.txt"},
     {.renames = 0, .rereads = 0}},
    {"single onto an existing file", kSingle, {"a.txt", "b.txt"}, "", {"Yes", "=b.txt"},
     {kAsk, kName, complete("a.txt", "b.txt")}, {"a.txt", "b.txt"}},
    {"single, edited stand-in", kSingle, {"\xE9.txt", "\xE8.txt"}, "", {"Yes", "=@\xE9-2.txt"},
     {kAskE9, kNameE9, "! Rename Complete:\r\n@\xE9.txt\n\rTO:  @\xE9-2.txt | Ok | Brindle"},
     {"\xE8.txt", "\xE9.txt"}, {.renames = 0}},
    {"name box, nothing selected", nameBox("x.mp3"), {"song.mp3"}, "", {}, {}, {"song.mp3"},
     {.result = n(NB::NothingSelected)}},
    {"name box of blanks", nameBox("   "), {"song.mp3"}, "*", {}, {}, {"song.mp3"}, {.result = n(NB::Blank)}},
    {"name box", nameBox("Song.mp3"), {"song.mp3"}, "*", {"Yes"}, {ask("song.mp3", "Song.mp3")}, {"Song.mp3"},
     {.result = n(NB::Renamed), .rereads = 1, .recorded = "Save Edited"}},
    {"name box keeps blanks", nameBox(" song .mp3"), {"song.mp3"}, "*", {"Yes"},
     {ask("song.mp3", " song .mp3")}, {" song .mp3"}},
    {"name box declined", nameBox("x.mp3"), {"song.mp3"}, "*", {"No"}, {ask("song.mp3", "x.mp3")},
     {"song.mp3"}, {.result = n(NB::Declined)}},
    {"name box, same name", nameBox("song.mp3"), {"song.mp3"}, "*", {"Yes"},
     {ask("song.mp3", "song.mp3"), "! Names must be different! | Ok | Brindle"}, {"song.mp3"},
     {.result = n(NB::SameName)}},
    {"name box, into a folder", nameBox("sub/x.mp3"), {"song.mp3"}, "*", {},
     {"! The file was not renamed:\r\nsub/x.mp3\r\nnot a plain file name | Ok Critical | Brindle"},
     {"song.mp3"}, {.result = n(NB::NotPlainName), .renames = 0}},
    {"name box, taken", nameBox("b.mp3"), {"a.mp3", "b.mp3"}, "*", {"Yes"},
     {ask("a.mp3", "b.mp3"),
      "! The file was not renamed:\r\n@a.mp3\r\nCannot rename \"@a.mp3\": File exists"
      " | Ok Critical | Brindle"},
     {"a.mp3", "b.mp3"}, {.result = n(NB::Failed), .rereads = 1}},
    {"numbered", numbered("song", "01"), {"a.mp3", "b.mp3", "c.wav", "d.txt"}, "a.mp3|b.mp3|c.wav", {"Yes"},
     {kNumbered}, {"song 01.mp3", "song 02.mp3", "song 03.wav", "d.txt"},
     {.result = n(NR::Done), .rereads = 1, .progress = 0, .recorded = "Rename All Files"}},
    {"numbered, letters start at 0", numbered("", "letters", NumberingOptions::Layout::UniqueLeft),
     {"track.mp3"}, "*", {"Yes"}, {kNumbered}, {"00track.mp3"}},
    {"numbered, negative", numbered("t", "-3"), {"a.mp3"}, "*", {}, {"! Error, no numbers | Ok | Brindle"},
     {"a.mp3"}, {.result = n(NR::Refused)}},
    {"numbered, beyond the highest", numbered("t", "32768"), {"a.mp3"}, "*", {},
     {"! Error, numbers go up to 32767 | Ok | Brindle"}, {"a.mp3"}},
    {"numbered answered No", numbered("t", "1"), {"a.mp3"}, "*", {"No"}, {kNumbered}, {"a.mp3"},
     {.result = n(NR::Declined), .rereads = 0}},
    {"numbers stop at 32767", numbered("s", "32767"), {"a.mp3", "b.mp3"}, "*", {"Yes"},
     {kNumbered,
      "! Numbering stopped at 32767: 1 selected file(s) were not renamed. | Ok Critical | Rename Files"},
     {"s 32767.mp3", "b.mp3"}},
    {"numbered, a failure", numbered("x", "1"), {"a.mp3", "b.mp3", "c.mp3", "x 02.mp3"}, "a.mp3|b.mp3|c.mp3",
     {"Yes"},
     {kNumbered,
      "! 1 file(s) could not be renamed: the new name is taken or not allowed. | Ok Critical | Rename Files"},
     {"x 01.mp3", "b.mp3", "x 03.mp3", "x 02.mp3"}},
};
// clang-format on

TEST(RenameCommandScripts, EveryScriptShowsItsBoxesAndLeavesItsNames) {
  TempDir other;
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(other.path());  // a bare name never lands here
  for (const Script& s : kScripts) {
    SCOPED_TRACE(s.what);
    TempDir folder;
    const auto expand = [&](std::string text) {
      std::string result;
      for (char c : text)
        result += c == '@'   ? folder.path() + "/"
                  : c == '%' ? other.path() + "/"
                             : std::string(1, c);
      return platform::fileNameToUtf8(result);
    };
    for (const std::string& name : s.files) folder.write(name, name);
    FolderList list(folder.path());
    if (s.selected == "*") list.selectAll();
    for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1)
      list.select({s.selected.substr(at, (end = s.selected.find('|', at)) - at)});
    list.setCurrent(s.x.current.empty() ? s.files[0] : s.x.current);
    platform::testing::ScriptedDialogs dialogs;
    for (const std::string& reply : s.replies) {
      if (reply.starts_with('=')) dialogs.type(expand(reply.substr(1)));
      for (platform::Answer answer : {Answer::Yes, Answer::No, Answer::Ok, Answer::Cancel})
        if (reply == platform::testing::answerName(answer)) dialogs.answer(answer);
    }
    platform::posix::PosixFileSystem real;
    platform::testing::RecordingFileSystem fileSystem{real};
    history::testing::FakeHistory history;
    history.refuseNext = s.x.full;
    Numbers numbers = s.x.numbers;
    const int result = s.run({dialogs, fileSystem, &history}, list, numbers);
    std::vector<std::string> boxes, expected;
    for (const DialogCall& call : dialogs.calls()) boxes.push_back(describe(call));
    for (const std::string& box : s.boxes) expected.push_back(expand(box));
    EXPECT_EQ(boxes, expected);
    EXPECT_EQ(dialogs.pendingSteps(), 0u);
    Names after = namesIn(folder.path()), contents;
    for (const std::string& name : after) contents.insert(TempDir::read(folder.file(name)));
    for (const std::string& name : namesIn(other.path())) {
      after.insert("%" + name);
      contents.insert(TempDir::read(other.file(name)));
      std::filesystem::remove(other.file(name));
    }
    EXPECT_EQ(after, s.after);
    EXPECT_EQ(contents, Names(s.files.begin(), s.files.end()));  // no file lost or replaced
    const auto checked = [](int expected, int actual) { return expected < 0 ? expected : actual; };
    const int renames = static_cast<int>(fileSystem.callsOf(FsOp::Rename).size());
    EXPECT_EQ(std::vector({checked(s.x.result, result), int{numbers.count}, int{numbers.start},
                           checked(s.x.renames, renames), checked(s.x.rereads, list.rereads),
                           checked(s.x.progress, !list.progress.empty())}),
              std::vector({s.x.result, int{s.x.numbersAfter.count}, int{s.x.numbersAfter.start},
                           s.x.renames, s.x.rereads, s.x.progress}));
    EXPECT_TRUE(!s.x.details || dialogs.calls().at(0).message.details == s.x.details);
    if (s.x.recorded) {
      ASSERT_EQ(history.recorded().size(), 1u);
      const history::BatchSummary& batch = history.recorded()[0].summary;
      EXPECT_EQ(batch.command + (batch.state == BatchState::Done ? "" : " (not done)"),
                s.x.recorded);
    }
  }
  std::filesystem::current_path(working);
}

TEST(TypedTargetPath, ResolvesAnswers) {
  // clang-format off
  const struct { const char *folder, *old, *typed; std::optional<std::string> path; } rows[] = {
      {"/music", "a.mp3", "b.mp3", "/music/b.mp3"}, {"/music", "a.mp3", "sub/b.mp3", "/music/sub/b.mp3"},
      {"/music", "a.mp3", "/other/b.mp3", "/other/b.mp3"}, {"/", "a.mp3", "b.mp3", "/b.mp3"},
      {"/m\xFF", "a.mp3", "/m\xEF\xBF\xBD/b.mp3", "/m\xFF/b.mp3"}, {"/m", "\xFF", "/m/\xEF\xBF\xBD",
       "/m/\xFF"},
      {"/m", "\xFF", "/m/\xEF\xBF\xBD.x", std::nullopt}, {"/m", "a", "\xEF\xBF\xBD.x", "/m/\xEF\xBF\xBD.x"}};
  // clang-format on
  for (const auto& r : rows)
    EXPECT_EQ(typedTargetPath(r.folder, r.old, r.typed), r.path) << r.typed;
}

}  // namespace
}  // namespace brindle::rename
