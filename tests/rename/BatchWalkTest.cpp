// The batch rename walk on a real temporary folder: how it reads the list,
// the progress it shows, renames that never replace a file, names that would
// leave the folder, case renames that are undone half way, and names that
// are not UTF-8.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/testing/RecordingFileSystem.h"
#include "rename/core/BatchWalk.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using platform::testing::FsOp;
using Outcome = EntryResult::Outcome;
using testing::FolderList;
using testing::namesIn;
using testsupport::TempDir;

/// Fails every rename onto one of `failingTargets` (after recording it), so
/// a test can fail the second step of a two-step rename, whose first target
/// is a temporary name drawn at random.
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

/// Whether `path` is a temporary name of the walk in `directory`.
bool isTemporaryName(const std::string& directory, const std::string& path) {
  return path.starts_with(directory + "/.brindle-") && path.size() == directory.size() + 18;
}

class BatchWalkTest : public ::testing::Test {
 protected:
  std::vector<EntryResult> run(FolderList& list, const NameRule& rule) {
    return runBatch(list, fileSystem, rule);
  }
  std::string content(const std::string& name) { return TempDir::read(folder.file(name)); }

  TempDir folder;
  platform::posix::PosixFileSystem real;
  TargetFaults fileSystem{real};
};

TEST_F(BatchWalkTest, ReadsCountAndSelectionOnceAndEachSelectedNameOnce) {
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) folder.write(name);
  FolderList list(folder.path());
  list.select({"b.txt", "d.txt"});
  run(list, caseRule(CaseKind::Upper));
  EXPECT_EQ(list.entryCountCalls, 1);
  EXPECT_EQ(list.selectionCalls, 1);
  EXPECT_EQ(list.nameRequests, (std::vector<int>{1, 3}));
  EXPECT_EQ(list.rereads, 1);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"a.txt", "B.TXT", "c.txt", "D.TXT"}));
}

TEST_F(BatchWalkTest, ProgressShowsThePositionInTheWholeList) {
  for (int i = 0; i < 10; ++i) {
    const std::string number = std::to_string(i);
    folder.write("f" + number + ".txt");
  }
  FolderList list(folder.path());
  list.select({"f9.txt"});
  run(list, caseRule(CaseKind::Upper));
  EXPECT_EQ(list.progressMaximums, (std::vector<int>{10}));
  EXPECT_EQ(list.progressValues, (std::vector<int>{9, 0}));
}

TEST_F(BatchWalkTest, ProgressCountsEverySelectedEntryEvenWhenItsNameStays) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) folder.write(name);
  FolderList list(folder.path());
  list.selectAll();
  run(list, removeLeftRule(0));
  EXPECT_EQ(list.progressValues, (std::vector<int>{0, 1, 2, 0}));
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
}

TEST_F(BatchWalkTest, NothingSelectedRereadsAndChangesNothing) {
  folder.write("Song.MP3");
  FolderList list(folder.path());
  const auto results = run(list, caseRule(CaseKind::Lower));
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(list.rereads, 1);
  EXPECT_EQ(list.progressMaximums, (std::vector<int>{1}));
  EXPECT_EQ(list.progressValues, (std::vector<int>{0}));
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
}

TEST_F(BatchWalkTest, CaseRenameGoesThroughATemporaryName) {
  folder.write("Track.MP3", "x");
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, caseRule(CaseKind::Lower));
  const auto renames = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(renames.size(), 2u);
  EXPECT_EQ(renames[0].path, folder.file("Track.MP3"));
  EXPECT_TRUE(isTemporaryName(folder.path(), renames[0].second)) << renames[0].second;
  EXPECT_EQ(renames[1].path, renames[0].second);
  EXPECT_EQ(renames[1].second, folder.file("track.mp3"));
  EXPECT_EQ(results[0].outcome, Outcome::Renamed);
  EXPECT_EQ(content("track.mp3"), "x");
}

