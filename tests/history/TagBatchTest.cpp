// The tag regions of a file, read byte-exact and replaced in place when the
// audio keeps its place, through a new file otherwise, never over a file that
// changed. Tag saves as one recorded batch: the history first, then the files
// without a flush each, then one flush per file system. A batch stopped at
// any step is recovered to each file wholly old or wholly new; undo writes
// the old tags back as a batch of its own, leaves a file changed since, and
// undoing the undo writes the new tags again.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "history/Recovery.h"
#include "history/TagBatch.h"
#include "history/Undo.h"
#include "history/testing/FakeHistory.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/history/TagShapes.h"
#include "tests/support/TempDir.h"

namespace brindle::history::testing {
namespace {

using namespace shapes;
using id3v2::Durability;
using id3v2::TagRegions;
using platform::testing::FsOp;
using testsupport::TempDir;

constexpr auto kDeferred = Durability::Deferred;
constexpr auto kFlushed = Durability::Flushed;

class TagRegionsTest : public ::testing::Test {
 protected:
  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
};

// Tags within and past the first read of 4096 bytes, version 1 blocks within
// it and past it, "tag" in lower case, and a tag longer than the file.
TEST_F(TagRegionsTest, ReadsBothRegionsByteExact) {
  const struct {
    const char* name;
    TagRegions regions;
    std::size_t audio;
  } rows[] = {
      {"none", {}, 500},
      {"version 2 with padding", {version2Tag("Title", 1024), {}}, 500},
      {"version 1 only", {{}, version1("Old")}, 500},
      {"both", {version2Tag("Title", 300), version1("Old")}, 5000},
      {"tag of the first read", {version2Tag("Big", 4096), version1("Old")}, 0},
      {"large tag", {version2Tag("Big", 20000), version1("Old")}, 100},
      {"no audio", {version2Tag("T", 64), {}}, 0},
      {"lower-case marker", {{}, bytesOf("tag" + textOf(version1("x")).substr(3))}, 300},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.write("song.mp3", fileWith(row.regions, noise(row.audio)));
    EXPECT_EQ(id3v2::readTagRegions(fileSystem, path).value(), row.regions);
  }
  std::string bytes = textOf(version2Tag("T", 2000));
  bytes.resize(900);
  auto read = id3v2::readTagRegions(fileSystem, folder.write("song.mp3", bytes));
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().message, "the tag claims 2000 bytes but the file has 900");
}

/// A save whose tag fits touches only the tag bytes: every read and write of
/// the file is at offset 0 (the version 2 region) or at the end (version 1).
TEST_F(TagRegionsTest, InPlaceTouchesOnlyTheTagRegions) {
  const TagRegions old{version2Tag("Old", 1024), version1("Old")};
  const TagRegions oldOnly{version2Tag("Old", 1024), {}};
  const TagRegions fresh{version2Tag("New title", 1024), version1("New")};
  const struct {
    const char* name;
    Durability durability;
    TagRegions before, after;
  } rows[] = {
      {"replaced, deferred", kDeferred, old, fresh},
      {"version 1 added, deferred", kDeferred, oldOnly, fresh},
      {"version 1 dropped, deferred", kDeferred, old, {fresh.version2, {}}},
      {"replaced, flushed", kFlushed, old, fresh},
      {"version 1 added, flushed", kFlushed, oldOnly, fresh},
  };
  const std::string audio = noise(300000);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.write("song.mp3", fileWith(row.before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(
        id3v2::replaceTagRegions(fileSystem, path, row.before, row.after, row.durability).ok());
    EXPECT_EQ(TempDir::read(path), fileWith(row.after, audio));
    const std::uint64_t audioEnd = row.before.version2.size() + audio.size();
    for (const auto& call : fileSystem.calls()) {
      if (call.path != path) continue;
      const std::uint64_t offset = call.second.empty() ? 0 : std::stoull(call.second);
      const bool read = call.op == FsOp::ReadAt;
      const std::uint64_t end = read ? audioEnd + row.before.version1.size() - 128 : audioEnd;
      if (read || call.op == FsOp::WriteAt) {
        EXPECT_TRUE(offset == 0 || offset == end) << offset;
      }
      EXPECT_NE(call.op, FsOp::CopyFrom);
    }
    EXPECT_TRUE(fileSystem.callsOf(FsOp::ReplaceFile).empty());
    // Flushed: the undo record beside the file, then the file, are flushed.
    const bool flushed = row.durability == kFlushed;
    EXPECT_EQ(fileSystem.callsOf(FsOp::CreateNewFile).size(), flushed ? 1u : 0u);
    EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), flushed ? 2u : 0u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
}

// A tag that grows goes through a new file; a file with a second name is
// rewritten in place and keeps its inode; a read-only file is replaced by a
// new one and stays read-only.
TEST_F(TagRegionsTest, ATagThatGrowsGoesThroughANewFile) {
  const TagRegions before{version2Tag("Old", 256), version1("Old")};
  const TagRegions after{version2Tag("A much longer title", 2048), version1("New")};
  const std::string audio = noise(10000);
  for (const Durability durability : {kDeferred, kFlushed}) {
    const std::string path = folder.write("song.mp3", fileWith(before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, after, durability).ok());
    EXPECT_EQ(TempDir::read(path), fileWith(after, audio));
    EXPECT_EQ(fileSystem.callsOf(FsOp::ReplaceFile).size(), 1u);
    EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), 1u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
  ASSERT_EQ(::link(folder.file("song.mp3").c_str(), folder.file("other.mp3").c_str()), 0);
  const TagRegions longer{version2Tag("Longer", 4096), {}};
  ASSERT_TRUE(
      id3v2::replaceTagRegions(fileSystem, folder.file("song.mp3"), after, longer, kDeferred).ok());
  EXPECT_EQ(TempDir::read(folder.file("other.mp3")), fileWith(longer, audio));

  if (::geteuid() == 0) return;  // root may write any file
  const std::string path = folder.write("locked.mp3", fileWith(before, audio));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const TagRegions same{version2Tag("New", 256), version1("New")};
  ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, same, kDeferred).ok());
  EXPECT_EQ(TempDir::read(path), fileWith(same, audio));
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0444u);
}

