// The history store: records come back byte for byte, a running program's
// batch is left alone, pruning removes the oldest closed batches first, and
// the location follows the environment.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "history/History.h"
#include "history/Location.h"
#include "history/Recovery.h"
#include "history/RegionPieces.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/history/TagShapes.h"
#include "tests/support/TempDir.h"

namespace brindle::history {
namespace {

using namespace shapes;
using testsupport::TempDir;

std::unique_ptr<History> openOrFail(const std::string& location,
                                    std::uint64_t limit = kDefaultSizeLimit) {
  auto opened = openHistory(location, limit);
  EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.error().message);
  return opened.ok() ? std::move(opened.value()) : nullptr;
}

struct RegionCase {
  const char* name;
  ByteVector region;
};

std::vector<RegionCase> oddRegions() {
  const ByteVector title = frame("TIT2", text("Title"));
  const ByteVector artist = frame("TPE1", text("Artist"));
  ByteVector garbage;
  for (int index = 0; index < 300; ++index) garbage.push_back(static_cast<std::uint8_t>(index * 7));
  ByteVector dirtyPadding = zeros(64);
  dirtyPadding[40] = 0x55;
  return {
      {"empty", {}},
      {"header only", tag(3, 0, {})},
      {"frames and padding", tag(3, 0, join({title, artist, zeros(1000)}))},
      {"no padding", tag(3, 0, join({title, artist}))},
      {"only padding", tag(3, 0, zeros(500))},
      {"garbage", garbage},
      {"short garbage", bytesOf("ID3")},
      {"version 2.2", tag(2, 0, join({frame("TT2", text("Old"), 2), zeros(20)}))},
      {"version 2.4 with footer", tag(4, 0x10, join({frame("TIT2", text("Four"), 4)}))},
      {"version 2.4 padding", tag(4, 0, join({frame("TIT2", text("Four"), 4), zeros(33)}))},
      {"version 2.5", tag(5, 0, join({title, zeros(10)}))},
      {"unsynchronised 2.3", tag(3, 0x80, join({title, zeros(10)}))},
      {"extended header", tag(3, 0x40, join({zeros(10), title}))},
      {"padding with a stray byte", tag(3, 0, join({title, dirtyPadding}))},
      {"frame past the end", join({tag(3, 0, title), frame("TALB", text("Album"))})},
      {"size past the region",
       [&] {
         ByteVector region = tag(3, 0, join({title, zeros(10)}));
         region.resize(region.size() - 5);
         return region;
       }()},
      {"bytes that are no frame", tag(3, 0, join({title, bytesOf("tit2 lowercase"), zeros(4)}))},
      {"zero-size frame", tag(3, 0, join({frame("TIT2", {}), title}))},
  };
}

// Tag changes of odd shapes and renames of odd names come back byte for
// byte; the pieces a region is stored in cover it, padding pieces are zeros.
TEST(HistoryStore, ChangesAndBatchesComeBackByteForByte) {
  const std::vector<RegionCase> regions = oddRegions();
  std::vector<TagChange> changes;
  for (std::size_t index = 0; index < regions.size(); ++index) {
    TagChange change;
    change.path = "/music/" + std::string(regions[index].name) + "\xff.mp3";
    change.identity = {0xFFFFFFFFFFFFFFF0ULL + index, 1000 + index};
    change.before.version2 = regions[index].region;
    change.after.version2 = regions[(index + 1) % regions.size()].region;
    if (index % 2 == 0) change.before.version1 = version1("old");
    if (index % 3 == 0) change.after.version1 = version1("new");
    changes.push_back(std::move(change));
  }
  const std::vector<RenameChange> renames = {{"/music", "a.mp3", "", "b.mp3"},
                                             {"/music", "C.mp3", ".brindle-0a1b2c3d", "c.mp3"},
                                             {"/mus\xfe", "x\xff", "", "y"}};
  std::unique_ptr<History> history = openOrFail(":memory:");
  ASSERT_TRUE(history);
  const BatchId first = history->beginBatch("Convert", changes, renames).value();
  const BatchId second = history->beginBatch("Undo", {}, {}, first).value();
  ASSERT_TRUE(history->closeBatch(first, BatchState::Undone).ok());

  const std::vector<BatchSummary> batches = history->batches().value();
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[0].id, second);
  EXPECT_EQ(batches[0].state, BatchState::Open);
  EXPECT_EQ(batches[0].undoes, first);
  EXPECT_EQ(batches[1].command, "Convert");
  EXPECT_EQ(batches[1].fileCount, static_cast<int>(changes.size() + renames.size()));
  EXPECT_EQ(batches[1].state, BatchState::Undone);
  EXPECT_FALSE(batches[1].undoes.has_value());
  EXPECT_GT(batches[1].startedAt, 1700000000);
  auto renameFields = [](const RenameChange& r) {
    return std::tie(r.directory, r.oldName, r.temporaryName, r.newName);
  };
  const std::vector<RenameChange> back = history->renameChanges(first).value();
  ASSERT_EQ(back.size(), renames.size());
  for (std::size_t i = 0; i < renames.size(); ++i) {
    EXPECT_EQ(renameFields(back[i]), renameFields(renames[i]));
  }
  const std::vector<TagChange> stored = history->tagChanges(first).value();
  ASSERT_EQ(stored.size(), changes.size());
  auto fields = [](const TagChange& c) { return std::tie(c.path, c.identity, c.before, c.after); };
  for (std::size_t index = 0; index < changes.size(); ++index) {
    SCOPED_TRACE(regions[index].name);
    EXPECT_TRUE(fields(stored[index]) == fields(changes[index]));
    std::size_t next = 0;
    for (const RegionPiece& piece : splitRegion(regions[index].region)) {
      EXPECT_EQ(piece.offset, next);
      EXPECT_GT(piece.length, 0u);
      const auto from = regions[index].region.begin() + static_cast<std::ptrdiff_t>(piece.offset);
      const bool zero = std::all_of(from, from + static_cast<std::ptrdiff_t>(piece.length),
                                    [](auto b) { return b == 0; });
      EXPECT_TRUE(zero || !piece.padding);
      next = piece.offset + piece.length;
    }
    EXPECT_EQ(next, regions[index].region.size());
  }
}

