#pragma once

#include <string>

#include "core/SqliteStatement.h"

struct sqlite3;

// An open SQLite database file, closed when the object goes. Not shared between threads: each
// user opens its own (SQLite serialises access to the file between connections).
class SqliteDatabase {
 public:
  SqliteDatabase() = default;
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Opens (creating it when missing) the file at path; closes what was open before.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return db_ != nullptr; }

  // Compiles a statement (check ok() on the result).
  SqliteStatement prepare(const std::string& sql) const;
  // Runs SQL without parameters or results, e.g. CREATE TABLE.
  bool execute(const std::string& sql) const;
  std::string lastError() const;

 private:
  sqlite3* db_ = nullptr;
};