TEST_F(TagRegionsTest, RefusesAFileThatChangedSinceItsTagsWereRead) {
  const TagRegions before{version2Tag("Old", 1024), version1("Old")};
  const std::string changed = fileWith({version2Tag("Other", 1024), version1("Old")}, noise(1000));
  for (const std::size_t length : {1024u, 4096u}) {
    for (const Durability durability : {kDeferred, kFlushed}) {
      const std::string path = folder.write("song.mp3", changed);
      const TagRegions target{version2Tag("New", length), version1("New")};
      auto status = id3v2::replaceTagRegions(fileSystem, path, before, target, durability);
      ASSERT_FALSE(status.ok());
      EXPECT_EQ(status.error().message, "the file changed since its tags were read");
      EXPECT_EQ(TempDir::read(path), changed);
    }
  }
}

/// One file of a batch: its regions before and after, and its audio.
struct Planned {
  std::string name;
  TagRegions before;
  TagRegions after;
  std::string audio;
};

/// A file with `audio` bytes of audio whose version 2 tag of `before` bytes
/// becomes one of `after` bytes, with or without version 1 blocks.
Planned planned(const std::string& name, std::size_t before, std::size_t after, bool v1Before,
                bool v1After, std::size_t audio) {
  const std::string title = name.substr(0, name.size() - 4);
  auto v1 = [&](bool present, const std::string& text) {
    return present ? version1(text) : id3v2::ByteVector{};
  };
  return {name,
          {version2Tag("Old " + title, before), v1(v1Before, "Old " + title)},
          {version2Tag("New " + title, after), v1(v1After, "New " + title)},
          noise(audio, name[0])};
}

/// Tags that fit, a version 1 block added and dropped, a tag that grows, and
/// one that grows in a file with a second name (linked-too.mp3).
const std::vector<Planned> kFiles = {
    planned("fits.mp3", 1024, 1024, true, true, 7000),
    planned("adds-v1.mp3", 512, 512, false, true, 5000),
    planned("drops-v1.mp3", 512, 512, true, false, 4000),
    planned("grows.mp3", 128, 2048, true, true, 6000),
    planned("linked.mp3", 128, 1024, false, true, 3000),
};

class TagBatchTest : public TagRegionsTest {
 protected:
  /// Writes the files in their old state and returns the changes.
  std::vector<TagChange> writeFiles() {
    std::vector<TagChange> changes;
    for (const Planned& file : kFiles) {
      const std::string path = folder.write(file.name, fileWith(file.before, file.audio));
      changes.push_back({path, real.identity(path).value(), file.before, file.after});
    }
    (void)::unlink(folder.file("linked-too.mp3").c_str());
    EXPECT_EQ(::link(folder.file("linked.mp3").c_str(), folder.file("linked-too.mp3").c_str()), 0);
    return changes;
  }

  /// Each file as 'o' (old), 'n' (new) or '?' (neither), in order.
  std::string states() {
    std::string result;
    for (const Planned& file : kFiles) {
      const std::string content = TempDir::read(folder.file(file.name));
      result += content == fileWith(file.before, file.audio)  ? 'o'
                : content == fileWith(file.after, file.audio) ? 'n'
                                                              : '?';
    }
    EXPECT_EQ(TempDir::read(folder.file("linked-too.mp3")),
              TempDir::read(folder.file("linked.mp3")));
    return result;
  }