// A batch open in a running program is that program's: a recovery started
// meanwhile (another program on the same history) leaves it alone. Once its
// program is gone, the batch is the next recovery's.
TEST(HistoryStore, ABatchOfARunningProgramIsNotRecovered) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  folder.write("Song.mp3", "song");
  std::unique_ptr<History> running = openOrFail(location);
  std::unique_ptr<History> starting = openOrFail(location);
  ASSERT_TRUE(running && starting);
  auto id = running->beginBatch("Rename", {}, {{folder.path(), "Song.mp3", "", "song.mp3"}});
  ASSERT_TRUE(id.ok());
  EXPECT_TRUE(running->isRunning(id.value()));
  EXPECT_TRUE(starting->isRunning(id.value()));
  platform::posix::PosixFileSystem fileSystem;
  auto recovered = recoverOpenBatches(*starting, fileSystem);
  ASSERT_TRUE(recovered.ok());
  EXPECT_TRUE(recovered.value().empty());

  running.reset();
  EXPECT_FALSE(starting->isRunning(id.value()));
  recovered = recoverOpenBatches(*starting, fileSystem);
  ASSERT_TRUE(recovered.ok());
  ASSERT_EQ(recovered.value().size(), 1u);
  EXPECT_EQ(recovered.value()[0].toOld, std::vector<std::string>{folder / "Song.mp3"});
  // No mark is left beside the history.
  for (const std::string& name : folder.names()) EXPECT_EQ(name.find("-owner-"), std::string::npos);
}

