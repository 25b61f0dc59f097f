// Tag saves as one recorded batch: the history first, then the files without
// a flush each, then one flush per file system. A batch stopped at any step
// is brought back by recoverTagChange to each file wholly old or wholly new.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "history/TagBatch.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/history/FakeHistory.h"
#include "tests/history/TagShapes.h"
#include "tests/support/TempDir.h"

namespace brindle::history::testing {
namespace {

using namespace shapes;
using id3v2::TagRegions;
using platform::testing::FsOp;

/// One file of a batch: its regions before and after, and its audio.
struct Planned {
  std::string name;
  TagRegions before;
  TagRegions after;
  std::string audio;
};

std::vector<Planned> plannedFiles() {
  return {
      {"fits.mp3",
       {version2Tag("Old one", 1024), version1("Old one")},
       {version2Tag("New one", 1024), version1("New one")},
       noise(7000, 'a')},
      {"adds-v1.mp3",
       {version2Tag("Old two", 512), {}},
       {version2Tag("New two", 512), version1("New two")},
       noise(5000, 'b')},
      {"drops-v1.mp3",
       {version2Tag("Old three", 512), version1("Old three")},
       {version2Tag("New three", 512), {}},
       noise(4000, 'c')},
      {"grows.mp3",
       {version2Tag("Old four", 128), version1("Old four")},
       {version2Tag("A much longer fourth title", 2048), version1("New four")},
       noise(6000, 'd')},
      {"linked.mp3",
       {version2Tag("Old five", 128), {}},
       {version2Tag("Fifth title, longer", 1024), version1("New five")},
       noise(3000, 'e')},
  };
}

class TagBatchTest : public ::testing::Test {
 protected:
  /// Writes the files in their old state and returns the changes.
  std::vector<TagChange> writeFiles() {
    std::vector<TagChange> changes;
    for (const Planned& file : plannedFiles()) {
      const std::string path = folder.write(file.name, fileWith(file.before, file.audio));
      auto identity = real.identity(path);
      EXPECT_TRUE(identity.ok());
      changes.push_back({path, identity.value(), file.before, file.after});
    }
    (void)::unlink(folder.file("linked-too.mp3").c_str());
    EXPECT_EQ(::link(folder.file("linked.mp3").c_str(), folder.file("linked-too.mp3").c_str()), 0);
    return changes;
  }

  /// Each file is its whole old or whole new self; returns how many are new.
  int expectWholeOldOrNew() {
    int fresh = 0;
    for (const Planned& file : plannedFiles()) {
      const std::string content = testsupport::TempDir::read(folder.file(file.name));
      const bool isNew = content == fileWith(file.after, file.audio);
      EXPECT_TRUE(isNew || content == fileWith(file.before, file.audio)) << file.name;
      if (isNew) ++fresh;
    }
    EXPECT_EQ(testsupport::TempDir::read(folder.file("linked-too.mp3")),
              testsupport::TempDir::read(folder.file("linked.mp3")));
    return fresh;
  }

  testsupport::TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  FakeHistory history;
};

TEST_F(TagBatchTest, RecordsFirstWritesEachFileAndFlushesOncePerFileSystem) {
  const std::vector<TagChange> changes = writeFiles();
  std::vector<std::string> reported;
  auto results = runTagBatch(&history, fileSystem, "brindle-cli write", changes, nullptr,
                             [&](const FileResult& result) { reported.push_back(result.path); });
  ASSERT_TRUE(results.ok());
  ASSERT_EQ(results.value().size(), changes.size());
  for (const FileResult& result : results.value()) EXPECT_TRUE(result.changed) << result.reason;
  EXPECT_EQ(reported.size(), changes.size());
  EXPECT_EQ(expectWholeOldOrNew(), static_cast<int>(changes.size()));
  ASSERT_EQ(history.recorded().size(), 1u);
  EXPECT_EQ(history.recorded()[0].summary.command, "brindle-cli write");
  EXPECT_EQ(history.recorded()[0].summary.state, BatchState::Done);
  EXPECT_EQ(history.recorded()[0].tags.size(), changes.size());
  EXPECT_EQ(fileSystem.callsOf(FsOp::SyncFileSystem).size(), 1u);
  // Only the files that had to be rewritten whole were flushed one by one:
  // the new file of grows.mp3, the undo record and the file of linked.mp3.
  EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), 3u);
}

TEST_F(TagBatchTest, WithoutTheHistoryEachFileIsFlushed) {
  const std::vector<TagChange> changes = writeFiles();
  auto results = runTagBatch(nullptr, fileSystem, "Save", changes);
  ASSERT_TRUE(results.ok());
  EXPECT_EQ(expectWholeOldOrNew(), static_cast<int>(changes.size()));
  EXPECT_TRUE(fileSystem.callsOf(FsOp::SyncFileSystem).empty());
  EXPECT_GE(fileSystem.callsOf(FsOp::Sync).size(), changes.size());
}

