// Renames in the history: the walk records the whole batch before the first
// rename, and a walk stopped or killed at any step recovers each file to its
// old or new name (undo of renames is tested end to end in tests/cli).
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "history/History.h"
#include "history/Recovery.h"
#include "platform/testing/RecordingFileSystem.h"
#include "rename/core/BatchWalk.h"
#include "tests/rename/RenameTestSupport.h"

namespace brindle::rename {
namespace {

using history::BatchState;
using platform::testing::FsOp;
using testing::FolderList;
using testing::namesIn;
using testsupport::TempDir;
using Names = std::set<std::string>;

/// A history whose batches are never closed, as one whose program was killed.
class KilledHistory : public history::History {
 public:
  explicit KilledHistory(history::History& inner) : m_inner(inner) {}
  platform::Result<history::BatchId> beginBatch(const std::string& command,
                                                const std::vector<history::TagChange>& tags,
                                                const std::vector<history::RenameChange>& renames,
                                                std::optional<history::BatchId> undoes) override {
    return m_inner.beginBatch(command, tags, renames, undoes);
  }
  platform::Status closeBatch(history::BatchId, BatchState) override { return {}; }
  platform::Result<std::vector<history::BatchSummary>> batches() override {
    return m_inner.batches();
  }
  platform::Result<std::vector<history::TagChange>> tagChanges(history::BatchId id) override {
    return m_inner.tagChanges(id);
  }
  platform::Result<std::vector<history::RenameChange>> renameChanges(history::BatchId id) override {
    return m_inner.renameChanges(id);
  }

 private:
  history::History& m_inner;
};

/// Old name -> new name of the lower-case walk; all but one change case only.
const std::map<std::string, std::string> kLowerCase = {
    {"Alpha.mp3", "alpha.mp3"},
    {"BETA.mp3", "beta.mp3"},
    {"Gamma Delta.MP3", "gamma delta.mp3"},
    {"epsilon.mp3", "epsilon.mp3"},
};

class RenameHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto opened = history::openHistory(":memory:");
    ASSERT_TRUE(opened.ok());
    store = std::move(opened.value());
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
  std::vector<history::BatchSummary> batches() {
    auto all = store->batches();
    EXPECT_TRUE(all.ok());
    return all.ok() ? all.value() : std::vector<history::BatchSummary>{};
  }

  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  std::unique_ptr<history::History> store;
};

// The whole batch, temporary names included, is recorded before the first
// rename; a stop finishes the entry under way and closes it as stopped.
TEST_F(RenameHistoryTest, TheWholeBatchIsRecordedAndAStopClosesIt) {
  std::atomic<bool> stop = false;
  const auto results = lowerCase(
      *store, [&](const EntryResult&) { stop = true; }, &stop);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, EntryResult::Outcome::Renamed);
  ASSERT_EQ(batches().size(), 1u);
  EXPECT_EQ(batches()[0].state, BatchState::Stopped);
  EXPECT_EQ(batches()[0].fileCount, 3);
  auto renames = store->renameChanges(batches()[0].id);
  ASSERT_TRUE(renames.ok());
  ASSERT_EQ(renames.value().size(), 3u);
  Names recorded;
  for (const history::RenameChange& change : renames.value()) {
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
  std::size_t steps = 0;
  {
    KilledHistory history(*store);
    lowerCase(history);
    steps = fileSystem.calls().size();
  }
  ASSERT_GT(steps, 5u);
  for (std::size_t step = 0; step <= steps; ++step) {
    SCOPED_TRACE("killed after step " + std::to_string(step));
    SetUp();  // the old names and a fresh history
    KilledHistory history(*store);
    fileSystem.clearFaults();
    fileSystem.crashAfter(step);
    lowerCase(history);
    fileSystem.clearFaults();
    auto recovered = history::recoverOpenBatches(*store, real);
    ASSERT_TRUE(recovered.ok());
    ASSERT_EQ(recovered.value().size(), 1u);
    EXPECT_EQ(recovered.value()[0].toNew.size() + recovered.value()[0].toOld.size(), 3u);
    EXPECT_TRUE(recovered.value()[0].unreachable.empty());
    expectEachFileWhole();
    EXPECT_EQ(batches()[0].state, BatchState::Recovered);
  }
}

}  // namespace
}  // namespace brindle::rename
