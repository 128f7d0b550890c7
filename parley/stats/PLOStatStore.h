#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "parley/stats/PLOStatDataConfig.h"
#include "parley/stats/PLOStatStoreEvent.h"
#include "parley/stats/PLOStatUser.h"
#include "platform/foundation/RunLoop.h"

struct sqlite3;
struct sqlite3_stmt;
class PLOStatEvent;

// The one lock of the statistics module around every SQLite call ("__STAT_LOCK__"). Recursive,
// so that a helper may call another while holding it.
std::recursive_mutex& PLOStatSqlLock();

// Tests: replaces the file removal that recovery from a corrupt file uses, to see a file that
// cannot be removed.
struct PLOStatStoreAccess {
  static void setRemoveFile(std::function<bool(const std::string&)> fn);
  // The number of SQL statements that stores have run so far in this process.
  static uint64_t statementCount();
};

// One value bound to a statement parameter: text or an integer. Every value reaches SQL this
// way, never pasted into the statement's text: a quote in a pasted text (an app version, a
// device id) would break or change the statement (unsafe input), and a statement cut to a
// fixed buffer would store a cut text (corrupted data).
struct PLOStatSqlValue {
  PLOStatSqlValue(const std::string& t) : isText(true), text(t) {}
  PLOStatSqlValue(const char* t) : isText(true), text(t ? t : "") {}
  PLOStatSqlValue(int64_t n) : number(n) {}
  PLOStatSqlValue(int n) : number(n) {}
  PLOStatSqlValue(uint32_t n) : number(n) {}
  bool isText = false;
  std::string text;
  int64_t number = 0;
};

// The statistics module's event store: one SQLite file in Documents (".parley_analysis_
// PLOStatStore") with the events waiting to be reported, the user record and the server
// configurations.
//
// One process-wide instance (getInstance). Queued operations run in call order on the store's
// serial queue "StatStore"; the others on the caller's thread. Every SQLite call holds
// PLOStatSqlLock(). storedEventCount() is written on the queue and read from anywhere.
//
// A file that SQLite finds corrupt (or not a database: left as it is, every statement would fail
// and every event be lost) is removed and replaced by fresh tables,
// once per failing statement; when it cannot be removed the store goes on without a database:
// inserts and queries then do nothing and blocks are still called.
class PLOStatStore : public std::enable_shared_from_this<PLOStatStore> {
 public:
  using Block = std::function<void()>;
  using Events = std::vector<std::shared_ptr<PLOStatStoreEvent>>;

  static std::shared_ptr<PLOStatStore> getInstance();
  // Tests and the simulator's restart: closes the database after the queued work has finished
  // and forgets the instance, as the end of the process does.
  static void resetForTesting();
  // The path of the store's file in the sandbox's Documents folder.
  static std::string databasePath();

  PLOStatStore();
  ~PLOStatStore();

  // Queued: rows left sending become waiting again, then the waiting count is taken.
  void launch();
  // Caller's thread: counts the waiting rows (0 when the query fails).
  uint32_t getStoredEventsNum();
  uint32_t storedEventCount() const { return numStoredEvents_.load(); }

  // Queued: stores the event's JSON text (see the cap and the length limit), then calls cb.
  void storeEvent(const std::shared_ptr<PLOStatEvent>& event, bool hasTrySent, Block cb);
  // Queued: sends a batch of waiting events. n < 0 sends all of them, batch after batch, until
  // the store is empty or a send fails; n >= 1 sends up to n; 0 sends one batch. Stored rows
  // that are no JSON object are deleted instead of sent, all of them in one statement. When the
  // file takes no writes (a batch can be neither marked sending nor deleted once sent) the sending
  // stops until the next call.
  void sendCachedEvents(int32_t n);
  // On the store's queue: appends up to maxLoadEventCount waiting events, oldest first.
  void loadCachedEvents(Events& out);
  // Queued: sets the status of each; counts the waiting rows again.
  void updateEvents(const Events& events, uint32_t status);
  // Queued: deletes each, counts the waiting rows again, then calls cb.
  void deleteEvents(const Events& events, Block cb);
  // Queued: counts one failed send for each; an event that reached maxSendRetryCount is deleted.
  void updateSendFailedEvents(const Events& events);

  // Queued: writes the user row back.
  void storeUser(const PLOStatUser& user);
  // Synchronous on the queue: reads the user row, making it when there is none.
  PLOStatUser loadUser();
  // Caller's thread: the uid of the single user row, "" when there is not exactly one.
  std::string getStatCommonUDID();

  // Queued: writes the configuration row of its type.
  void storeConfig(const std::shared_ptr<const PLOStatDataConfig>& config);
  // Caller's thread: calls block with each stored configuration.
  void loadConfig(const std::function<void(std::shared_ptr<PLOStatDataConfig>)>& block);

  void close();
  void closeDB();

  // Tests: waits until the work queued so far has run.
  void waitForQueue();
  // Tests: whether a database is open or can be opened.
  bool hasDatabase();

 private:
  void initDB();
  sqlite3* getDB();
  void deleteDB();
  // Runs one statement without rows; recovers a corrupt file. Answers the SQLite result code
  // (-1 without a database).
  int updateDatabase(const std::string& sql, const std::vector<PLOStatSqlValue>& params = {});
  // Runs a query and appends each row (its columns as text); a row whose first column is NULL
  // is skipped. Answers the SQLite result code (-1 without a database).
  int queryDatabase(const std::string& sql, const std::vector<PLOStatSqlValue>& params,
                    std::vector<std::vector<std::string>>& rows, int columns);
  // After a statement failed with code: replaces a corrupt file once. Call with the lock held.
  void recoverIfCorrupt(int code);
  void finalizeStatements();
  void storeEventNow(const std::shared_ptr<PLOStatEvent>& event, bool hasTrySent);
  // Runs one statement per event in a transaction, and the failed ones once more in a second;
  // false when some event's statement could not be written even then.
  bool runInTransactions(const Events& events,
                         const std::function<int(const PLOStatStoreEvent&, bool retry)>& one);
  // On the queue: deletes the events and counts the waiting rows again; false when some could
  // not be deleted.
  bool deleteNow(const Events& events);
  void sendBatch(int32_t n);

  std::unique_ptr<DispatchQueue> queue_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insertEvent_ = nullptr;
  sqlite3_stmt* replaceConfig_ = nullptr;
  // Set when a corrupt file could not be removed: no database from then on.
  bool unusable_ = false;
  bool recovering_ = false;
  std::atomic<uint32_t> numStoredEvents_{0};
};
