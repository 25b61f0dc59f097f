// SQLite's C API behind RAII handles.
#include "history/Sqlite.h"

#include <sqlite3.h>

namespace brindle::history::sqlite {

namespace {

platform::Error errorOf(sqlite3* database, const std::string& what) {
  const char* text = database ? sqlite3_errmsg(database) : "out of memory";
  return {0, what + ": " + text};
}

}  // namespace

void Database::Closer::operator()(sqlite3* handle) const {
  sqlite3_close_v2(handle);
}

platform::Result<Database> Database::open(const std::string& location) {
  sqlite3* handle = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  const int code = sqlite3_open_v2(location.c_str(), &handle, flags, nullptr);
  Database database(handle);
  if (code != SQLITE_OK) return errorOf(handle, "cannot open the history " + location);
  // Another process (brindle-cli beside the window) may be writing: wait
  // for it rather than failing at once.
  sqlite3_busy_timeout(handle, 5000);
  // Closing leaves the log for the next checkpoint (SQLite starts one when
  // the log passes its size): a command that changes a few files does not
  // copy the log into the database and flush both on its way out.
  sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  return database;
}

platform::Status Database::execute(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(m_handle.get(), sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) {
    return {};
  }
  std::string text = message ? message : "unknown error";
  sqlite3_free(message);
  return platform::Error{0, "history: " + text};
}

platform::Result<Statement> Database::prepare(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(m_handle.get(), sql.c_str(), static_cast<int>(sql.size()), &statement,
                         nullptr) != SQLITE_OK) {
    return lastError("history");
  }
  return Statement(m_handle.get(), statement);
}

std::int64_t Database::lastInsertId() const {
  return sqlite3_last_insert_rowid(m_handle.get());
}

platform::Error Database::lastError(const std::string& what) const {
  return errorOf(m_handle.get(), what);
}

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

Statement& Statement::bind(int index, std::int64_t value) {
  sqlite3_bind_int64(m_statement.get(), index, value);
  return *this;
}

Statement& Statement::bindNull(int index) {
  sqlite3_bind_null(m_statement.get(), index);
  return *this;
}

Statement& Statement::bind(int index, std::span<const std::uint8_t> bytes) {
  // A zero-length blob, not NULL, so that an empty value reads back empty.
  static const std::uint8_t kNothing = 0;
  sqlite3_bind_blob64(m_statement.get(), index, bytes.empty() ? &kNothing : bytes.data(),
                      bytes.size(), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::bind(int index, const std::string& bytes) {
  return bind(index, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

platform::Result<bool> Statement::step() {
  const int code = sqlite3_step(m_statement.get());
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  return errorOf(m_database, "history");
}

platform::Status Statement::run() {
  platform::Result<bool> row = step();
  while (row && row.value()) row = step();
  reset();
  if (!row) return row.error();
  return {};
}

void Statement::reset() {
  sqlite3_reset(m_statement.get());
  sqlite3_clear_bindings(m_statement.get());
}

std::int64_t Statement::integer(int column) const {
  return sqlite3_column_int64(m_statement.get(), column);
}

bool Statement::isNull(int column) const {
  return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL;
}

std::span<const std::uint8_t> Statement::bytes(int column) const {
  const void* data = sqlite3_column_blob(m_statement.get(), column);
  const int size = sqlite3_column_bytes(m_statement.get(), column);
  if (!data || size <= 0) return {};
  return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
}

std::string Statement::text(int column) const {
  std::span<const std::uint8_t> data = bytes(column);
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace brindle::history::sqlite
