// Tag saves in the SQLite history: an open batch found at a start is
// recovered file by file and marked Recovered; undo writes the old tags back
// as a batch of its own, leaves a file whose tags changed since, and undoing
// the undo writes the new tags again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/Recovery.h"
#include "history/TagBatch.h"
#include "history/Undo.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/history/TagShapes.h"
#include "tests/support/TempDir.h"

namespace brindle::history::testing {
namespace {

using namespace shapes;
using id3v2::TagRegions;

struct SavedFile {
  std::string name;
  TagRegions before;
  TagRegions after;
  std::string audio;
};

std::vector<SavedFile> savedFiles() {
  return {
      {"one.mp3",
       {version2Tag("Old one", 1024), version1("Old one")},
       {version2Tag("New one", 1024), version1("New one")},
       noise(5000, 'a')},
      {"two.mp3",
       {version2Tag("Old two", 256), {}},
       {version2Tag("A longer second title", 2048), version1("New two")},
       noise(4000, 'b')},
      {"three.mp3",
       {version2Tag("Old three", 512), version1("Old three")},
       {version2Tag("New three", 512), {}},
       noise(3000, 'c')},
  };
}

class TagUndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto opened = openHistory(":memory:");
    ASSERT_TRUE(opened.ok());
    history = std::move(opened.value());
  }
  std::vector<TagChange> writeOldFiles() {
    std::vector<TagChange> changes;
    for (const SavedFile& file : savedFiles()) {
      const std::string path = folder.write(file.name, fileWith(file.before, file.audio));
      changes.push_back({path, real.identity(path).value(), file.before, file.after});
    }
    return changes;
  }
  /// "old", "new" or "neither" for each file, in order.
  std::vector<std::string> states() {
    std::vector<std::string> result;
    for (const SavedFile& file : savedFiles()) {
      const std::string content = testsupport::TempDir::read(folder / file.name);
      result.push_back(content == fileWith(file.before, file.audio)  ? "old"
                       : content == fileWith(file.after, file.audio) ? "new"
                                                                     : "neither");
    }
    return result;
  }
  BatchId save(const std::vector<TagChange>& changes) {
    auto results = runTagBatch(history.get(), real, "Save", changes);
    EXPECT_TRUE(results.ok());
    auto last = lastUndoableBatch(*history);
    EXPECT_TRUE(last.ok() && last.value());
    return last.value()->id;
  }

  testsupport::TempDir folder;
  platform::posix::PosixFileSystem real;
  std::unique_ptr<History> history;
};

using States = std::vector<std::string>;

TEST_F(TagUndoTest, UndoWritesTheOldTagsBackAndUndoingTheUndoRedoes) {
  const BatchId saved = save(writeOldFiles());
  ASSERT_EQ(states(), (States{"new", "new", "new"}));

  auto undone = undoBatch(*history, real, saved);
  ASSERT_TRUE(undone.ok()) << undone.error().message;
  EXPECT_EQ(undone.value().restored.size(), 3u);
  EXPECT_TRUE(undone.value().leftAlone.empty());
  EXPECT_EQ(states(), (States{"old", "old", "old"}));
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  ASSERT_EQ(batches.value().size(), 2u);
  EXPECT_EQ(batches.value()[0].undoes, saved);
  EXPECT_EQ(batches.value()[0].state, BatchState::Done);
  EXPECT_EQ(batches.value()[1].state, BatchState::Undone);
  ASSERT_TRUE(undone.value().undoBatch.has_value());
  EXPECT_EQ(*undone.value().undoBatch, batches.value()[0].id);

  auto redone = undoBatch(*history, real, *undone.value().undoBatch);
  ASSERT_TRUE(redone.ok());
  EXPECT_EQ(states(), (States{"new", "new", "new"}));
}

TEST_F(TagUndoTest, UndoLeavesAFileWhoseTagsChangedSince) {
  const BatchId saved = save(writeOldFiles());
  const SavedFile changed = savedFiles()[1];
  const std::string other =
      fileWith({version2Tag("Edited later", 2048), version1("Edited")}, changed.audio);
  folder.write(changed.name, other);

  auto undone = undoBatch(*history, real, saved);
  ASSERT_TRUE(undone.ok());
  ASSERT_EQ(undone.value().leftAlone.size(), 1u);
  EXPECT_EQ(undone.value().leftAlone[0], folder / changed.name + ": its tags changed since");
  EXPECT_EQ(undone.value().restored.size(), 2u);
  EXPECT_EQ(states(), (States{"old", "neither", "old"}));
  EXPECT_EQ(testsupport::TempDir::read(folder / changed.name), other);
}

TEST_F(TagUndoTest, AnOpenBatchIsRecoveredAndMarked) {
  const std::vector<TagChange> changes = writeOldFiles();
  // Recorded, then the first file saved and the program killed.
  auto id = history->beginBatch("Save", changes, {});
  ASSERT_TRUE(id.ok());
  ASSERT_TRUE(id3v2::replaceTagRegions(real, changes[0].path, changes[0].before, changes[0].after,
                                       id3v2::Durability::Deferred)
                  .ok());
  EXPECT_FALSE(undoBatch(*history, real, id.value()).ok());

  auto recovered = recoverOpenBatches(*history, real);
  ASSERT_TRUE(recovered.ok());
  ASSERT_EQ(recovered.value().size(), 1u);
  EXPECT_EQ(recovered.value()[0].command, "Save");
  EXPECT_EQ(recovered.value()[0].toNew, std::vector<std::string>{changes[0].path});
  EXPECT_EQ(recovered.value()[0].toOld,
            (std::vector<std::string>{changes[1].path, changes[2].path}));
  EXPECT_EQ(states(), (States{"new", "old", "old"}));
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  EXPECT_EQ(batches.value()[0].state, BatchState::Recovered);

  // A recovered batch can be undone: the file it changed goes back.
  auto undone = undoBatch(*history, real, id.value());
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone.value().restored, std::vector<std::string>{changes[0].path});
  EXPECT_EQ(states(), (States{"old", "old", "old"}));
}

}  // namespace
}  // namespace brindle::history::testing
