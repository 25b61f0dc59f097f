// The history in SQLite: batches, their tag and rename changes, and the
// pieces of the tag regions stored once per distinct content. Each tag
// change keeps the list of its regions' pieces in one value: a save of
// 2,000 files is 2,000 rows there, not one per frame.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "history/History.h"
#include "history/OwnerMark.h"
#include "history/RegionPieces.h"
#include "history/Sqlite.h"

namespace brindle::history {

namespace {

using id3v2::ByteVector;
using sqlite::Database;
using sqlite::Statement;

// auto_vacuum must come before the first table: it lets pruning give the
// freed pages back to the file system.
constexpr const char* kSchema = R"(
PRAGMA auto_vacuum = INCREMENTAL;
CREATE TABLE IF NOT EXISTS batches(
  id INTEGER PRIMARY KEY, started_at INTEGER NOT NULL, command TEXT NOT NULL,
  file_count INTEGER NOT NULL, state INTEGER NOT NULL, undoes INTEGER, owner TEXT);
CREATE TABLE IF NOT EXISTS contents(
  id INTEGER PRIMARY KEY, hash INTEGER NOT NULL, length INTEGER NOT NULL, bytes BLOB NOT NULL);
CREATE INDEX IF NOT EXISTS contents_by_hash ON contents(hash, length);
CREATE TABLE IF NOT EXISTS tag_changes(
  id INTEGER PRIMARY KEY,
  batch INTEGER NOT NULL REFERENCES batches(id) ON DELETE CASCADE,
  position INTEGER NOT NULL, path BLOB NOT NULL, device INTEGER NOT NULL, inode INTEGER NOT NULL,
  pieces BLOB NOT NULL DEFAULT x'');
CREATE INDEX IF NOT EXISTS tag_changes_by_batch ON tag_changes(batch, position);
CREATE TABLE IF NOT EXISTS rename_changes(
  batch INTEGER NOT NULL REFERENCES batches(id) ON DELETE CASCADE,
  position INTEGER NOT NULL, directory BLOB NOT NULL, old_name BLOB NOT NULL,
  temporary_name BLOB NOT NULL, new_name BLOB NOT NULL,
  PRIMARY KEY(batch, position)) WITHOUT ROWID;
)";

/// Which region of a tag change a piece belongs to.
enum Region { BeforeVersion2 = 0, BeforeVersion1 = 1, AfterVersion2 = 2, AfterVersion1 = 3 };

std::int64_t toStored(std::uint64_t value) {
  return static_cast<std::int64_t>(value);
}

bool isClosed(BatchState state) {
  return state != BatchState::Open;
}

/// Undoes an open transaction unless it was committed.
class Transaction {
 public:
  explicit Transaction(Database& database) : m_database(database) {}
  ~Transaction() {
    if (m_begun && !m_done) (void)m_database.execute("ROLLBACK");
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  platform::Status begin() {
    platform::Status status = m_database.execute("BEGIN IMMEDIATE");
    m_begun = status.ok();
    return status;
  }
  platform::Status commit() {
    platform::Status status = m_database.execute("COMMIT");
    m_done = status.ok();
    return status;
  }

 private:
  Database& m_database;
  bool m_begun = false;
  bool m_done = false;
};

#define BRINDLE_TRY(expression)              \
  do {                                       \
    platform::Status status_ = (expression); \
    if (!status_) return status_.error();    \
  } while (false)

class SqliteHistory final : public History {
 public:
  SqliteHistory(Database database, std::uint64_t sizeLimit, std::string file)
      : m_database(std::move(database)), m_sizeLimit(sizeLimit), m_owner(std::move(file)) {}

  platform::Status prepare() {
    BRINDLE_TRY(m_database.execute(kSchema));
    // WAL: a commit is one append and flush of the log; FULL: that flush
    // is a real one, so a recorded batch survives a crash.
    BRINDLE_TRY(m_database.execute(
        "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON;"
        // The log is left for the next checkpoint when a program closes the
        // history; after a checkpoint it is cut back to this size.
        "PRAGMA journal_size_limit = 8388608;"));
    BRINDLE_TRY(upgradeRegionPieces());
    return prune();
  }

