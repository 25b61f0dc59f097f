// The history store, tag regions rewritten in place or anew, tag batches, recovery and undo.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <tuple>

#include "history/History.h"
#include "history/Location.h"
#include "history/Recovery.h"
#include "history/RegionPieces.h"
#include "history/Sqlite.h"
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

/// The history at `location`; a failure to open it fails the test with its reason.
std::unique_ptr<History> opened(const std::string& location,
                                std::uint64_t limit = kDefaultSizeLimit) {
  auto history = openHistory(location, limit);
  EXPECT_TRUE(history.ok()) << (history.ok() ? "" : history.error().message);
  return history.ok() ? std::move(history.value()) : nullptr;
}
// Changes of odd shapes and names come back byte for byte; pieces cover a region, padding is zeros.
TEST(HistoryStore, ChangesAndBatchesComeBackByteForByte) {
  const ByteVector title = frame("TIT2", text("Title"));
  const ByteVector artist = frame("TPE1", text("Artist"));
  ByteVector garbage, dirtyPadding = zeros(64), whole = tag(3, 0, join({title, zeros(10)}));
  for (int index = 0; index < 300; ++index) garbage.push_back(static_cast<std::uint8_t>(index * 7));
  dirtyPadding[40] = 0x55;  // padding with a stray byte
  dirtyPadding = tag(3, 0, join({title, dirtyPadding}));
  // A size past the region: the last 5 bytes cut off.
  const ByteVector cut(whole.begin(), whole.end() - 5);
  const std::vector<ByteVector> regions = {
      // clang-format off
      {}, tag(3, 0, {}), tag(3, 0, join({title, artist, zeros(1000)})), tag(3, 0, join({title, artist})),
      tag(3, 0, zeros(500)), garbage, bytesOf("ID3"),
      tag(2, 0, join({frame("TT2", text("Old"), 2), zeros(20)})),
      tag(4, 0x10, frame("TIT2", text("Four"), 4)),
      tag(4, 0, join({frame("TIT2", text("Four"), 4), zeros(33)})), tag(5, 0, join({title, zeros(10)})),
      tag(3, 0x80, join({title, zeros(10)})), cut, dirtyPadding, tag(3, 0x40, join({zeros(10), title})),
      join({tag(3, 0, title), frame("TALB", text("Album"))}),
      tag(3, 0, join({title, bytesOf("tit2 lowercase"), zeros(4)})),
      tag(3, 0, join({frame("TIT2", {}), title})),
      // clang-format on
  };
  std::vector<TagChange> changes;
  for (std::size_t index = 0; index < regions.size(); ++index) {
    changes.push_back(
        {"/music/" + std::to_string(index) + "\xff.mp3",
         {0xFFFFFFFFFFFFFFF0ULL + index, 1000 + index},
         {regions[index], index % 2 ? ByteVector{} : version1("old")},
         {regions[(index + 1) % regions.size()], index % 3 ? ByteVector{} : version1("new")}});
  }
  const std::vector<RenameChange> renames = {{"/music", "a.mp3", "", "b.mp3"},
                                             {"/music", "C.mp3", ".brindle-0a1b2c3d", "c.mp3"},
                                             {"/mus\xfe", "x\xff", "", "y"}};
  std::unique_ptr<History> history = opened(":memory:");
  const BatchId first = history->beginBatch("Convert", changes, renames).value();
  const BatchId second = history->beginBatch("Undo", {}, {}, first).value();
  ASSERT_TRUE(history->closeBatch(first, BatchState::Undone).ok());
  const std::vector<BatchSummary> batches = history->batches().value();
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(std::tie(batches[0].id, batches[0].state, batches[0].undoes),
            std::make_tuple(second, BatchState::Open, std::optional<BatchId>(first)));
  EXPECT_EQ(std::tie(batches[1].command, batches[1].fileCount, batches[1].state, batches[1].undoes),
            std::make_tuple(std::string("Convert"), int(changes.size() + renames.size()),
                            BatchState::Undone, std::optional<BatchId>()));
  EXPECT_GT(batches[1].startedAt, 1700000000);
  auto renameFields = [](const RenameChange& r) {
    return std::tie(r.directory, r.oldName, r.temporaryName, r.newName);
  };
  const std::vector<RenameChange> back = history->renameChanges(first).value();
  ASSERT_EQ(back.size(), renames.size());
  for (std::size_t i = 0; i < renames.size(); ++i)
    EXPECT_EQ(renameFields(back[i]), renameFields(renames[i]));
  const std::vector<TagChange> stored = history->tagChanges(first).value();
  ASSERT_EQ(stored.size(), changes.size());
  auto fields = [](const TagChange& c) { return std::tie(c.path, c.identity, c.before, c.after); };
  for (std::size_t index = 0; index < changes.size(); ++index) {
    SCOPED_TRACE(index);
    EXPECT_TRUE(fields(stored[index]) == fields(changes[index]));
    std::size_t next = 0;
    for (const RegionPiece& piece : splitRegion(regions[index])) {
      EXPECT_EQ(piece.offset, next);
      EXPECT_GT(piece.length, 0u);
      const auto from = regions[index].begin() + static_cast<std::ptrdiff_t>(piece.offset);
      EXPECT_TRUE(!piece.padding ||
                  std::all_of(from, from + static_cast<std::ptrdiff_t>(piece.length),
                              [](auto b) { return b == 0; }));
      next = piece.offset + piece.length;
    }
    EXPECT_EQ(next, regions[index].size());
  }
}