// Batches of about 40 KB each against a limit of 200 KB: the oldest closed
// ones go first; an open one (as a crash leaves it) stays.
TEST(HistoryStore, PruningRemovesOldestClosedBatchesFirst) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  constexpr std::uint64_t kLimit = 200 * 1024;
  std::unique_ptr<History> history = openOrFail(location, kLimit);
  ASSERT_TRUE(history);
  auto batchOf = [](int number) {
    TagChange change;
    change.path = "/file" + std::to_string(number);
    change.after.version2 = tag(3, 0, frame("APIC", bytesOf(noise(40 * 1024, number))));
    return std::vector<TagChange>{change};
  };
  std::vector<BatchId> ids;
  for (int number = 0; number < 20; ++number) {
    ids.push_back(
        history->beginBatch("Save " + std::to_string(number), batchOf(number), {}).value());
    if (number != 1) {
      ASSERT_TRUE(history->closeBatch(ids.back(), BatchState::Done).ok());
    }
  }
  std::vector<BatchId> kept;
  const std::vector<BatchSummary> batches = history->batches().value();
  for (const BatchSummary& batch : batches) kept.push_back(batch.id);
  ASSERT_GE(kept.size(), 3u);
  ASSERT_LT(kept.size(), 10u);
  // Newest first: the latest batches in a row, and the open one.
  for (std::size_t index = 0; index + 1 < kept.size(); ++index) {
    EXPECT_EQ(kept[index], ids[ids.size() - 1 - index]);
  }
  EXPECT_EQ(kept.back(), ids[1]);
  EXPECT_EQ(history->tagChanges(ids[1]).value().at(0).after.version2, batchOf(1)[0].after.version2);
  history.reset();
  // The removed contents gave their room back.
  EXPECT_LT(std::filesystem::file_size(location), 2 * kLimit);
}

/// An environment of "NAME=value" pairs separated by ";".
Environment environmentOf(const std::string& variables) {
  return [variables](const std::string& name) -> std::optional<std::string> {
    const std::string all = ";" + variables + ";";
    const auto at = all.find(";" + name + "=");
    if (at == std::string::npos) return std::nullopt;
    const auto from = at + name.size() + 2;
    return all.substr(from, all.find(';', from) - from);
  };
}

TEST(HistoryLocation, FollowsTheEnvironment) {
  const std::string home = "/home/ann/.local/state/brindle/history.sqlite";
  const struct {
    const char* variables;
    std::optional<std::string> location;
    std::uint64_t limit;
  } cases[] = {
      {"HOME=/home/ann", home, kDefaultSizeLimit},
      {"HOME=/home/ann;XDG_STATE_HOME=/state", "/state/brindle/history.sqlite", kDefaultSizeLimit},
      {"HOME=/home/ann;XDG_STATE_HOME=relative", home, kDefaultSizeLimit},
      {"HOME=/home/ann;BRINDLE_HISTORY=/tmp/h.sqlite", "/tmp/h.sqlite", kDefaultSizeLimit},
      {"HOME=/home/ann;BRINDLE_HISTORY=off", std::nullopt, kDefaultSizeLimit},
      {"HOME=/home/ann;BRINDLE_HISTORY=;BRINDLE_HISTORY_LIMIT=1048576", home, 1048576},
      {"HOME=/home/ann;BRINDLE_HISTORY_LIMIT=12 MB", home, kDefaultSizeLimit},
      {"", std::nullopt, kDefaultSizeLimit},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.variables);
    EXPECT_EQ(historyLocation(environmentOf(row.variables)), row.location);
    EXPECT_EQ(historySizeLimit(environmentOf(row.variables)), row.limit);
  }
}

TEST(HistoryLocation, OpeningCreatesTheFolder) {
  TempDir folder;
  auto history = openConfiguredHistory(environmentOf("XDG_STATE_HOME=" + (folder / "state")));
  ASSERT_TRUE(history.ok() && history.value());
  EXPECT_TRUE(std::filesystem::exists(folder / "state/brindle/history.sqlite"));
  auto none = openConfiguredHistory(environmentOf("BRINDLE_HISTORY=off"));
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none.value());
}

}  // namespace
}  // namespace brindle::history