// Case renames of the longest names a folder takes (255 bytes), where a
// temporary name made longer than the old one cannot exist, and of names
// already in the asked case, which are not renamed at all (no failure).
TEST_F(BatchWalkTest, CaseRenamesOfLongestNamesAndOfNamesAlreadyInThatCase) {
  struct Row {
    CaseKind kind;
    std::string oldName;
    std::string newName;  // empty: unchanged
  };
  const std::string longStem(251, 'A');
  const std::string longLowerStem(251, 'a');
  const std::vector<Row> rows = {
      {CaseKind::Lower, longStem + ".MP3", longLowerStem + ".mp3"},
      {CaseKind::Upper, longLowerStem + ".mp3", longStem + ".MP3"},
      {CaseKind::Title, longStem + ".MP3", "A" + longLowerStem.substr(1) + ".mp3"},
      {CaseKind::Lower, "song.mp3", ""},
      {CaseKind::Upper, "SONG.MP3", ""},
      {CaseKind::Title, "My Song.mp3", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.oldName.substr(0, 12) + " (" + std::to_string(row.oldName.size()) + " bytes)");
    TempDir here;
    here.write(row.oldName, "music");
    platform::testing::RecordingFileSystem recording{real};
    FolderList list(here.path());
    list.selectAll();
    const auto results = runBatch(list, recording, caseRule(row.kind));
    ASSERT_EQ(results.size(), 1u);
    const auto renames = recording.callsOf(FsOp::Rename);
    if (row.newName.empty()) {
      EXPECT_EQ(results[0].outcome, Outcome::Unchanged);
      EXPECT_TRUE(renames.empty());
      EXPECT_EQ(namesIn(here.path()), std::set<std::string>{row.oldName});
      continue;
    }
    EXPECT_EQ(results[0].outcome, Outcome::Renamed) << results[0].reason;
    ASSERT_EQ(renames.size(), 2u);
    EXPECT_TRUE(isTemporaryName(here.path(), renames[0].second));
    EXPECT_EQ(namesIn(here.path()), std::set<std::string>{row.newName});
    EXPECT_EQ(TempDir::read(here.file(row.newName)), "music");
  }
}

// The plan of the whole batch, clashes included, is what the run does:
// every planned outcome and reason is the run's, before anything changes.
TEST_F(BatchWalkTest, PlanForeseesEveryClashOfTheRun) {
  using Map = std::map<std::string, std::string>;
  struct Row {
    const char* what;
    std::vector<std::string> files;
    std::vector<std::string> selected;
    Map newNames;
    std::vector<std::string> reasons;  // per selected entry; "" when renamed
    std::set<std::string> after;
  };
  const std::string exists = std::generic_category().message(EEXIST);
  const std::vector<Row> rows = {
      {"two files, one new name",
       {"Asong.mp3", "Bsong.mp3"},
       {"Asong.mp3", "Bsong.mp3"},
       {{"Asong.mp3", "song.mp3"}, {"Bsong.mp3", "song.mp3"}},
       {"", kNameTakenByEarlierEntry},
       {"Bsong.mp3", "song.mp3"}},
      {"target outside the batch",
       {"song.mp3", "song.wav"},
       {"song.wav"},
       {{"song.wav", "song.mp3"}},
       {exists},
       {"song.mp3", "song.wav"}},
      {"target is a folder", {"x"}, {"x"}, {{"x", "dir"}}, {exists}, {"dir", "x"}},
      {"chain against the walk's order",
       {"a", "b"},
       {"a", "b"},
       {{"a", "b"}, {"b", "c"}},
       {kNameFreedTooLate, ""},
       {"a", "c"}},
      {"chain along the walk's order",
       {"a", "b"},
       {"a", "b"},
       {{"a", "c"}, {"b", "a"}},
       {"", ""},
       {"a", "c"}},
      {"cycle",
       {"a", "b"},
       {"a", "b"},
       {{"a", "b"}, {"b", "a"}},
       {kNameFreedTooLate, exists},
       {"a", "b"}},
      {"freed and taken again",
       {"a", "b", "c"},
       {"a", "b", "c"},
       {{"a", "x"}, {"b", "a"}, {"c", "a"}},
       {"", "", kNameTakenByEarlierEntry},
       {"a", "c", "x"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir here;
    here.makeDirectory("dir");
    for (const std::string& name : row.files) here.write(name, name);
    const NameRule rule = [&row](const std::string& name) {
      return RuleResult::renameTo(name, row.newNames.at(name));
    };
    platform::testing::RecordingFileSystem recording{real};
    FolderList list(here.path());
    list.select(row.selected);
    const BatchPlan plan = planBatch(list, recording, rule);
    EXPECT_TRUE(recording.callsOf(FsOp::Rename).empty());
    list.select(row.selected);
    const auto results = runBatch(list, recording, rule);
    ASSERT_EQ(plan.entries.size(), row.reasons.size());
    ASSERT_EQ(results.size(), row.reasons.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
      const EntryResult planned = plannedResult(plan.entries[i]);
      EXPECT_EQ(planned.outcome, results[i].outcome);
      EXPECT_EQ(planned.reason, results[i].reason);
      EXPECT_EQ(results[i].reason, row.reasons[i]);
      EXPECT_EQ(results[i].outcome, row.reasons[i].empty() ? Outcome::Renamed : Outcome::Failed);
    }
    std::set<std::string> after = row.after;
    after.insert("dir");
    EXPECT_EQ(namesIn(here.path()), after);
  }
}

// Each entry is reported as soon as it is done, before the next rename.
TEST_F(BatchWalkTest, EachEntryIsReportedBeforeTheNextRename) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) folder.write(name);
  FolderList list(folder.path());
  list.selectAll();
  std::vector<std::size_t> renamesSoFar;
  runBatch(list, fileSystem, replaceRule(".", "_"), Progress::Shown,
           [&](const EntryResult& result) {
             EXPECT_EQ(result.outcome, Outcome::Renamed);
             renamesSoFar.push_back(fileSystem.callsOf(FsOp::Rename).size());
           });
  EXPECT_EQ(renamesSoFar, (std::vector<std::size_t>{1, 2, 3}));
}