// 300 files of 3 albums with a 64 KB cover each get a title: each cover is stored once, not 200 tim
TEST(HistoryStore, FramesSharedByManyChangesAreStoredOnce) {
  TempDir folder;
  std::vector<TagChange> changes;
  for (int file = 0; file < 300; ++file) {
    const ByteVector cover =
        frame("APIC", bytesOf(std::string("\0image/png\0\3\0", 13) + noise(64 * 1024, file % 3)));
    changes.push_back(
        {"/music/" + std::to_string(file) + ".mp3",
         {},
         {tag(3, 0, join({frame("TIT2", text("Track " + std::to_string(file))), cover})), {}},
         {tag(3, 0, join({frame("TIT2", text("Same title")), cover})), {}}});
  }
  const std::string location = folder / "history.sqlite";
  {
    std::unique_ptr<History> history = opened(location);
    ASSERT_TRUE(history && history->beginBatch("Save", changes, {}).ok());
  }
  // What the history takes on the disk: the database and the log not yet
  // copied into it.
  std::uintmax_t stored = std::filesystem::file_size(location);
  if (std::filesystem::exists(location + "-wal"))
    stored += std::filesystem::file_size(location + "-wal");
  EXPECT_LT(stored, 1024u * 1024);
  EXPECT_GT(stored, 3u * 64 * 1024);
}

// A batch open in a running program is left alone by another program's recovery until it is gone.
TEST(HistoryStore, ABatchOfARunningProgramIsNotRecovered) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  folder.write("Song.mp3", "song");
  std::unique_ptr<History> running = opened(location), starting = opened(location);
  ASSERT_TRUE(running && starting);
  auto id = running->beginBatch("Rename", {}, {{folder.path(), "Song.mp3", "", "song.mp3"}});
  ASSERT_TRUE(id.ok());
  EXPECT_TRUE(running->isRunning(id.value()) && starting->isRunning(id.value()));
  platform::posix::PosixFileSystem fileSystem;
  EXPECT_TRUE(recoverOpenBatches(*starting, fileSystem).value().empty());
  running.reset();
  EXPECT_FALSE(starting->isRunning(id.value()));
  auto recovered = recoverOpenBatches(*starting, fileSystem);
  ASSERT_EQ(recovered.value().size(), 1u);
  EXPECT_EQ(recovered.value()[0].toOld, std::vector<std::string>{folder / "Song.mp3"});
  for (const std::string& name : folder.names()) EXPECT_EQ(name.find("-owner-"), std::string::npos);
}