  platform::Result<BatchId> beginBatch(const std::string& command,
                                       const std::vector<TagChange>& tags,
                                       const std::vector<RenameChange>& renames,
                                       std::optional<BatchId> undoes) override {
    Transaction transaction(m_database);
    BRINDLE_TRY(transaction.begin());
    // Taken before the batch is visible to other processes.
    const std::string& owner = m_owner.token();
    platform::Result<Statement> insert = m_database.prepare(
        "INSERT INTO batches(started_at, command, file_count, state, undoes, owner) "
        "VALUES(?, ?, ?, ?, ?, ?)");
    if (!insert) return insert.error();
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    insert.value()
        .bind(1, static_cast<std::int64_t>(now))
        .bind(2, command)
        .bind(3, static_cast<std::int64_t>(tags.size() + renames.size()))
        .bind(4, static_cast<std::int64_t>(BatchState::Open));
    if (undoes) insert.value().bind(5, *undoes);
    if (!owner.empty()) insert.value().bind(6, owner);
    BRINDLE_TRY(insert.value().run());
    const BatchId id = m_database.lastInsertId();
    BRINDLE_TRY(insertTagChanges(id, tags));
    BRINDLE_TRY(insertRenameChanges(id, renames));
    BRINDLE_TRY(transaction.commit());
    return id;
  }

  platform::Status closeBatch(BatchId id, BatchState state) override {
    platform::Result<Statement> update =
        m_database.prepare("UPDATE batches SET state = ? WHERE id = ?");
    if (!update) return update.error();
    BRINDLE_TRY(update.value().bind(1, static_cast<std::int64_t>(state)).bind(2, id).run());
    if (!isClosed(state)) return {};
    return prune();
  }

  platform::Result<std::vector<BatchSummary>> batches() override {
    platform::Result<Statement> select = m_database.prepare(
        "SELECT id, started_at, command, file_count, state, undoes FROM batches "
        "ORDER BY id DESC");
    if (!select) return select.error();
    std::vector<BatchSummary> result;
    for (;;) {
      platform::Result<bool> row = select.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      const Statement& columns = select.value();
      BatchSummary summary;
      summary.id = columns.integer(0);
      summary.startedAt = columns.integer(1);
      summary.command = columns.text(2);
      summary.fileCount = static_cast<int>(columns.integer(3));
      summary.state = static_cast<BatchState>(columns.integer(4));
      if (!columns.isNull(5)) summary.undoes = columns.integer(5);
      result.push_back(std::move(summary));
    }
    return result;
  }

  bool isRunning(BatchId id) override {
    platform::Result<Statement> select =
        m_database.prepare("SELECT owner FROM batches WHERE id = ? AND state = ?");
    if (!select) return false;
    select.value().bind(1, id).bind(2, static_cast<std::int64_t>(BatchState::Open));
    platform::Result<bool> row = select.value().step();
    if (!row || !row.value() || select.value().isNull(0)) return false;
    return m_owner.isHeld(select.value().text(0));
  }

  platform::Result<std::vector<TagChange>> tagChanges(BatchId id) override {
    platform::Result<Statement> changes = m_database.prepare(
        "SELECT path, device, inode, pieces FROM tag_changes WHERE batch = ? ORDER BY position");
    platform::Result<Statement> content =
        m_database.prepare("SELECT bytes FROM contents WHERE id = ?");
    if (!changes) return changes.error();
    if (!content) return content.error();
    changes.value().bind(1, id);
    std::vector<TagChange> result;
    for (;;) {
      platform::Result<bool> row = changes.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      TagChange change;
      change.path = changes.value().text(0);
      change.identity.device = static_cast<std::uint64_t>(changes.value().integer(1));
      change.identity.inode = static_cast<std::uint64_t>(changes.value().integer(2));
      const std::optional<StoredRegions> stored = decodeStoredRegions(changes.value().bytes(3));
      if (!stored) return damaged(change.path);
      for (std::size_t region = 0; region < stored->size(); ++region) {
        ByteVector& bytes = regionOf(change, static_cast<int>(region));
        for (const StoredPiece& piece : (*stored)[region]) {
          if (piece.content == 0) {
            bytes.insert(bytes.end(), static_cast<std::size_t>(piece.padding), std::uint8_t{0});
            continue;
          }
          content.value().reset();
          content.value().bind(1, piece.content);
          platform::Result<bool> found = content.value().step();
          if (!found) return found.error();
          if (!found.value()) return damaged(change.path);
          std::span<const std::uint8_t> stored = content.value().bytes(0);
          bytes.insert(bytes.end(), stored.begin(), stored.end());
        }
      }
      result.push_back(std::move(change));
    }
    return result;
  }

