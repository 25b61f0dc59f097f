// The history store: what is recorded comes back byte for byte, frames
// shared by many changes are stored once, pruning removes the oldest closed
// batches first, and the location follows the environment.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

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

TEST(HistoryStore, TagChangesComeBackByteForByte) {
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
  std::unique_ptr<History> history = openOrFail(":memory:");
  ASSERT_TRUE(history);
  auto id = history->beginBatch("Save", changes, {});
  ASSERT_TRUE(id.ok());
  auto stored = history->tagChanges(id.value());
  ASSERT_TRUE(stored.ok());
  ASSERT_EQ(stored.value().size(), changes.size());
  for (std::size_t index = 0; index < changes.size(); ++index) {
    SCOPED_TRACE(regions[index].name);
    const TagChange& back = stored.value()[index];
    EXPECT_EQ(back.path, changes[index].path);
    EXPECT_EQ(back.identity, changes[index].identity);
    EXPECT_EQ(back.before, changes[index].before);
    EXPECT_EQ(back.after, changes[index].after);
  }
}

TEST(HistoryStore, PiecesCoverTheRegionAndPaddingIsZeros) {
  for (const RegionCase& region : oddRegions()) {
    SCOPED_TRACE(region.name);
    std::size_t next = 0;
    for (const RegionPiece& piece : splitRegion(region.region)) {
      EXPECT_EQ(piece.offset, next);
      EXPECT_GT(piece.length, 0u);
      if (piece.padding) {
        for (std::size_t at = piece.offset; at < piece.offset + piece.length; ++at) {
          EXPECT_EQ(region.region[at], 0);
        }
      }
      next = piece.offset + piece.length;
    }
    EXPECT_EQ(next, region.region.size());
  }
}

TEST(HistoryStore, RenamesAndBatchesComeBack) {
  std::unique_ptr<History> history = openOrFail(":memory:");
  ASSERT_TRUE(history);
  const std::vector<RenameChange> renames = {{"/music", "a.mp3", "", "b.mp3"},
                                             {"/music", "C.mp3", ".brindle-0a1b2c3d", "c.mp3"},
                                             {"/mus\xfe", "x\xff", "", "y"}};
  auto first = history->beginBatch("Convert to lower case", {}, renames);
  ASSERT_TRUE(first.ok());
  auto second = history->beginBatch("Undo", {}, {}, first.value());
  ASSERT_TRUE(second.ok());
  ASSERT_TRUE(history->closeBatch(first.value(), BatchState::Undone).ok());

  auto back = history->renameChanges(first.value());
  ASSERT_TRUE(back.ok());
  ASSERT_EQ(back.value().size(), renames.size());
  for (std::size_t index = 0; index < renames.size(); ++index) {
    EXPECT_EQ(back.value()[index].directory, renames[index].directory);
    EXPECT_EQ(back.value()[index].oldName, renames[index].oldName);
    EXPECT_EQ(back.value()[index].temporaryName, renames[index].temporaryName);
    EXPECT_EQ(back.value()[index].newName, renames[index].newName);
  }
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  ASSERT_EQ(batches.value().size(), 2u);
  EXPECT_EQ(batches.value()[0].id, second.value());
  EXPECT_EQ(batches.value()[0].state, BatchState::Open);
  EXPECT_EQ(batches.value()[0].undoes, first.value());
  EXPECT_EQ(batches.value()[1].command, "Convert to lower case");
  EXPECT_EQ(batches.value()[1].fileCount, 3);
  EXPECT_EQ(batches.value()[1].state, BatchState::Undone);
  EXPECT_FALSE(batches.value()[1].undoes.has_value());
  EXPECT_GT(batches.value()[1].startedAt, 1700000000);
}