// 40 KB batches, limit 200 KB: the oldest closed go first, an open one stays, room comes back.
TEST(HistoryStore, PruningRemovesOldestClosedBatchesFirst) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  constexpr std::uint64_t kLimit = 200 * 1024;
  std::unique_ptr<History> history = opened(location, kLimit);
  auto batchOf = [](int number) {
    return std::vector<TagChange>{
        {"/file" + std::to_string(number),
         {},
         {},
         {tag(3, 0, frame("APIC", bytesOf(noise(40 * 1024, number)))), {}}}};
  };
  std::vector<BatchId> ids;
  for (int number = 0; number < 20; ++number) {
    ids.push_back(
        history->beginBatch("Save " + std::to_string(number), batchOf(number), {}).value());
    ASSERT_TRUE(number == 1 || history->closeBatch(ids.back(), BatchState::Done).ok());
  }
  std::vector<BatchId> kept, expected;  // newest first: the latest in a row, then the open one
  const std::vector<BatchSummary> batches = history->batches().value();
  for (const BatchSummary& batch : batches) kept.push_back(batch.id);
  ASSERT_GE(kept.size(), 3u);
  ASSERT_LT(kept.size(), 10u);
  expected.assign(ids.rbegin(), ids.rbegin() + static_cast<std::ptrdiff_t>(kept.size() - 1));
  expected.push_back(ids[1]);
  EXPECT_EQ(kept, expected);
  EXPECT_EQ(history->tagChanges(ids[1]).value().at(0).after.version2, batchOf(1)[0].after.version2);
  history.reset();
  EXPECT_LT(std::filesystem::file_size(location), 2 * kLimit);
}

// A history whose pieces have a row each (as older versions wrote it) is moved to lists on opening.
TEST(HistoryStore, PiecesKeptARowEachAreMovedIntoListsOnOpening) {
  TempDir folder;
  const std::string location = folder / "history.sqlite";
  const ByteVector header = tag(3, 0, {}), title = frame("TIT2", text("Old"));
  {
    auto old = sqlite::Database::open(location);
    ASSERT_TRUE(old.ok());
    ASSERT_TRUE(old.value()
                    .execute(R"(
      CREATE TABLE batches(id INTEGER PRIMARY KEY, started_at INTEGER NOT NULL, command TEXT NOT NULL,
        file_count INTEGER NOT NULL, state INTEGER NOT NULL, undoes INTEGER, owner TEXT);
      CREATE TABLE contents(id INTEGER PRIMARY KEY, hash INTEGER NOT NULL, length INTEGER NOT NULL,
        bytes BLOB NOT NULL);
      CREATE TABLE tag_changes(id INTEGER PRIMARY KEY, batch INTEGER NOT NULL, position INTEGER NOT NULL,
        path BLOB NOT NULL, device INTEGER NOT NULL, inode INTEGER NOT NULL);
      CREATE TABLE region_pieces(change INTEGER NOT NULL, region INTEGER NOT NULL,
        position INTEGER NOT NULL, content INTEGER, padding INTEGER NOT NULL DEFAULT 0,
        PRIMARY KEY(change, region, position)) WITHOUT ROWID;
      INSERT INTO batches VALUES(7, 1700000000, 'Save', 1, 1, NULL, NULL);
      INSERT INTO tag_changes VALUES(3, 7, 0, '/music/a.mp3', 1, 2);
      INSERT INTO region_pieces VALUES(3, 0, 0, 1, 0), (3, 0, 1, 2, 0), (3, 0, 2, NULL, 6),
                                      (3, 2, 0, 1, 0), (3, 2, 1, 2, 0), (3, 3, 0, 2, 0);)")
                    .ok());
    auto add = old.value().prepare("INSERT INTO contents VALUES(?, 0, 0, ?)");
    ASSERT_TRUE(add.value().bind(1, 1).bind(2, header).run().ok());
    add.value().reset();
    ASSERT_TRUE(add.value().bind(1, 2).bind(2, title).run().ok());
  }
  std::unique_ptr<History> history = opened(location);
  ASSERT_TRUE(history);
  auto read = history->tagChanges(7);
  ASSERT_TRUE(read.ok()) << read.error().message;
  const std::vector<TagChange> changes = read.value();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].path, "/music/a.mp3");
  EXPECT_EQ(changes[0].before.version2, join({header, title, zeros(6)}));
  EXPECT_EQ(changes[0].after.version2, join({header, title}));
  EXPECT_TRUE(changes[0].before.version1.empty());
  EXPECT_EQ(changes[0].after.version1, title);
  EXPECT_TRUE(history->beginBatch("Save", changes, {}).ok());
  history.reset();
  auto upgraded = sqlite::Database::open(location);
  auto tables =
      upgraded.value().prepare("SELECT count(*) FROM sqlite_master WHERE name = 'region_pieces'");
  ASSERT_TRUE(tables.value().step().value());
  EXPECT_EQ(tables.value().integer(0), 0);
}