  platform::Result<std::vector<RenameChange>> renameChanges(BatchId id) override {
    platform::Result<Statement> select = m_database.prepare(
        "SELECT directory, old_name, temporary_name, new_name FROM rename_changes "
        "WHERE batch = ? ORDER BY position");
    if (!select) return select.error();
    select.value().bind(1, id);
    std::vector<RenameChange> result;
    for (;;) {
      platform::Result<bool> row = select.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      const Statement& columns = select.value();
      result.push_back({columns.text(0), columns.text(1), columns.text(2), columns.text(3)});
    }
    return result;
  }

 private:
  static platform::Error damaged(const std::string& path) {
    return {EIO, "the history's record of " + path + " is damaged"};
  }

  static ByteVector& regionOf(TagChange& change, int region) {
    switch (region) {
      case BeforeVersion2:
        return change.before.version2;
      case BeforeVersion1:
        return change.before.version1;
      case AfterVersion2:
        return change.after.version2;
      default:
        return change.after.version1;
    }
  }

  platform::Status insertTagChanges(BatchId id, const std::vector<TagChange>& tags) {
    if (tags.empty()) return {};
    platform::Result<Statement> insert = m_database.prepare(
        "INSERT INTO tag_changes(batch, position, path, device, inode, pieces) "
        "VALUES(?, ?, ?, ?, ?, ?)");
    platform::Result<Statement> find =
        m_database.prepare("SELECT id, bytes FROM contents WHERE hash = ? AND length = ?");
    platform::Result<Statement> add =
        m_database.prepare("INSERT INTO contents(hash, length, bytes) VALUES(?, ?, ?)");
    for (auto* statement : {&insert, &find, &add}) {
      if (!*statement) return statement->error();
    }
    Pieces pieces{find.value(), add.value(), {}};
    std::int64_t position = 0;
    for (const TagChange& change : tags) {
      StoredRegions stored;
      BRINDLE_TRY(storeVersion2(pieces, change.before.version2, stored[BeforeVersion2]));
      BRINDLE_TRY(storeWhole(pieces, change.before.version1, stored[BeforeVersion1]));
      BRINDLE_TRY(storeVersion2(pieces, change.after.version2, stored[AfterVersion2]));
      BRINDLE_TRY(storeWhole(pieces, change.after.version1, stored[AfterVersion1]));
      BRINDLE_TRY(insert.value()
                      .bind(1, id)
                      .bind(2, position++)
                      .bind(3, change.path)
                      .bind(4, toStored(change.identity.device))
                      .bind(5, toStored(change.identity.inode))
                      .bind(6, encodeStoredRegions(stored))
                      .run());
    }
    return {};
  }

  struct Pieces {
    Statement& find;
    Statement& add;
    /// The contents stored or found during this batch, by hash: the same
    /// cover on every file of an album is then compared in memory.
    std::unordered_map<std::int64_t, std::vector<std::pair<std::int64_t, id3v2::ByteView>>> seen;
  };

  platform::Status storeVersion2(Pieces& statements, const ByteVector& bytes,
                                 std::vector<StoredPiece>& stored) {
    for (const RegionPiece& piece : splitRegion(bytes)) {
      if (piece.padding) {
        stored.push_back({0, piece.length});
        continue;
      }
      platform::Result<std::int64_t> content =
          storeContent(statements, id3v2::ByteView(bytes).subspan(piece.offset, piece.length));
      if (!content) return content.error();
      stored.push_back({content.value(), 0});
    }
    return {};
  }

  platform::Status storeWhole(Pieces& statements, const ByteVector& bytes,
                              std::vector<StoredPiece>& stored) {
    if (bytes.empty()) return {};
    platform::Result<std::int64_t> content = storeContent(statements, bytes);
    if (!content) return content.error();
    stored.push_back({content.value(), 0});
    return {};
  }