  FakeHistory history;
};

// With a history: one flush of the file system, and a flush of each file
// rewritten whole (the new file of grows.mp3, the undo record and the file
// of linked.mp3). Without one, every file is flushed on its own.
TEST_F(TagBatchTest, WritesEveryFileAndFlushes) {
  for (const bool recorded : {true, false}) {
    SCOPED_TRACE(recorded);
    const std::vector<TagChange> changes = writeFiles();
    fileSystem.clearCalls();
    std::vector<std::string> reported;
    auto results =
        runTagBatch(recorded ? &history : nullptr, fileSystem, "brindle-cli write", changes,
                    nullptr, [&](const FileResult& result) { reported.push_back(result.path); });
    ASSERT_EQ(results.value().size(), changes.size());
    for (const FileResult& result : results.value()) EXPECT_TRUE(result.changed) << result.reason;
    EXPECT_EQ(reported.size(), changes.size());
    EXPECT_EQ(states(), "nnnnn");
    EXPECT_EQ(fileSystem.callsOf(FsOp::SyncFileSystem).size(), recorded ? 1u : 0u);
    const std::size_t flushes = fileSystem.callsOf(FsOp::Sync).size();
    EXPECT_TRUE(recorded ? flushes == 3 : flushes >= changes.size()) << flushes;
  }
  ASSERT_EQ(history.recorded().size(), 1u);
  EXPECT_EQ(history.recorded()[0].summary.command, "brindle-cli write");
  EXPECT_EQ(history.recorded()[0].summary.state, BatchState::Done);
  EXPECT_EQ(history.recorded()[0].tags.size(), kFiles.size());
}

// A batch that cannot be recorded touches nothing; a failing file is
// reported and the rest go on; Stop finishes the current file.
TEST_F(TagBatchTest, RefusedFailingAndStopped) {
  std::vector<TagChange> changes = writeFiles();
  history.refuseNext = true;
  fileSystem.clearCalls();
  auto refused = runTagBatch(&history, fileSystem, "Auto Info", changes);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().message,
            "cannot record the batch in the history: no space left on the device (No space left "
            "on device)");
  EXPECT_TRUE(fileSystem.calls().empty());
  EXPECT_EQ(states(), "ooooo");

  fileSystem.fail(FsOp::OpenForUpdate, {EIO, "scripted"}, changes[0].path);
  auto results = runTagBatch(&history, fileSystem, "Auto Info", changes);
  EXPECT_FALSE(results.value()[0].changed);
  EXPECT_EQ(results.value()[0].reason, "cannot open the file: Input/output error");
  EXPECT_EQ(states(), "onnnn");
  EXPECT_EQ(history.recorded().back().summary.state, BatchState::Done);

  changes = writeFiles();
  fileSystem.clearFaults();
  std::atomic<bool> stop{false};
  results = runTagBatch(&history, fileSystem, "Number Tracks", changes, &stop,
                        [&](const FileResult&) { stop = true; });
  EXPECT_EQ(results.value().size(), 1u);
  EXPECT_EQ(states(), "noooo");
  EXPECT_EQ(history.recorded().back().summary.state, BatchState::Stopped);
}

// The batch is stopped after each single call it makes to the file system
// (nothing after it reaches the disk); each file is then recovered wholly
// old or wholly new, and the recovery says which.
TEST_F(TagBatchTest, ABatchStoppedAtAnyStepRecoversEachFileWhole) {
  fileSystem.clearCalls();
  ASSERT_TRUE(runTagBatch(&history, fileSystem, "Save", writeFiles()).ok());
  const std::size_t steps = fileSystem.calls().size();
  ASSERT_GT(steps, 20u);
  for (std::size_t step = 0; step <= steps; ++step) {
    SCOPED_TRACE("stopped after step " + std::to_string(step));
    const std::vector<TagChange> changes = writeFiles();
    fileSystem.clearFaults();
    fileSystem.crashAfter(step);
    (void)runTagBatch(&history, fileSystem, "Save", changes);
    fileSystem.clearFaults();
    for (std::size_t i = 0; i < changes.size(); ++i) {
      auto recovered = recoverTagChange(fileSystem, changes[i]);
      ASSERT_TRUE(recovered.ok()) << changes[i].path << ": " << recovered.error().message;
      EXPECT_EQ(recovered.value() == RecoveredAs::New, states()[i] == 'n') << changes[i].path;
    }
    EXPECT_EQ(states().find('?'), std::string::npos);
    // No temporary file or undo record is left beside the files.
    EXPECT_EQ(folder.names().size(), kFiles.size() + 1);
  }
}