// Piece lists come back as they went; bytes that are no list are refused, not guessed at.
TEST(HistoryStore, PieceListsComeBackAndDamagedOnesAreRefused) {
  const StoredRegions regions = {{{{1, 0}, {0, 300}, {1LL << 40, 0}}, {}, {{0, 0}}, {{5, 0}}}};
  const ByteVector encoded = encodeStoredRegions(regions);
  const auto same = [](const StoredRegions& a, const StoredRegions& b) {
    for (std::size_t r = 0; r < a.size(); ++r) {
      if (a[r].size() != b[r].size()) return false;
      for (std::size_t i = 0; i < a[r].size(); ++i)
        if (a[r][i].content != b[r][i].content || a[r][i].padding != b[r][i].padding) return false;
    }
    return true;
  };
  ASSERT_TRUE(decodeStoredRegions(encoded));
  EXPECT_TRUE(same(*decodeStoredRegions(encoded), regions));
  ByteVector extra = encoded;
  extra.push_back(0);
  const ByteVector zeroId = {1, 0, 0, 0, 0};
  const ByteVector unended = {1, 0x80};
  const ByteVector tooMany = {9, 2, 0, 0, 0};
  for (const ByteVector& damaged :
       {extra, zeroId, unended, tooMany, ByteVector(encoded.begin(), encoded.end() - 1)})
    EXPECT_FALSE(decodeStoredRegions(damaged)) << damaged.size();
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

TEST(HistoryLocation, FollowsTheEnvironmentAndOpeningCreatesTheFolder) {
  const std::string home = "/home/ann/.local/state/brindle/history.sqlite";
  const auto kDefault = kDefaultSizeLimit;
  const struct {
    const char* variables;
    std::optional<std::string> location;
    std::uint64_t limit;
  } cases[] = {
      // clang-format off
      {"HOME=/home/ann", home, kDefault},
      {"HOME=/home/ann;XDG_STATE_HOME=/state", "/state/brindle/history.sqlite", kDefault},
      {"HOME=/home/ann;XDG_STATE_HOME=relative", home, kDefault},
      {"HOME=/home/ann;BRINDLE_HISTORY=/tmp/h.sqlite", "/tmp/h.sqlite", kDefault},
      {"HOME=/home/ann;BRINDLE_HISTORY=off", std::nullopt, kDefault},
      {"HOME=/home/ann;BRINDLE_HISTORY=;BRINDLE_HISTORY_LIMIT=1048576", home, 1048576},
      {"HOME=/home/ann;BRINDLE_HISTORY_LIMIT=12 MB", home, kDefault},
      {"", std::nullopt, kDefault},
      // clang-format on
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.variables);
    EXPECT_EQ(historyLocation(environmentOf(row.variables)), row.location);
    EXPECT_EQ(historySizeLimit(environmentOf(row.variables)), row.limit);
  }
  TempDir folder;
  auto history = openConfiguredHistory(environmentOf("XDG_STATE_HOME=" + (folder / "state")));
  ASSERT_TRUE(history.ok() && history.value());
  EXPECT_TRUE(std::filesystem::exists(folder / "state/brindle/history.sqlite"));
  auto none = openConfiguredHistory(environmentOf("BRINDLE_HISTORY=off"));
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none.value());
}

class TagRegionsTest : public ::testing::Test {
 protected:
  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
};

// Tags within and past the first read of 4096 bytes, "tag" in lower case, a tag past the file end.
TEST_F(TagRegionsTest, ReadsBothRegionsByteExact) {
  const struct {
    TagRegions regions;
    std::size_t audio;
  } rows[] = {
      // clang-format off
      {{}, 500}, {{version2Tag("Title", 1024), {}}, 500}, {{{}, version1("Old")}, 500},
      {{version2Tag("Title", 300), version1("Old")}, 5000}, {{version2Tag("Big", 4096), version1("Old")}, 0},
      {{version2Tag("Big", 20000), version1("Old")}, 100}, {{version2Tag("T", 64), {}}, 0},
      {{{}, bytesOf("tag" + textOf(version1("x")).substr(3))}, 300},
      // clang-format on
  };
  for (const auto& row : rows) {
    const std::string path = folder.write("song.mp3", fileWith(row.regions, noise(row.audio)));
    EXPECT_EQ(id3v2::readTagRegions(fileSystem, path).value(), row.regions) << &row - rows;
  }
  const std::string bytes = textOf(version2Tag("T", 2000)).substr(0, 900);
  auto read = id3v2::readTagRegions(fileSystem, folder.write("song.mp3", bytes));
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().message, "the tag claims 2000 bytes but the file has 900");
}

