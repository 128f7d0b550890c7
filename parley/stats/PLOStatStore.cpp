#include "parley/stats/PLOStatStore.h"

#include <sqlite3.h>

#include <filesystem>

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatEvent.h"
#include "parley/stats/PLOStatHelper.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Sandbox.h"

namespace {

constexpr const char* kCreateEvents =
    "create table if not exists events(event_id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
    "content TEXT, status INTEGER, send_count INTEGER, ts INTEGER)";
constexpr const char* kCreateUser =
    "create table if not exists user(uid TEXT, user_type INTEGER, app_ver TEXT, ts INTEGER, "
    "PRIMARY KEY(uid))";
constexpr const char* kCreateConfig =
    "create table if not exists config(type INTEGER, content TEXT, md5sum TEXT, version INTEGER, "
    "PRIMARY KEY(type))";
constexpr const char* kInsertEvent =
    "insert into events(content, status, send_count,ts) values(@CONTENT, @STATUS, @SENDCOUNT, @TS)";
constexpr const char* kReplaceConfig =
    "replace into config(type, content, md5sum, version) values(@TYPE, @CONTENT, @MD5, @VER)";
constexpr const char* kLegacyName = "parley_analysis.db";
constexpr const char* kRenamedLegacyName = ".parley_analysis.db";

std::mutex& instanceMutex() {
  static std::mutex m;
  return m;
}

std::shared_ptr<PLOStatStore>& instance() {
  static std::shared_ptr<PLOStatStore> s;
  return s;
}

uint32_t nowSeconds() { return static_cast<uint32_t>(RunLoop::main().now()); }

bool isCorrupt(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }

// Binds every value to its parameter, in order.
void bindAll(sqlite3_stmt* stmt, const std::vector<PLOStatSqlValue>& params) {
  for (size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    if (params[i].isText) {
      sqlite3_bind_text(stmt, index, params[i].text.c_str(),
                        static_cast<int>(params[i].text.size()), SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_int64(stmt, index, params[i].number);
    }
  }
}

std::string columnText(sqlite3_stmt* stmt, int column) {
  const auto* text = sqlite3_column_text(stmt, column);
  return text ? reinterpret_cast<const char*>(text) : "";
}

uint32_t toUInt(const std::string& text) {
  return static_cast<uint32_t>(std::strtoull(text.c_str(), nullptr, 10));
}

std::atomic<uint64_t>& statementCounter() {
  static std::atomic<uint64_t> count{0};
  return count;
}

// SQL: stat_is_json_object(content) is 1 when the text is a JSON object as the dispatcher will
// read it, else 0 (NULL text included). The same reading as Value::fromJSON, so that SQL and the
// batch agree on which rows are damaged.
void isJsonObject(sqlite3_context* context, int, sqlite3_value** args) {
  try {
    const auto* text = sqlite3_value_text(args[0]);
    const int size = sqlite3_value_bytes(args[0]);
    bool object = false;
    if (text) {
      const auto json = Value::fromJSON(
          std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size)));
      object = json && json->isDict();
    }
    sqlite3_result_int(context, object ? 1 : 0);
  } catch (...) {
    // Exceptions never cross SQLite: the statement fails instead.
    sqlite3_result_error_nomem(context);
  }
}

// The file removal used by recovery; tests replace it to see a file that cannot be removed.
std::function<bool(const std::string&)>& removeFileFunction() {
  static std::function<bool(const std::string&)> remove = [](const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return !ec && !std::filesystem::exists(path, ec);
  };
  return remove;
}

// Moves an old database file out of the way, as earlier versions named it. The renamed file is
// not opened.
void moveLegacyFile() {
  namespace fs = std::filesystem;
  const fs::path documents = Sandbox::documents();
  std::error_code ec;
  if (!fs::exists(documents / kLegacyName, ec)) return;
  const fs::path renamed = documents / kRenamedLegacyName;
  if (fs::exists(renamed, ec)) {
    fs::remove(renamed, ec);
    if (ec) PLOStatLog("Delete database failed reason:%@", ec.message());
  }
  fs::rename(documents / kLegacyName, renamed, ec);
  if (ec) PLOStatLog("Unable to move file: %@", ec.message());
}

}  // namespace