  /// The id of the stored content equal to `bytes`, stored now when there is
  /// none: equal hash and length, then the bytes compared.
  platform::Result<std::int64_t> storeContent(Pieces& statements, id3v2::ByteView bytes) {
    const std::int64_t hash = toStored(contentHash(bytes));
    const auto length = static_cast<std::int64_t>(bytes.size());
    auto& seen = statements.seen[hash];
    for (const auto& [id, known] : seen) {
      if (std::equal(known.begin(), known.end(), bytes.begin(), bytes.end())) return id;
    }
    platform::Result<std::int64_t> id = findOrAddContent(statements, bytes, hash, length);
    if (id) seen.emplace_back(id.value(), bytes);
    return id;
  }

  platform::Result<std::int64_t> findOrAddContent(Pieces& statements, id3v2::ByteView bytes,
                                                  std::int64_t hash, std::int64_t length) {
    statements.find.bind(1, hash).bind(2, length);
    for (;;) {
      platform::Result<bool> row = statements.find.step();
      if (!row) {
        statements.find.reset();
        return row.error();
      }
      if (!row.value()) break;
      std::span<const std::uint8_t> stored = statements.find.bytes(1);
      if (stored.size() == bytes.size() &&
          (bytes.empty() || std::memcmp(stored.data(), bytes.data(), bytes.size()) == 0)) {
        const std::int64_t id = statements.find.integer(0);
        statements.find.reset();
        return id;
      }
    }
    statements.find.reset();
    BRINDLE_TRY(statements.add.bind(1, hash).bind(2, length).bind(3, bytes).run());
    return m_database.lastInsertId();
  }

  platform::Status insertRenameChanges(BatchId id, const std::vector<RenameChange>& renames) {
    if (renames.empty()) return {};
    platform::Result<Statement> insert = m_database.prepare(
        "INSERT INTO rename_changes(batch, position, directory, old_name, temporary_name, "
        "new_name) VALUES(?, ?, ?, ?, ?, ?)");
    if (!insert) return insert.error();
    std::int64_t position = 0;
    for (const RenameChange& rename : renames) {
      BRINDLE_TRY(insert.value()
                      .bind(1, id)
                      .bind(2, position++)
                      .bind(3, rename.directory)
                      .bind(4, rename.oldName)
                      .bind(5, rename.temporaryName)
                      .bind(6, rename.newName)
                      .run());
    }
    return {};
  }

  /// The bytes the history takes: its pages in use.
  platform::Result<std::uint64_t> usedBytes() {
    platform::Result<Statement> select = m_database.prepare(
        "SELECT (page_count - freelist_count) * page_size FROM pragma_page_count(), "
        "pragma_freelist_count(), pragma_page_size()");
    if (!select) return select.error();
    platform::Result<bool> row = select.value().step();
    if (!row) return row.error();
    return static_cast<std::uint64_t>(row.value() ? select.value().integer(0) : 0);
  }

  /// Removes the oldest closed batches while the history is past its limit,
  /// then the contents no change refers to any more.
  platform::Status prune() {
    platform::Result<std::uint64_t> used = usedBytes();
    if (!used) return used.error();
    if (used.value() <= m_sizeLimit) return {};
    platform::Result<Statement> oldest =
        m_database.prepare("SELECT id FROM batches WHERE state != ? ORDER BY id LIMIT 1");
    platform::Result<Statement> remove = m_database.prepare("DELETE FROM batches WHERE id = ?");
    if (!oldest) return oldest.error();
    if (!remove) return remove.error();
    while (used.value() > m_sizeLimit) {
      oldest.value().bind(1, static_cast<std::int64_t>(BatchState::Open));
      platform::Result<bool> row = oldest.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      const BatchId id = oldest.value().integer(0);
      oldest.value().reset();
      Transaction transaction(m_database);
      BRINDLE_TRY(transaction.begin());
      BRINDLE_TRY(remove.value().bind(1, id).run());
      BRINDLE_TRY(removeUnusedContents());
      BRINDLE_TRY(transaction.commit());
      used = usedBytes();
      if (!used) return used.error();
    }
    oldest.value().reset();
    return m_database.execute("PRAGMA incremental_vacuum");
  }