// A tag that fits is rewritten in place, read and written only at 0 or the version 1 offset
// (flushed: the undo record, then the file); one that grows goes through a new file.
TEST_F(TagRegionsTest, InPlaceWhenTheTagFitsThroughANewFileWhenItGrows) {
  const TagRegions old{version2Tag("Old", 1024), version1("Old")}, oldOnly{old.version2, {}};
  const TagRegions fresh{version2Tag("New title", 1024), version1("New")};
  const TagRegions small{version2Tag("Old", 256), version1("Old")};
  const TagRegions grown{version2Tag("A much longer title", 2048), version1("New")};
  const struct {
    Durability durability;
    TagRegions before, after;
    const char* calls;
  } rows[] = {
      // clang-format off
      {kDeferred, old, fresh, "replace 0, create 0, sync 0"},
      {kDeferred, oldOnly, fresh, "replace 0, create 0, sync 0"},
      {kDeferred, old, {fresh.version2, {}}, "replace 0, create 0, sync 0"},
      {kFlushed, old, fresh, "replace 0, create 1, sync 2"},
      {kFlushed, oldOnly, fresh, "replace 0, create 1, sync 2"},
      {kDeferred, small, grown, "replace 1, create 1, sync 1"},
      {kFlushed, small, grown, "replace 1, create 1, sync 1"},
      // clang-format on
  };
  const std::string audio = noise(300000);
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    const std::string path = folder.write("song.mp3", fileWith(row.before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(
        id3v2::replaceTagRegions(fileSystem, path, row.before, row.after, row.durability).ok());
    EXPECT_EQ(TempDir::read(path), fileWith(row.after, audio));
    const std::uint64_t audioEnd = row.before.version2.size() + audio.size();
    const bool grows = row.after.version2.size() > row.before.version2.size();
    for (const auto& call : fileSystem.calls()) {
      if (call.path != path || grows) continue;
      const std::uint64_t offset = call.second.empty() ? 0 : std::stoull(call.second);
      const bool read = call.op == FsOp::ReadAt;
      const std::uint64_t end = read ? audioEnd + row.before.version1.size() - 128 : audioEnd;
      EXPECT_TRUE(!(read || call.op == FsOp::WriteAt) || offset == 0 || offset == end) << offset;
      EXPECT_NE(call.op, FsOp::CopyFrom);
    }
    auto count = [&](FsOp op) { return std::to_string(fileSystem.callsOf(op).size()); };
    EXPECT_EQ("replace " + count(FsOp::ReplaceFile) + ", create " + count(FsOp::CreateNewFile) +
                  ", sync " + count(FsOp::Sync),
              row.calls);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
  // A file with a second name is rewritten in place (keeping its inode); read-only stays so.
  ASSERT_EQ(::link(folder.file("song.mp3").c_str(), folder.file("other.mp3").c_str()), 0);
  const TagRegions longer{version2Tag("Longer", 4096), {}};
  ASSERT_TRUE(
      id3v2::replaceTagRegions(fileSystem, folder.file("song.mp3"), grown, longer, kDeferred).ok());
  EXPECT_EQ(TempDir::read(folder.file("other.mp3")), fileWith(longer, audio));
  if (::geteuid() == 0) return;  // root may write any file
  const std::string path = folder.write("locked.mp3", fileWith(small, audio));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const TagRegions same{version2Tag("New", 256), version1("New")};
  ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, small, same, kDeferred).ok());
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
      EXPECT_EQ(status.error().message, "the file changed since its tags were read");
      EXPECT_EQ(TempDir::read(path), changed);
    }
  }
}

/// One file of a batch: its name, regions before and after, and audio.
struct Planned {
  std::string name;
  TagRegions before, after;
  std::string audio;
};

/// A file of `audio` bytes whose version 2 tag of `before` bytes becomes `after` bytes.
Planned planned(const std::string& name, std::size_t before, std::size_t after, bool v1Before,
                bool v1After, std::size_t audio) {
  const std::string title = name.substr(0, name.size() - 4);
  return {name,
          {version2Tag("Old " + title, before), v1Before ? version1("Old " + title) : ByteVector{}},
          {version2Tag("New " + title, after), v1After ? version1("New " + title) : ByteVector{}},
          noise(audio, name[0])};
}