// A file torn half way through its write in place gets its old tags back; a
// file replaced since the batch began is not recovered.
TEST_F(TagBatchTest, TornAndReplacedFiles) {
  std::vector<TagChange> changes = writeFiles();
  fileSystem.failLater(FsOp::WriteAt, 0, {EIO, "scripted"}, 300);
  fileSystem.fail(FsOp::WriteAt, {EIO, "scripted"}, changes[0].path);
  EXPECT_FALSE(runTagBatch(&history, fileSystem, "Save", {changes[0]}).value()[0].changed);
  fileSystem.clearFaults();
  EXPECT_EQ(states()[0], '?');
  EXPECT_EQ(recoverTagChange(fileSystem, changes[0]).value(), RecoveredAs::Old);
  EXPECT_EQ(states(), "ooooo");

  changes[0].identity.inode += 1;
  auto recovered = recoverTagChange(fileSystem, changes[0]);
  ASSERT_FALSE(recovered.ok());
  EXPECT_EQ(recovered.error().message,
            "the file was replaced by another one since the batch began");
}

class TagUndoTest : public TagBatchTest {
 protected:
  TagUndoTest() : store(std::move(openHistory(":memory:").value())) {}

  std::unique_ptr<History> store;
};

TEST_F(TagUndoTest, UndoWritesTheOldTagsBackAndUndoingTheUndoRedoes) {
  ASSERT_TRUE(runTagBatch(store.get(), real, "Save", writeFiles()).ok());
  const BatchId saved = lastUndoableBatch(*store).value()->id;
  ASSERT_EQ(states(), "nnnnn");
  auto undone = undoBatch(*store, real, saved);
  ASSERT_TRUE(undone.ok()) << undone.error().message;
  EXPECT_EQ(undone.value().restored.size(), kFiles.size());
  EXPECT_TRUE(undone.value().leftAlone.empty());
  EXPECT_EQ(states(), "ooooo");
  const std::vector<BatchSummary> batches = store->batches().value();
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[0].undoes, saved);
  EXPECT_EQ(batches[0].state, BatchState::Done);
  EXPECT_EQ(batches[1].state, BatchState::Undone);
  EXPECT_EQ(undone.value().undoBatch, batches[0].id);

  ASSERT_TRUE(undoBatch(*store, real, *undone.value().undoBatch).ok());
  EXPECT_EQ(states(), "nnnnn");
}

TEST_F(TagUndoTest, UndoLeavesAFileWhoseTagsChangedSince) {
  ASSERT_TRUE(runTagBatch(store.get(), real, "Save", writeFiles()).ok());
  const std::string other =
      fileWith({version2Tag("Edited later", 512), version1("Edited")}, kFiles[1].audio);
  folder.write(kFiles[1].name, other);
  auto undone = undoBatch(*store, real, lastUndoableBatch(*store).value()->id);
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone.value().leftAlone,
            std::vector<std::string>{folder / kFiles[1].name + ": its tags changed since"});
  EXPECT_EQ(undone.value().restored.size(), kFiles.size() - 1);
  EXPECT_EQ(states(), "o?ooo");
  EXPECT_EQ(TempDir::read(folder / kFiles[1].name), other);
}

// An open batch (the program killed after the first file) cannot be undone;
// the next start recovers it file by file, marks it, and then it can.
TEST_F(TagUndoTest, AnOpenBatchIsRecoveredAndMarked) {
  const std::vector<TagChange> changes = writeFiles();
  const BatchId id = store->beginBatch("Save", changes, {}).value();
  ASSERT_TRUE(id3v2::replaceTagRegions(real, changes[0].path, changes[0].before, changes[0].after,
                                       id3v2::Durability::Deferred)
                  .ok());
  EXPECT_FALSE(undoBatch(*store, real, id).ok());
  auto recovered = recoverOpenBatches(*store, real);
  ASSERT_EQ(recovered.value().size(), 1u);
  EXPECT_EQ(recovered.value()[0].command, "Save");
  EXPECT_EQ(recovered.value()[0].toNew, std::vector<std::string>{changes[0].path});
  EXPECT_EQ(recovered.value()[0].toOld.size(), kFiles.size() - 1);
  EXPECT_EQ(states(), "noooo");
  EXPECT_EQ(store->batches().value()[0].state, BatchState::Recovered);

  auto undone = undoBatch(*store, real, id);
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone.value().restored, std::vector<std::string>{changes[0].path});
  EXPECT_EQ(states(), "ooooo");
}

}  // namespace
}  // namespace brindle::history::testing