TEST_F(TagBatchTest, NothingIsTouchedWhenTheBatchCannotBeRecorded) {
  const std::vector<TagChange> changes = writeFiles();
  history.refuseNext = true;
  fileSystem.clearCalls();
  auto results = runTagBatch(&history, fileSystem, "Auto Info", changes);
  ASSERT_FALSE(results.ok());
  EXPECT_EQ(results.error().message,
            "cannot record the batch in the history: no space left on the device (No space left "
            "on device)");
  EXPECT_TRUE(fileSystem.calls().empty());
  EXPECT_EQ(expectWholeOldOrNew(), 0);
}

TEST_F(TagBatchTest, AFailingFileIsReportedAndTheRestGoOn) {
  const std::vector<TagChange> changes = writeFiles();
  fileSystem.fail(FsOp::OpenForUpdate, {EIO, "scripted"}, changes[0].path);
  auto results = runTagBatch(&history, fileSystem, "Auto Info", changes);
  ASSERT_TRUE(results.ok());
  EXPECT_FALSE(results.value()[0].changed);
  EXPECT_EQ(results.value()[0].reason, "cannot open the file: Input/output error");
  for (std::size_t i = 1; i < changes.size(); ++i) EXPECT_TRUE(results.value()[i].changed);
  EXPECT_EQ(expectWholeOldOrNew(), static_cast<int>(changes.size()) - 1);
  EXPECT_EQ(history.recorded()[0].summary.state, BatchState::Done);
}

TEST_F(TagBatchTest, StopFinishesTheCurrentFileAndClosesTheBatchAsStopped) {
  const std::vector<TagChange> changes = writeFiles();
  std::atomic<bool> stop{false};
  auto results = runTagBatch(&history, fileSystem, "Number Tracks", changes, &stop,
                             [&](const FileResult&) { stop = true; });
  ASSERT_TRUE(results.ok());
  EXPECT_EQ(results.value().size(), 1u);
  EXPECT_EQ(expectWholeOldOrNew(), 1);
  EXPECT_EQ(history.recorded()[0].summary.state, BatchState::Stopped);
}

/// The batch is stopped after every single call it makes to the file system
/// (nothing after that reaches the disk), then each file is recovered: every
/// file is wholly old or wholly new, and the recovery says which.
TEST_F(TagBatchTest, ABatchStoppedAtAnyStepRecoversEachFileWhole) {
  std::size_t steps = 0;
  {
    const std::vector<TagChange> changes = writeFiles();
    fileSystem.clearCalls();
    ASSERT_TRUE(runTagBatch(&history, fileSystem, "Save", changes).ok());
    steps = fileSystem.calls().size();
  }
  ASSERT_GT(steps, 20u);
  for (std::size_t step = 0; step <= steps; ++step) {
    SCOPED_TRACE("stopped after step " + std::to_string(step));
    const std::vector<TagChange> changes = writeFiles();
    fileSystem.clearFaults();
    fileSystem.crashAfter(step);
    (void)runTagBatch(&history, fileSystem, "Save", changes);
    fileSystem.clearFaults();
    for (const TagChange& change : changes) {
      auto recovered = recoverTagChange(fileSystem, change);
      ASSERT_TRUE(recovered.ok()) << change.path << ": " << recovered.error().message;
      const bool isNew = testsupport::TempDir::read(change.path) ==
                         fileWith(change.after, plannedFiles()[&change - &changes[0]].audio);
      EXPECT_EQ(recovered.value() == RecoveredAs::New, isNew) << change.path;
    }
    expectWholeOldOrNew();
    // No temporary file or undo record is left beside the files.
    EXPECT_EQ(folder.names().size(), plannedFiles().size() + 1);
  }
}

/// A file stopped half way through its write in place (a torn write) gets
/// its old tags back.
TEST_F(TagBatchTest, AHalfWrittenFileGetsItsOldTagsBack) {
  const std::vector<TagChange> changes = writeFiles();
  fileSystem.failLater(FsOp::WriteAt, 0, {EIO, "scripted"}, 300);
  fileSystem.fail(FsOp::WriteAt, {EIO, "scripted"}, changes[0].path);
  auto results = runTagBatch(&history, fileSystem, "Save", {changes[0]});
  ASSERT_TRUE(results.ok());
  EXPECT_FALSE(results.value()[0].changed);
  fileSystem.clearFaults();
  const std::string torn = testsupport::TempDir::read(changes[0].path);
  EXPECT_NE(torn, fileWith(changes[0].before, plannedFiles()[0].audio));
  auto recovered = recoverTagChange(fileSystem, changes[0]);
  ASSERT_TRUE(recovered.ok());
  EXPECT_EQ(recovered.value(), RecoveredAs::Old);
  EXPECT_EQ(expectWholeOldOrNew(), 0);
}

TEST_F(TagBatchTest, RecoveryReportsAFileThatIsNoLongerTheOneChanged) {
  std::vector<TagChange> changes = writeFiles();
  changes[0].identity.inode += 1;
  auto recovered = recoverTagChange(fileSystem, changes[0]);
  ASSERT_FALSE(recovered.ok());
  EXPECT_EQ(recovered.error().message,
            "the file was replaced by another one since the batch began");
}

}  // namespace
}  // namespace brindle::history::testing