/// Tags that fit, version 1 added and dropped, a tag that grows, one that grows with a second name.
const std::vector<Planned> kFiles = {
    // clang-format off
    planned("fits.mp3", 1024, 1024, true, true, 7000), planned("adds-v1.mp3", 512, 512, false, true, 5000),
    planned("drops-v1.mp3", 512, 512, true, false, 4000), planned("grows.mp3", 128, 2048, true, true, 6000),
    planned("linked.mp3", 128, 1024, false, true, 3000)};
// clang-format on

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
  std::unique_ptr<History> store = std::move(openHistory(":memory:").value());
};

// Recorded: two file system flushes (grows.mp3's new file before it takes the old one's name, then
// all) and 2 file flushes (linked.mp3 and its undo record); grows.mp3 is told once in place.
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
    EXPECT_EQ(reported.back(), recorded ? changes[3].path : changes[4].path);
    EXPECT_EQ(states(), "nnnnn");
    EXPECT_EQ(fileSystem.callsOf(FsOp::SyncFileSystem).size(), recorded ? 2u : 0u);
    const std::size_t flushes = fileSystem.callsOf(FsOp::Sync).size();
    EXPECT_TRUE(recorded ? flushes == 2 : flushes >= changes.size()) << flushes;
  }
  ASSERT_EQ(history.recorded().size(), 1u);
  const auto& batch = history.recorded()[0];
  EXPECT_EQ(std::tie(batch.summary.command, batch.summary.state),
            std::make_tuple(std::string("brindle-cli write"), BatchState::Done));
  EXPECT_EQ(batch.tags.size(), kFiles.size());
}

// Grown files wait for one flush, as many at a time as the file system allows open files: then a
// flush for each full round, and one at the end.
TEST_F(TagBatchTest, FlushesOnceForEachRoundOfGrownFiles) {
  std::vector<Planned> files;
  for (const std::string name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"})
    files.push_back(planned(name, 128, 2048, true, true, 3000));
  for (const auto& [allowed, flushes] : {std::pair{256u, 2u}, {5u, 2u}, {2u, 4u}, {1u, 6u}}) {
    SCOPED_TRACE(allowed);
    std::vector<TagChange> changes;
    for (const Planned& file : files) {
      const std::string path = folder.write(file.name, fileWith(file.before, file.audio));
      changes.push_back({path, real.identity(path).value(), file.before, file.after});
    }
    fileSystem.allowOpenFiles(allowed);
    fileSystem.clearCalls();
    auto results = runTagBatch(&history, fileSystem, "brindle-cli write", changes);
    for (const FileResult& result : results.value()) EXPECT_TRUE(result.changed) << result.reason;
    EXPECT_EQ(fileSystem.callsOf(FsOp::SyncFileSystem).size(), flushes);
    for (const Planned& file : files)
      EXPECT_EQ(TempDir::read(folder.file(file.name)), fileWith(file.after, file.audio));
  }
}

// Unrecordable batches, failing files, Stop, torn files (old tags back), replaced ones (refused).
TEST_F(TagBatchTest, RefusedFailingAndStopped) {
  std::vector<TagChange> changes = writeFiles();
  history.refuseNext = true;
  fileSystem.clearCalls();
  EXPECT_EQ(runTagBatch(&history, fileSystem, "Auto Info", changes).error().message,
            "cannot record the batch in the history: no space left on the device (No space left on "
            "device)");
  EXPECT_TRUE(fileSystem.calls().empty());
  EXPECT_EQ(states(), "ooooo");
  fileSystem.fail(FsOp::OpenForUpdate, {EIO, "scripted"}, changes[0].path);
  auto results = runTagBatch(&history, fileSystem, "Auto Info", changes);
  EXPECT_FALSE(results.value()[0].changed);
  EXPECT_EQ(results.value()[0].reason, "cannot open the file: Input/output error");
  EXPECT_EQ(states(), "onnnn");
  EXPECT_EQ(history.recorded().back().summary.state, BatchState::Done);
  // A new file that cannot take the old one's name goes; the old file stays whole.
  changes = writeFiles();
  fileSystem.clearFaults();
  fileSystem.fail(FsOp::ReplaceFile, {EIO, "scripted"});
  results = runTagBatch(&history, fileSystem, "Auto Info", changes);
  EXPECT_EQ(results.value()[3].reason,
            "cannot put the new file in place of the old one: Input/output error");
  EXPECT_EQ(states(), "nnnon");
  EXPECT_EQ(folder.names().size(), kFiles.size() + 1);
  changes = writeFiles();
  fileSystem.clearFaults();
  std::atomic<bool> stop{false};
  results = runTagBatch(&history, fileSystem, "Number Tracks", changes, &stop,
                        [&](const FileResult&) { stop = true; });
  EXPECT_EQ(results.value().size(), 1u);
  EXPECT_EQ(states(), "noooo");
  EXPECT_EQ(history.recorded().back().summary.state, BatchState::Stopped);
  changes = writeFiles();
  fileSystem.failLater(FsOp::WriteAt, 0, {EIO, "scripted"}, 300);
  fileSystem.fail(FsOp::WriteAt, {EIO, "scripted"}, changes[0].path);
  EXPECT_FALSE(runTagBatch(&history, fileSystem, "Save", {changes[0]}).value()[0].changed);
  fileSystem.clearFaults();
  EXPECT_EQ(states()[0], '?');
  EXPECT_EQ(recoverTagChange(fileSystem, changes[0]).value(), RecoveredAs::Old);
  EXPECT_EQ(states(), "ooooo");
  changes[0].identity.inode += 1;
  EXPECT_EQ(recoverTagChange(fileSystem, changes[0]).error().message,
            "the file was replaced by another one since the batch began");
}

// Stopped after each file system call, each file recovers wholly old or new, nothing left beside.
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
    EXPECT_EQ(folder.names().size(), kFiles.size() + 1);
  }
}