std::recursive_mutex& PLOStatSqlLock() {
  // "__STAT_LOCK__": shared by every SQLite call of the module.
  static std::recursive_mutex lock;
  return lock;
}

void PLOStatStoreAccess::setRemoveFile(std::function<bool(const std::string&)> fn) {
  removeFileFunction() = std::move(fn);
}

uint64_t PLOStatStoreAccess::statementCount() { return statementCounter().load(); }

std::shared_ptr<PLOStatStore> PLOStatStore::getInstance() {
  std::lock_guard lock(instanceMutex());
  if (!instance()) instance() = std::make_shared<PLOStatStore>();
  return instance();
}

void PLOStatStore::resetForTesting() {
  std::shared_ptr<PLOStatStore> store;
  {
    std::lock_guard lock(instanceMutex());
    store.swap(instance());
  }
  if (!store) return;
  store->waitForQueue();
  std::lock_guard lock(PLOStatSqlLock());
  store->close();
  // Work still holding the old instance must not open the file again behind the new one.
  store->unusable_ = true;
}

std::string PLOStatStore::databasePath() {
  return (std::filesystem::path(Sandbox::documents()) /
          NSString::stringWithFormat(".parley_analysis_%@", "PLOStatStore"))
      .string();
}

PLOStatStore::PLOStatStore() : queue_(std::make_unique<DispatchQueue>("StatStore")) { initDB(); }

PLOStatStore::~PLOStatStore() {
  queue_.reset();  // finishes the queued work first
  close();
}

