#include "core/SqliteDatabase.h"

#include <sqlite3.h>

SqliteDatabase::~SqliteDatabase() { close(); }

bool SqliteDatabase::open(const std::string& path) {
  close();
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return false;
  }
  // Another connection (a background reader, the next screen) may hold the file briefly.
  sqlite3_busy_timeout(db, 2000);
  db_ = db;
  return true;
}

void SqliteDatabase::close() {
  if (db_) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

SqliteStatement SqliteDatabase::prepare(const std::string& sql) const {
  return SqliteStatement(db_, sql);
}

bool SqliteDatabase::execute(const std::string& sql) const {
  return db_ && sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string SqliteDatabase::lastError() const {
  return db_ ? sqlite3_errmsg(db_) : "database not open";
}