// Undo writes the old tags back as its own batch, undoing it redoes; a file changed since stays.
TEST_F(TagBatchTest, UndoWritesTheOldTagsBackAndUndoingTheUndoRedoes) {
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
  EXPECT_EQ(std::tie(batches[0].undoes, batches[0].state, batches[1].state),
            std::make_tuple(std::optional<BatchId>(saved), BatchState::Done, BatchState::Undone));
  EXPECT_EQ(undone.value().undoBatch, batches[0].id);
  ASSERT_TRUE(undoBatch(*store, real, *undone.value().undoBatch).ok());
  EXPECT_EQ(states(), "nnnnn");
  // A file whose tags changed since is left alone.
  ASSERT_TRUE(runTagBatch(store.get(), real, "Save", writeFiles()).ok());
  const std::string other =
      fileWith({version2Tag("Edited later", 512), version1("Edited")}, kFiles[1].audio);
  folder.write(kFiles[1].name, other);
  undone = undoBatch(*store, real, lastUndoableBatch(*store).value()->id);
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone.value().leftAlone,
            std::vector<std::string>{folder / kFiles[1].name + ": its tags changed since"});
  EXPECT_EQ(undone.value().restored.size(), kFiles.size() - 1);
  EXPECT_EQ(states(), "o?ooo");
  EXPECT_EQ(TempDir::read(folder / kFiles[1].name), other);
}

// An open batch (killed after one file) cannot be undone until a recovery marks it.
TEST_F(TagBatchTest, AnOpenBatchIsRecoveredAndMarked) {
  const std::vector<TagChange> changes = writeFiles();
  const BatchId id = store->beginBatch("Save", changes, {}).value();
  const TagChange& first = changes[0];
  ASSERT_TRUE(
      id3v2::replaceTagRegions(real, first.path, first.before, first.after, kDeferred).ok());
  EXPECT_FALSE(undoBatch(*store, real, id).ok());
  auto recovered = recoverOpenBatches(*store, real);
  ASSERT_EQ(recovered.value().size(), 1u);
  EXPECT_EQ(std::tie(recovered.value()[0].command, recovered.value()[0].toNew),
            std::make_tuple(std::string("Save"), std::vector<std::string>{first.path}));
  EXPECT_EQ(recovered.value()[0].toOld.size(), kFiles.size() - 1);
  EXPECT_EQ(states(), "noooo");
  EXPECT_EQ(store->batches().value()[0].state, BatchState::Recovered);
  auto undone = undoBatch(*store, real, id);
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone.value().restored, std::vector<std::string>{first.path});
  EXPECT_EQ(states(), "ooooo");
}

}  // namespace
}  // namespace brindle::history::testing