// Two selected names that map to the same new name: the second rename fails
// and neither file is overwritten.
TEST_F(BatchWalkTest, CollidingNewNamesNeverReplaceAFile) {
  folder.write("Asong.mp3", "first");
  folder.write("Bsong.mp3", "second");
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, removeLeftRule(1));
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].outcome, Outcome::Renamed);
  EXPECT_EQ(results[1].outcome, Outcome::Failed);
  EXPECT_EQ(results[1].reason, kNameTakenByEarlierEntry);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"Bsong.mp3", "song.mp3"}));
  EXPECT_EQ(content("song.mp3"), "first");
  EXPECT_EQ(content("Bsong.mp3"), "second");
}

TEST_F(BatchWalkTest, ExistingUnselectedTargetIsNotReplaced) {
  folder.write("song.mp3", "keep me");
  folder.write("song.wav", "mine");
  FolderList list(folder.path());
  list.select({"song.wav"});
  const auto results = run(list, extensionRule(folder.path(), "mp3"));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_EQ(content("song.mp3"), "keep me");
  EXPECT_EQ(content("song.wav"), "mine");
}

TEST_F(BatchWalkTest, AFailedRenameIsSkippedAndTheWalkGoesOn) {
  for (const char* name : {"a_1.txt", "b_2.txt", "c_3.txt"}) folder.write(name);
  fileSystem.fail(FsOp::Rename, {EACCES, "refused"}, folder.file("b_2.txt"));
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, replaceRule("_", "-"));
  EXPECT_EQ(results[1].outcome, Outcome::Failed);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"a-1.txt", "b_2.txt", "c-3.txt"}));
}

// A new name with a path separator (or an empty, "." or ".." name) fails for
// that file: "_" replaced by "/" must not move files into a folder.
TEST_F(BatchWalkTest, PathSeparatorInANewNameFailsAndTheFileStays) {
  folder.makeDirectory("a");
  folder.write("a_b.mp3", "x");
  folder.write("c_d.mp3", "y");
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, replaceRule("_", "/"));
  ASSERT_EQ(results.size(), 2u);
  for (const EntryResult& result : results) {
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.reason, "not a plain file name");
  }
  EXPECT_EQ(results[0].newName, "a/b.mp3");
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"a", "a_b.mp3", "c_d.mp3"}));
  EXPECT_TRUE(namesIn(folder.file("a")).empty());
}

TEST_F(BatchWalkTest, EmptyDotAndDotDotNamesFail) {
  for (const char* name : {"x", "xx", "xxx.txt"}) folder.write(name);
  FolderList list(folder.path());
  list.select({"x", "xx"});
  const auto dots = run(list, replaceRule("x", "."));
  EXPECT_EQ(dots[0].outcome, Outcome::Failed);
  EXPECT_EQ(dots[1].outcome, Outcome::Failed);
  list.select({"xxx.txt"});
  const auto empty = run(list, removeLeftRule(7));
  EXPECT_EQ(empty[0].outcome, Outcome::Failed);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"x", "xx", "xxx.txt"}));
}