TEST(HistoryStore, RecordSurvivesReopening) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  {
    std::unique_ptr<History> history = openOrFail(location);
    ASSERT_TRUE(history);
    TagChange change;
    change.path = "/a.mp3";
    change.before.version2 = tag(3, 0, join({frame("TIT2", text("A")), zeros(100)}));
    ASSERT_TRUE(history->beginBatch("Save", {change}, {}).ok());
  }
  std::unique_ptr<History> history = openOrFail(location);
  ASSERT_TRUE(history);
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  ASSERT_EQ(batches.value().size(), 1u);
  EXPECT_EQ(batches.value()[0].state, BatchState::Open);
  auto changes = history->tagChanges(batches.value()[0].id);
  ASSERT_TRUE(changes.ok());
  ASSERT_EQ(changes.value().size(), 1u);
  EXPECT_EQ(changes.value()[0].before.version2,
            tag(3, 0, join({frame("TIT2", text("A")), zeros(100)})));
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

// A title set on 2,000 files of 20 albums, each file with its album's
// 100 KB cover: the covers and every other unchanged frame are stored once.
TEST(HistoryStore, UnchangedFramesAreStoredOnce) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  constexpr int kFiles = 2000;
  constexpr int kAlbums = 20;
  std::vector<ByteVector> covers;
  for (int album = 0; album < kAlbums; ++album) {
    ByteVector picture = join({bytesOf(std::string("\0image/jpeg\0\3\0", 14))});
    for (int index = 0; index < 100 * 1024; ++index) {
      picture.push_back(static_cast<std::uint8_t>((index * 31 + album * 17) ^ (index >> 8)));
    }
    covers.push_back(frame("APIC", picture));
  }
  std::vector<TagChange> changes;
  for (int file = 0; file < kFiles; ++file) {
    const ByteVector common = join({frame("TPE1", text("Artist")),
                                    frame("TALB", text("Album " + std::to_string(file % kAlbums))),
                                    frame("TRCK", text(std::to_string(file % 100 + 1))),
                                    covers[static_cast<std::size_t>(file % kAlbums)]});
    TagChange change;
    change.path =
        "/music/album" + std::to_string(file % kAlbums) + "/track" + std::to_string(file) + ".mp3";
    change.identity = {2049, static_cast<std::uint64_t>(file)};
    change.before.version2 = tag(3, 0,
                                 join({frame("TIT2", text("Track " + std::to_string(file))), common,
                                       zeros(static_cast<std::size_t>(512 + file % 7 * 300))}));
    change.after.version2 = tag(3, 0,
                                join({frame("TIT2", text("Same title")), common,
                                      zeros(static_cast<std::size_t>(512 + file % 7 * 300))}));
    change.before.version1 = version1("Track");
    change.after.version1 = version1("Same title");
    changes.push_back(std::move(change));
  }
  std::uintmax_t emptySize = 0;
  {
    std::unique_ptr<History> history = openOrFail(location);
    ASSERT_TRUE(history);
  }
  emptySize = std::filesystem::file_size(location);
  {
    std::unique_ptr<History> history = openOrFail(location);
    ASSERT_TRUE(history);
    auto id = history->beginBatch("Save", changes, {});
    ASSERT_TRUE(id.ok());
    ASSERT_TRUE(history->closeBatch(id.value(), BatchState::Done).ok());
  }
  // Closing the last connection folds the log into the file.
  const std::uintmax_t added = std::filesystem::file_size(location) - emptySize;
  EXPECT_LT(added, 5u * 1024 * 1024);
  // The covers alone are 2 MB: they are in once each.
  EXPECT_GT(added, 2u * 1024 * 1024);
}