sqlite3* PLOStatStore::getDB() {
  std::lock_guard lock(PLOStatSqlLock());
  if (db_ || unusable_) return db_;
  moveLegacyFile();
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(databasePath().c_str(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    PLOStatLog("open sqlite db failed.");
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  sqlite3_create_function_v2(db, "stat_is_json_object", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                             nullptr, isJsonObject, nullptr, nullptr, nullptr);
  db_ = db;
  return db_;
}

void PLOStatStore::initDB() {
  std::lock_guard lock(PLOStatSqlLock());
  if (!getDB()) {
    PLOStatLog("NULL database to init table.");
    return;
  }
  auto& defaults = NSUserDefaults::standardUserDefaults();
  if (defaults.integerForKey("STAT_SDK_DB_VER") == 0) {
    defaults.setInteger(1, "STAT_SDK_DB_VER");
    defaults.synchronize();
  }
  for (const char* sql : {kCreateEvents, kCreateUser, kCreateConfig}) {
    // A corrupt file is replaced (and its tables made) inside this call; stop then.
    if (isCorrupt(updateDatabase(sql)) || !db_) return;
  }
}

void PLOStatStore::finalizeStatements() {
  sqlite3_finalize(insertEvent_);
  insertEvent_ = nullptr;
  sqlite3_finalize(replaceConfig_);
  replaceConfig_ = nullptr;
}

void PLOStatStore::closeDB() {
  std::lock_guard lock(PLOStatSqlLock());
  finalizeStatements();
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

void PLOStatStore::close() { closeDB(); }

void PLOStatStore::deleteDB() {
  std::lock_guard lock(PLOStatSqlLock());
  closeDB();
  const std::string path = databasePath();
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !removeFileFunction()(path)) {
    PLOStatLog("Delete database failed reason:%@", "the file could not be removed");
    // Opening it again would find the same corrupt file: go on without a database.
    unusable_ = true;
  }
  // A journal left beside the removed file would be applied to the fresh one.
  std::filesystem::remove(path + "-journal", ec);
}

void PLOStatStore::recoverIfCorrupt(int code) {
  if (!isCorrupt(code) || recovering_) return;
  recovering_ = true;
  deleteDB();
  numStoredEvents_ = 0;
  if (!unusable_) initDB();
  recovering_ = false;
}

int PLOStatStore::updateDatabase(const std::string& sql,
                                 const std::vector<PLOStatSqlValue>& params) {
  std::lock_guard lock(PLOStatSqlLock());
  sqlite3* db = getDB();
  if (!db) return -1;
  sqlite3_stmt* stmt = nullptr;
  ++statementCounter();
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  if (rc == SQLITE_OK) {
    bindAll(stmt, params);
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  if (rc != SQLITE_OK)
    PLOStatLog("Failed to execute sql:%@ for reason:%@", sql, sqlite3_errmsg(db));
  sqlite3_finalize(stmt);
  recoverIfCorrupt(rc);
  return rc;
}

int PLOStatStore::queryDatabase(const std::string& sql, const std::vector<PLOStatSqlValue>& params,
                                std::vector<std::vector<std::string>>& rows, int columns) {
  std::lock_guard lock(PLOStatSqlLock());
  sqlite3* db = getDB();
  if (!db) return -1;
  sqlite3_stmt* stmt = nullptr;
  ++statementCounter();
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  if (rc == SQLITE_OK) {
    bindAll(stmt, params);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      if (sqlite3_column_count(stmt) != columns) continue;
      if (sqlite3_column_type(stmt, 0) == SQLITE_NULL) continue;
      std::vector<std::string> row;
      row.reserve(columns);
      for (int c = 0; c < columns; ++c) row.push_back(columnText(stmt, c));
      rows.push_back(std::move(row));
    }
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  if (rc != SQLITE_OK)
    PLOStatLog("Failed to execute sql:%@ for reason:%@", sql, sqlite3_errmsg(db));
  sqlite3_finalize(stmt);
  recoverIfCorrupt(rc);
  return rc;
}

bool PLOStatStore::hasDatabase() {
  std::lock_guard lock(PLOStatSqlLock());
  return getDB() != nullptr;
}

void PLOStatStore::waitForQueue() {
  queue_->sync([] {});
}

void PLOStatStore::launch() {
  auto self = shared_from_this();
  queue_->async([self] {
    if (!self->getDB()) return;
    self->updateDatabase("update events set status=?  where status = ?",
                         {PLOStatStoreEvent::kWaiting, PLOStatStoreEvent::kSending});
    self->numStoredEvents_ = self->getStoredEventsNum();
  });
}

uint32_t PLOStatStore::getStoredEventsNum() {
  std::vector<std::vector<std::string>> rows;
  if (queryDatabase("select count(*) from events where status=?", {PLOStatStoreEvent::kWaiting},
                    rows, 1) != SQLITE_OK ||
      rows.size() != 1) {
    return 0;
  }
  const uint32_t count = toUInt(rows[0][0]);
  PLOStatLog("%d unsent events.", count);
  return count;
}

void PLOStatStore::storeEvent(const std::shared_ptr<PLOStatEvent>& event, bool hasTrySent,
                              Block cb) {
  auto self = shared_from_this();
  queue_->async([self, event, hasTrySent, cb = std::move(cb)] {
    if (event) self->storeEventNow(event, hasTrySent);
    if (cb) cb();
  });
}

void PLOStatStore::storeEventNow(const std::shared_ptr<PLOStatEvent>& event, bool hasTrySent) {
  auto config = PLOStatConfig::getInstance();
  const std::string content = event->toJsonString();
  PLOStatLog(
      hasTrySent ? "Send failed, then store event:%@" : "Environment setting, then store event:%@",
      content);
  // An event that could not be written as JSON has nothing to report: a row without text would
  // only be a damaged row (corrupted data).
  if (content.empty()) return;
  const size_t length = NSString::length(content);
  if (length > config->maxReportEventLength() && event->getType() != 3) {
    PLOStatLog("[ERROR]Too large event content length to report:%lu", length);
    return;
  }

  std::lock_guard lock(PLOStatSqlLock());
  if (!getDB()) return;
  // Make room only for an event that will be stored: an event refused for its length would
  // otherwise erase the oldest events for nothing (lost data). The count is taken again after
  // the erase: left at the cap, every later event would erase another whole second of events
  // although the store had room (lost data).
  if (numStoredEvents_ >= config->maxStoreEventCount()) {
    PLOStatLog("Too many events stored in db, erase oldest event");
    updateDatabase("delete from events where ts in (select min(ts) from events)");
    numStoredEvents_ = getStoredEventsNum();
  }
  if (!db_) return;
  if (!insertEvent_ &&
      sqlite3_prepare_v2(db_, kInsertEvent, -1, &insertEvent_, nullptr) != SQLITE_OK) {
    const int rc = sqlite3_errcode(db_);
    sqlite3_finalize(insertEvent_);
    insertEvent_ = nullptr;
    PLOStatLog("Failed to prepare insert events");
    recoverIfCorrupt(rc);
    return;
  }
  bindAll(insertEvent_, {content, PLOStatStoreEvent::kWaiting, 0, event->ts()});
  ++statementCounter();
  const int rc = sqlite3_step(insertEvent_);
  if (rc != SQLITE_DONE) {
    sqlite3_finalize(insertEvent_);
    insertEvent_ = nullptr;
    PLOStatLog("Failed to exec satement to insert events.");
    recoverIfCorrupt(rc);
    return;
  }
  sqlite3_clear_bindings(insertEvent_);
  sqlite3_reset(insertEvent_);
  ++numStoredEvents_;
}

void PLOStatStore::loadCachedEvents(Events& out) {
  std::vector<std::vector<std::string>> rows;
  // Events of one second leave in the order they were stored: the sort by second alone leaves
  // their order to SQLite (events would leave out of order, a wrong result).
  queryDatabase(
      "select event_id, content, status, send_count,ts from events where status = ? order by ts, "
      "event_id limit ?",
      {PLOStatStoreEvent::kWaiting,
       static_cast<int64_t>(PLOStatConfig::getInstance()->maxLoadEventCount())},
      rows, 5);
  for (const auto& row : rows) {
    auto event = std::make_shared<PLOStatStoreEvent>();
    event->eventId = toUInt(row[0]);
    event->content = row[1];
    event->status = toUInt(row[2]);
    event->sendCount = toUInt(row[3]);
    event->ts = toUInt(row[4]);
    out.push_back(std::move(event));
  }
}

void PLOStatStore::sendCachedEvents(int32_t n) {
  auto self = shared_from_this();
  queue_->async([self, n] { self->sendBatch(n); });
}

void PLOStatStore::sendBatch(int32_t n) {
  if (!PLOStatConfig::getInstance()->statEnable() || numStoredEvents_ == 0) return;
  // Loading and marking are one step on this queue, so no later batch takes these events.
  Events events;
  for (bool swept = false;; swept = true) {
    Events loaded;
    loadCachedEvents(loaded);
    // Nothing to load ends here: no empty batch is posted, and a send-all loop stops. (With a
    // batch size of 0 and events waiting, a send-all would otherwise post empty batches without
    // end.)
    if (loaded.empty()) return;
    // A row whose text is no JSON object (a damaged file) would make the server refuse the
    // whole body, again at every retry, until the good events sent with it were deleted as
    // failed (lost data): damaged rows are deleted instead of sent.
    Events damaged;
    for (auto& e : loaded) {
      const auto json = Value::fromJSON(e->content);
      (json && json->isDict() ? events : damaged).push_back(std::move(e));
    }
    if (damaged.empty()) break;
    if (swept) {
      // They outlived the sweep (it failed): these go one by one, the rest at the next occasion.
      deleteNow(damaged);
      if (events.empty()) return;
      break;
    }
    // Where one is damaged, more usually are: one statement deletes every damaged waiting row,
    // however many batches they fill, instead of a round of loading and deleting per batch.
    const int rc =
        updateDatabase("delete from events where status = ? and not stat_is_json_object(content)",
                       {PLOStatStoreEvent::kWaiting});
    numStoredEvents_ = getStoredEventsNum();
    PLOStatLog("[ERROR]Deleted stored events that are no JSON objects");
    if (rc != SQLITE_OK) {
      deleteNow(damaged);
      if (events.empty()) return;
      break;
    }
    // Only damaged rows in this batch: load the next one, unless only one batch was asked for.
    if (!events.empty()) break;
    if (n == 0) return;
  }
  const bool marked = runInTransactions(events, [this](const PLOStatStoreEvent& e, bool) {
    return updateDatabase("update events set status = ? where event_id = ?",
                          {PLOStatStoreEvent::kSending, e.eventId});
  });
  numStoredEvents_ = getStoredEventsNum();
  if (!marked) {
    // The file takes no writes (a full disk): a batch sent now could be neither held nor
    // deleted, and the next batch would be the same rows again, sent over and over (a wrong
    // result: the server counts them again each time). They wait for the next occasion.
    PLOStatLog("[ERROR]Cannot mark stored events as sending; they wait for the next report");
    return;
  }
  for (auto& e : events) e->status = PLOStatStoreEvent::kSending;

  auto self = shared_from_this();
  const auto sent = static_cast<int32_t>(events.size());
  PLOStatDispatcher::getInstance()->send(events, [self, events, n, sent](bool success) {
    // The dispatcher calls back on its own queue; the work belongs on the store's.
    if (!success) {
      self->updateSendFailedEvents(events);
      return;
    }
    self->queue_->async([self, events, n, sent] {
      if (!self->deleteNow(events)) {
        // Delivered but still stored (they stay sending until the next launch): another round
        // now would only send them again.
        PLOStatLog("[ERROR]Cannot delete sent events; the next batch waits for the next report");
        return;
      }
      if (n < 0) {
        self->sendBatch(-1);
      } else if (n >= 1 && n > sent) {
        self->sendBatch(n - sent);
      } else if (n >= 1 && self->numStoredEvents_ >= static_cast<uint32_t>(n)) {
        self->sendBatch(n);
      }
    });
  });
}

bool PLOStatStore::runInTransactions(
    const Events& events, const std::function<int(const PLOStatStoreEvent&, bool retry)>& one) {
  std::lock_guard lock(PLOStatSqlLock());
  Events pending = events;
  for (int attempt = 0; attempt < 2 && !pending.empty(); ++attempt) {
    Events failed;
    updateDatabase("BEGIN TRANSACTION");
    for (const auto& e : pending) {
      if (one(*e, attempt > 0) != SQLITE_OK) failed.push_back(e);
    }
    if (updateDatabase("END TRANSACTION") != SQLITE_OK) {
      // Nothing of it was written (a full disk fails the commit): undo what is left open and
      // count every statement as failed. Each statement may safely run twice.
      if (db_ && !sqlite3_get_autocommit(db_)) updateDatabase("ROLLBACK");
      failed = pending;
    }
    pending = std::move(failed);
  }
  return pending.empty();
}

void PLOStatStore::updateEvents(const Events& events, uint32_t status) {
  auto self = shared_from_this();
  queue_->async([self, events, status] {
    self->runInTransactions(events, [&](const PLOStatStoreEvent& e, bool) {
      return self->updateDatabase("update events set status = ? where event_id = ?",
                                  {status, e.eventId});
    });
    self->numStoredEvents_ = self->getStoredEventsNum();
  });
}

void PLOStatStore::deleteEvents(const Events& events, Block cb) {
  auto self = shared_from_this();
  queue_->async([self, events, cb = std::move(cb)] {
    self->deleteNow(events);
    if (cb) cb();
  });
}

bool PLOStatStore::deleteNow(const Events& events) {
  const bool deleted = runInTransactions(events, [this](const PLOStatStoreEvent& e, bool) {
    return updateDatabase("delete from events where event_id = ?", {e.eventId});
  });
  numStoredEvents_ = getStoredEventsNum();
  return deleted;
}

void PLOStatStore::updateSendFailedEvents(const Events& events) {
  auto self = shared_from_this();
  queue_->async([self, events] {
    const uint32_t maxRetries = PLOStatConfig::getInstance()->maxSendRetryCount();
    self->runInTransactions(events, [&](const PLOStatStoreEvent& e, bool) {
      // The count comes from the row as loaded, so a second attempt of the statement raises it
      // by one as well, never by two.
      const uint32_t count = e.sendCount + 1;
      PLOStatLog("This event has tried %d times", count);
      if (count < maxRetries) {
        return self->updateDatabase("update events set status=?,send_count=? where event_id = ?",
                                    {PLOStatStoreEvent::kWaiting, count, e.eventId});
      }
      return self->updateDatabase("delete from events where event_id = ?", {e.eventId});
    });
    self->numStoredEvents_ = self->getStoredEventsNum();
  });
}

void PLOStatStore::storeUser(const PLOStatUser& user) {
  auto self = shared_from_this();
  queue_->async([self, user] {
    self->updateDatabase("update user set user_type=?, app_ver=?, ts=? where uid=?",
                         {user.userType, user.appVer, user.tagTime, user.uid});
  });
}

PLOStatUser PLOStatStore::loadUser() {
  PLOStatUser user;
  queue_->sync([&] {
    std::vector<std::vector<std::string>> rows;
    const int rc = queryDatabase("select uid,user_type,app_ver,ts from user", {}, rows, 4);
    if (rc == SQLITE_OK && rows.empty()) {
      const auto& env = PLOStatHelper::getInstance()->getEnv();
      user.uid = env.deviceid;
      user.userType = 0;
      user.appVer = env.app_version;
      user.tagTime = nowSeconds();
      updateDatabase("insert into user values(?, ?, ?, ?)",
                     {user.uid, user.userType, user.appVer, user.tagTime});
    } else if (rc == SQLITE_OK && rows.size() == 1) {
      user.uid = rows[0][0];
      user.userType = static_cast<int32_t>(std::strtol(rows[0][1].c_str(), nullptr, 10));
      user.appVer = rows[0][2];
      user.tagTime = toUInt(rows[0][3]);
    }
  });
  return user;
}

std::string PLOStatStore::getStatCommonUDID() {
  std::vector<std::vector<std::string>> rows;
  queryDatabase("select uid from user limit 1", {}, rows, 1);
  return rows.size() == 1 ? rows[0][0] : "";
}

void PLOStatStore::storeConfig(const std::shared_ptr<const PLOStatDataConfig>& config) {
  if (!config) return;
  auto self = shared_from_this();
  queue_->async([self, config] {
    std::lock_guard lock(PLOStatSqlLock());
    sqlite3* db = self->getDB();
    if (!db) return;
    if (!self->replaceConfig_ &&
        sqlite3_prepare_v2(db, kReplaceConfig, -1, &self->replaceConfig_, nullptr) != SQLITE_OK) {
      const int rc = sqlite3_errcode(db);
      sqlite3_finalize(self->replaceConfig_);
      self->replaceConfig_ = nullptr;
      PLOStatLog("Failed to prepare replace configs");
      self->recoverIfCorrupt(rc);
      return;
    }
    bindAll(self->replaceConfig_, {config->type, config->content, config->md5, config->version});
    const int rc = sqlite3_step(self->replaceConfig_);
    if (rc != SQLITE_DONE) {
      sqlite3_finalize(self->replaceConfig_);
      self->replaceConfig_ = nullptr;
      PLOStatLog("Failed to exec satement to insert configs.");
      self->recoverIfCorrupt(rc);
      return;
    }
    sqlite3_clear_bindings(self->replaceConfig_);
    sqlite3_reset(self->replaceConfig_);
  });
}

void PLOStatStore::loadConfig(
    const std::function<void(std::shared_ptr<PLOStatDataConfig>)>& block) {
  std::vector<std::vector<std::string>> rows;
  queryDatabase("select type, content, md5sum, version from config;", {}, rows, 4);
  if (!block) return;
  for (const auto& row : rows) {
    auto config = std::make_shared<PLOStatDataConfig>();
    config->type = toUInt(row[0]);
    config->content = row[1];
    config->md5 = row[2];  // a NULL md5 reads as ""
    config->version = toUInt(row[3]);
    block(config);
  }
}