// When the second step of a case rename fails, the file is renamed back, so
// it is not left under the temporary name.
TEST_F(BatchWalkTest, SecondStepFailureRenamesTheFileBack) {
  folder.write("song.MP3", "music");
  fileSystem.failingTargets = {folder.file("song.mp3")};
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, caseRule(CaseKind::Lower));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"song.MP3"}));
  EXPECT_EQ(content("song.MP3"), "music");
  const auto renames = fileSystem.callsOf(FsOp::Rename);
  ASSERT_EQ(renames.size(), 3u);
  EXPECT_TRUE(isTemporaryName(folder.path(), renames[2].path));
  EXPECT_EQ(renames[2].second, folder.file("song.MP3"));
}

TEST_F(BatchWalkTest, CaseRenameOntoAnExistingNameChangesNothing) {
  folder.write("A.TXT", "upper");
  folder.write("a.txt", "lower");
  FolderList list(folder.path());
  list.select({"A.TXT"});
  const auto results = run(list, caseRule(CaseKind::Lower));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"A.TXT", "a.txt"}));
  EXPECT_EQ(content("A.TXT"), "upper");
  EXPECT_EQ(content("a.txt"), "lower");
}

TEST_F(BatchWalkTest, NamesThatDifferOnlyInCaseBothKeepTheirContent) {
  folder.write("A.TXT", "upper");
  folder.write("a.txt", "lower");
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, caseRule(CaseKind::Lower));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"A.TXT", "a.txt"}));
  EXPECT_EQ(content("A.TXT"), "upper");
  EXPECT_EQ(content("a.txt"), "lower");
}

TEST_F(BatchWalkTest, UndoThatFailsTooSaysWhereTheFileIs) {
  folder.write("song.MP3");
  fileSystem.failingTargets = {folder.file("song.mp3"), folder.file("song.MP3")};
  FolderList list(folder.path());
  list.selectAll();
  const auto results = run(list, caseRule(CaseKind::Lower));
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_NE(results[0].reason.find("left as .brindle-"), std::string::npos);
}

// Names that are not UTF-8: the case rules leave them alone, the other rules
// work on their exact bytes, and no rename reaches another file.
TEST_F(BatchWalkTest, NamesThatAreNotUtf8KeepTheirBytes) {
  folder.write("\xE9t\xE9.MP3", "latin");
  folder.write("\xE8t\xE8.MP3", "other");
  folder.write("plain.MP3", "plain");
  FolderList list(folder.path());
  list.selectAll();
  const auto lowered = run(list, caseRule(CaseKind::Lower));
  EXPECT_EQ(namesIn(folder.path()),
            (std::set<std::string>{"\xE8t\xE8.MP3", "\xE9t\xE9.MP3", "plain.mp3"}));
  EXPECT_EQ(fileSystem.callsOf(FsOp::Rename).size(), 2u);  // only plain.MP3

  list.select({"\xE9t\xE9.MP3"});
  run(list, replaceRule("t", "T"));
  EXPECT_EQ(namesIn(folder.path()),
            (std::set<std::string>{"\xE8t\xE8.MP3", "\xE9T\xE9.MP3", "plain.mp3"}));
  EXPECT_EQ(content("\xE9T\xE9.MP3"), "latin");
  EXPECT_EQ(content("\xE8t\xE8.MP3"), "other");

  list.selectAll();
  run(list, removeLeftRule(1));
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"T\xE9.MP3", "t\xE8.MP3", "lain.mp3"}));
  EXPECT_EQ(content("T\xE9.MP3"), "latin");
  EXPECT_EQ(content("t\xE8.MP3"), "other");
}

TEST_F(BatchWalkTest, PlanChangesNothing) {
  folder.write("Song.MP3");
  FolderList list(folder.path());
  list.selectAll();
  const BatchPlan plan = planBatch(list, caseRule(CaseKind::Lower));
  EXPECT_EQ(plan.entryCount, 1);
  ASSERT_EQ(plan.entries.size(), 1u);
  EXPECT_EQ(plan.entries[0].rule.newName(), "song.mp3");
  EXPECT_TRUE(fileSystem.calls().empty());
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"Song.MP3"}));
  // With the file system the plan only asks about names.
  planBatch(list, fileSystem, caseRule(CaseKind::Lower));
  EXPECT_TRUE(fileSystem.callsOf(FsOp::Rename).empty());
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"Song.MP3"}));
}

}  // namespace
}  // namespace brindle::rename
