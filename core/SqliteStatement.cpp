#include "core/SqliteStatement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql) {
  if (!db || sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
                 SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept : stmt_(other.stmt_) {
  other.stmt_ = nullptr;
}

bool SqliteStatement::bind(int index, const std::string& text) {
  return stmt_ && sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                    SQLITE_TRANSIENT) == SQLITE_OK;
}

bool SqliteStatement::bind(int index, const char* text) {
  if (!text) return stmt_ && sqlite3_bind_null(stmt_, index) == SQLITE_OK;
  return bind(index, std::string(text));
}

bool SqliteStatement::bind(int index, int64_t number) {
  return stmt_ && sqlite3_bind_int64(stmt_, index, number) == SQLITE_OK;
}

bool SqliteStatement::step() { return stmt_ && sqlite3_step(stmt_) == SQLITE_ROW; }

bool SqliteStatement::run() {
  if (!stmt_) return false;
  int rc;
  while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
  }
  return rc == SQLITE_DONE;
}

std::string SqliteStatement::columnText(int column) const {
  if (!stmt_) return "";
  const auto* text = sqlite3_column_text(stmt_, column);
  if (!text) return "";
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

int64_t SqliteStatement::columnInt(int column) const {
  return stmt_ ? sqlite3_column_int64(stmt_, column) : 0;
}