// Batches of about 40 KB each (different frames every time) against a
// limit of 200 KB: the oldest closed ones go first, open ones stay.
TEST(HistoryStore, PruningRemovesOldestClosedBatchesFirst) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  constexpr std::uint64_t kLimit = 200 * 1024;
  std::unique_ptr<History> history = openOrFail(location, kLimit);
  ASSERT_TRUE(history);
  auto batchOf = [](int number) {
    ByteVector picture;
    for (int index = 0; index < 40 * 1024; ++index) {
      picture.push_back(static_cast<std::uint8_t>((index * 13 + number * 101) ^ (index >> 7)));
    }
    TagChange change;
    change.path = "/file" + std::to_string(number);
    change.after.version2 = tag(3, 0, frame("APIC", picture));
    return std::vector<TagChange>{change};
  };
  std::vector<BatchId> ids;
  for (int number = 0; number < 20; ++number) {
    auto id = history->beginBatch("Save " + std::to_string(number), batchOf(number), {});
    ASSERT_TRUE(id.ok());
    ids.push_back(id.value());
    // The second batch stays open, like one a crash stopped.
    if (number != 1) {
      ASSERT_TRUE(history->closeBatch(id.value(), BatchState::Done).ok());
    }
  }
  auto batches = history->batches();
  ASSERT_TRUE(batches.ok());
  std::vector<BatchId> kept;
  for (const BatchSummary& batch : batches.value()) kept.push_back(batch.id);
  ASSERT_GE(kept.size(), 3u);
  ASSERT_LT(kept.size(), 10u);
  // Newest first: the latest batches in a row, and the open one.
  for (std::size_t index = 0; index + 1 < kept.size(); ++index) {
    EXPECT_EQ(kept[index], ids[ids.size() - 1 - index]);
  }
  EXPECT_EQ(kept.back(), ids[1]);
  auto open = history->tagChanges(ids[1]);
  ASSERT_TRUE(open.ok());
  ASSERT_EQ(open.value().size(), 1u);
  EXPECT_EQ(open.value()[0].after.version2, batchOf(1)[0].after.version2);
  history.reset();
  // The removed contents gave their room back.
  EXPECT_LT(std::filesystem::file_size(location), 2 * kLimit);
}

TEST(HistoryLocation, FollowsTheEnvironment) {
  using Variables = std::map<std::string, std::string>;
  struct Case {
    Variables variables;
    std::optional<std::string> location;
    std::uint64_t limit;
  };
  const Case cases[] = {
      {{{"HOME", "/home/ann"}}, "/home/ann/.local/state/brindle/history.sqlite", kDefaultSizeLimit},
      {{{"HOME", "/home/ann"}, {"XDG_STATE_HOME", "/state"}},
       "/state/brindle/history.sqlite",
       kDefaultSizeLimit},
      {{{"HOME", "/home/ann"}, {"XDG_STATE_HOME", "relative"}},
       "/home/ann/.local/state/brindle/history.sqlite",
       kDefaultSizeLimit},
      {{{"HOME", "/home/ann"}, {"BRINDLE_HISTORY", "/tmp/h.sqlite"}},
       "/tmp/h.sqlite",
       kDefaultSizeLimit},
      {{{"HOME", "/home/ann"}, {"BRINDLE_HISTORY", "off"}}, std::nullopt, kDefaultSizeLimit},
      {{{"HOME", "/home/ann"}, {"BRINDLE_HISTORY", ""}, {"BRINDLE_HISTORY_LIMIT", "1048576"}},
       "/home/ann/.local/state/brindle/history.sqlite",
       1048576},
      {{{"HOME", "/home/ann"}, {"BRINDLE_HISTORY_LIMIT", "12 MB"}},
       "/home/ann/.local/state/brindle/history.sqlite",
       kDefaultSizeLimit},
      {{}, std::nullopt, kDefaultSizeLimit},
  };
  for (const Case& test : cases) {
    Environment environment = [&](const std::string& name) -> std::optional<std::string> {
      auto found = test.variables.find(name);
      if (found == test.variables.end()) return std::nullopt;
      return found->second;
    };
    EXPECT_EQ(historyLocation(environment), test.location);
    EXPECT_EQ(historySizeLimit(environment), test.limit);
  }
}

TEST(HistoryLocation, OpeningCreatesTheFolder) {
  TempDir folder;
  Environment environment = [&](const std::string& name) -> std::optional<std::string> {
    if (name == "XDG_STATE_HOME") return folder / "state";
    return std::nullopt;
  };
  auto history = openConfiguredHistory(environment);
  ASSERT_TRUE(history.ok());
  ASSERT_TRUE(history.value());
  EXPECT_TRUE(std::filesystem::exists(folder / "state/brindle/history.sqlite"));

  Environment off = [](const std::string& name) -> std::optional<std::string> {
    if (name == "BRINDLE_HISTORY") return "off";
    return std::nullopt;
  };
  auto none = openConfiguredHistory(off);
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none.value());
}

}  // namespace
}  // namespace brindle::history
