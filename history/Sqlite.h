// A thin owner of SQLite's C handles: a database and its prepared
// statements, closed when they go, and errors as platform::Error values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/Result.h"

struct sqlite3;
struct sqlite3_stmt;

namespace brindle::history::sqlite {

class Statement;

class Database {
 public:
  /// Opens (creating when missing) the database file at `location`;
  /// ":memory:" gives one in memory.
  static platform::Result<Database> open(const std::string& location);

  Database(Database&&) noexcept = default;
  Database& operator=(Database&&) noexcept = default;

  /// Runs one or more statements that give no rows.
  platform::Status execute(const std::string& sql);
  platform::Result<Statement> prepare(const std::string& sql);
  std::int64_t lastInsertId() const;
  /// The error of the last call, as a sentence.
  platform::Error lastError(const std::string& what) const;

  sqlite3* handle() const { return m_handle.get(); }

 private:
  struct Closer {
    void operator()(sqlite3* handle) const;
  };
  explicit Database(sqlite3* handle) : m_handle(handle) {}
  std::unique_ptr<sqlite3, Closer> m_handle;
};

/// A prepared statement: bind, then step through its rows.
class Statement {
 public:
  Statement(Statement&&) noexcept = default;
  Statement& operator=(Statement&&) noexcept = default;

  Statement& bind(int index, std::int64_t value);
  Statement& bindNull(int index);
  Statement& bind(int index, std::span<const std::uint8_t> bytes);
  Statement& bind(int index, const std::string& bytes);

  /// Steps once: true when a row is there, false when done; an error
  /// otherwise.
  platform::Result<bool> step();
  /// Steps to the end of a statement that gives no rows.
  platform::Status run();
  /// Makes the statement ready to be bound and run again.
  void reset();

  std::int64_t integer(int column) const;
  bool isNull(int column) const;
  std::span<const std::uint8_t> bytes(int column) const;
  std::string text(int column) const;

 private:
  friend class Database;
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  Statement(sqlite3* database, sqlite3_stmt* statement)
      : m_database(database), m_statement(statement) {}
  sqlite3* m_database;
  std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};

}  // namespace brindle::history::sqlite