  /// Removes the contents no change's pieces name any more.
  platform::Status removeUnusedContents() {
    platform::Result<Statement> lists = m_database.prepare("SELECT pieces FROM tag_changes");
    platform::Result<Statement> contents = m_database.prepare("SELECT id FROM contents");
    platform::Result<Statement> remove = m_database.prepare("DELETE FROM contents WHERE id = ?");
    for (auto* statement : {&lists, &contents, &remove}) {
      if (!*statement) return statement->error();
    }
    std::unordered_set<std::int64_t> used;
    for (;;) {
      platform::Result<bool> row = lists.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      // A damaged list keeps every content: nothing is removed on a guess.
      const std::optional<StoredRegions> stored = decodeStoredRegions(lists.value().bytes(0));
      if (!stored) return {};
      for (const std::vector<StoredPiece>& pieces : *stored) {
        for (const StoredPiece& piece : pieces) used.insert(piece.content);
      }
    }
    std::vector<std::int64_t> unused;
    for (;;) {
      platform::Result<bool> row = contents.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      if (!used.contains(contents.value().integer(0)))
        unused.push_back(contents.value().integer(0));
    }
    for (const std::int64_t id : unused) {
      BRINDLE_TRY(remove.value().bind(1, id).run());
    }
    return {};
  }

  /// A history written before the pieces were kept per change has them in
  /// a table of their own, a row per piece: moved into each change's list.
  platform::Status upgradeRegionPieces() {
    platform::Result<Statement> exists = m_database.prepare(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'region_pieces'");
    if (!exists) return exists.error();
    platform::Result<bool> found = exists.value().step();
    if (!found) return found.error();
    if (!found.value()) return {};
    exists.value().reset();
    platform::Result<Statement> column =
        m_database.prepare("SELECT 1 FROM pragma_table_info('tag_changes') WHERE name = 'pieces'");
    if (!column) return column.error();
    platform::Result<bool> hasColumn = column.value().step();
    if (!hasColumn) return hasColumn.error();
    column.value().reset();
    Transaction transaction(m_database);
    BRINDLE_TRY(transaction.begin());
    if (!hasColumn.value()) {
      BRINDLE_TRY(m_database.execute(
          "ALTER TABLE tag_changes ADD COLUMN pieces BLOB NOT NULL DEFAULT x''"));
    }
    platform::Result<Statement> pieces = m_database.prepare(
        "SELECT change, region, content, padding FROM region_pieces "
        "ORDER BY change, region, position");
    platform::Result<Statement> update =
        m_database.prepare("UPDATE tag_changes SET pieces = ? WHERE id = ?");
    if (!pieces) return pieces.error();
    if (!update) return update.error();
    std::optional<std::int64_t> change;
    StoredRegions stored;
    const auto flush = [&]() -> platform::Status {
      if (!change) return {};
      BRINDLE_TRY(update.value().bind(1, encodeStoredRegions(stored)).bind(2, *change).run());
      stored = {};
      return {};
    };
    for (;;) {
      platform::Result<bool> row = pieces.value().step();
      if (!row) return row.error();
      if (!row.value()) break;
      const Statement& columns = pieces.value();
      if (change != columns.integer(0)) {
        BRINDLE_TRY(flush());
        change = columns.integer(0);
      }
      const auto region = static_cast<std::size_t>(columns.integer(1));
      if (region >= stored.size()) return damaged("a tag change");
      stored[region].push_back(columns.isNull(2)
                                   ? StoredPiece{0, static_cast<std::uint64_t>(columns.integer(3))}
                                   : StoredPiece{columns.integer(2), 0});
    }
    BRINDLE_TRY(flush());
    pieces.value().reset();
    BRINDLE_TRY(m_database.execute("DROP TABLE region_pieces"));
    return transaction.commit();
  }

  Database m_database;
  std::uint64_t m_sizeLimit;
  OwnerMark m_owner;
};

#undef BRINDLE_TRY

}  // namespace

platform::Result<std::unique_ptr<History>> openHistory(const std::string& location,
                                                       std::uint64_t sizeLimit) {
  platform::Result<Database> database = Database::open(location);
  if (!database) return database.error();
  // A history in memory is this process's alone: it needs no owner marks.
  const bool inMemory = location.empty() || location == ":memory:";
  auto history = std::make_unique<SqliteHistory>(std::move(database.value()), sizeLimit,
                                                 inMemory ? std::string() : location);
  if (platform::Status status = history->prepare(); !status) return status.error();
  return std::unique_ptr<History>(std::move(history));
}

}  // namespace brindle::history
