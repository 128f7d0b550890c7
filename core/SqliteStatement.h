#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when the object goes. Values are always bound, never
// pasted into the SQL text. Used on the thread that owns its SqliteDatabase; it must not outlive
// that database.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql);
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&&) = delete;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // false when the SQL did not compile (or the database was not open); every other call then
  // fails quietly.
  bool ok() const { return stmt_ != nullptr; }

  // Parameters are numbered from 1, as in SQL.
  bool bind(int index, const std::string& text);
  bool bind(int index, const char* text);
  bool bind(int index, int64_t number);
  bool bind(int index, int number) { return bind(index, static_cast<int64_t>(number)); }

  // Steps once: true while a row is available.
  bool step();
  // Runs to completion: true when the statement finished without error.
  bool run();

  std::string columnText(int column) const;  // "" for NULL
  int64_t columnInt(int column) const;       // 0 for NULL

 private:
  sqlite3_stmt* stmt_ = nullptr;
};
