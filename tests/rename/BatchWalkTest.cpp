// The batch rename walk on a real folder: list reads, progress, foreseen clashes, two-step renames.
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
using Names = std::set<std::string>;

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

// The list is read once; progress is the position in the whole list (unchanged entries too), then
// 0.
TEST_F(BatchWalkTest, ReadsTheListOnceAndShowsThePosition) {
  struct Case {
    std::vector<std::string> selected;
    NameRule rule;
    std::vector<int> names, progress;
    Names after;
  };
  // clang-format off
  const Case cases[] = {
      {{"b", "d"}, caseRule(CaseKind::Upper), {1, 3}, {1, 3, 0}, {"a", "B", "c", "D"}},
      {{"a", "b", "c", "d"}, removeLeftRule(0), {0, 1, 2, 3}, {0, 1, 2, 3, 0}, {"a", "b", "c", "d"}},
      {{}, caseRule(CaseKind::Upper), {}, {0}, {"a", "b", "c", "d"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    TempDir here;
    for (const char* name : {"a", "b", "c", "d"}) here.write(name);
    FolderList files(here.path());
    files.select(c.selected);
    platform::testing::RecordingFileSystem recording{real};
    runBatch(files, recording, c.rule);
    EXPECT_EQ(std::vector({files.entryCountCalls, files.selectionCalls, files.rereads}),
              std::vector({1, 1, 1}));
    EXPECT_EQ(files.nameRequests, c.names);
    EXPECT_EQ(files.progressMaximums, std::vector<int>{4});
    EXPECT_EQ(files.progressValues, c.progress);
    EXPECT_EQ(namesIn(here.path()), c.after);
  }
}

// Case renames go old -> temporary -> new, also for 255-byte names; names in the case stay.
TEST_F(BatchWalkTest, CaseRenamesGoThroughATemporaryName) {
  const std::string upper(251, 'A'), lower(251, 'a');
  using enum CaseKind;
  const struct {
    CaseKind kind;
    std::string oldName, newName;  // empty: unchanged
    // clang-format off
  } cases[] = {
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
    ASSERT_EQ(results.size(), 1u);
    const auto renames = recording.callsOf(FsOp::Rename);
    const std::string now = c.newName.empty() ? c.oldName : c.newName;
    EXPECT_EQ(results[0].outcome, c.newName.empty() ? Outcome::Unchanged : Outcome::Renamed);
    EXPECT_EQ(namesIn(here.path()), Names{now});
    EXPECT_EQ(TempDir::read(here.file(now)), "music");
    if (c.newName.empty()) {
      EXPECT_TRUE(renames.empty());
      continue;
    }
    ASSERT_EQ(renames.size(), 2u);
    EXPECT_EQ(renames[0].path, here.file(c.oldName));
    EXPECT_TRUE(isTemporaryName(here.path(), renames[0].second)) << renames[0].second;
    EXPECT_EQ(renames[1].path, renames[0].second);
    EXPECT_EQ(renames[1].second, here.file(c.newName));
  }
}

// The plan foresees every clash of the run before anything changes; no file is replaced or moved.
TEST_F(BatchWalkTest, PlanForeseesEveryClashOfTheRun) {
  const std::string exists = std::generic_category().message(EEXIST);
  const std::string plain = "not a plain file name";
  const std::string same = "=";  // unchanged
  const struct {
    const char* what;
    std::vector<std::string> files, selected;
    std::map<std::string, std::string> newNames;
    std::vector<std::string> reasons;  // per selected entry; "" when renamed
    Names after;
    // clang-format off
  } cases[] = {
      {"two onto one", {"Asong", "Bsong"}, {"Asong", "Bsong"}, {{"Asong", "song"}, {"Bsong", "song"}},
       {"", kNameTakenByEarlierEntry}, {"Bsong", "song"}},
      {"outside the batch", {"s.mp3", "s.wav"}, {"s.wav"}, {{"s.wav", "s.mp3"}}, {exists}, {"s.mp3", "s.wav"}},
      {"a folder", {"x"}, {"x"}, {{"x", "dir"}}, {exists}, {"dir", "x"}},
      {"into a folder", {"x"}, {"x"}, {{"x", "dir/x"}}, {plain}, {"dir", "x"}},
      {"dot names", {"x", "y", "z"}, {"x", "y", "z"}, {{"x", "."}, {"y", ".."}, {"z", ""}}, {plain, plain, plain},
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

}  // namespace
}  // namespace brindle::rename
