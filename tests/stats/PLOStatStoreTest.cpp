#include <atomic>
#include <fstream>
#include <set>

#include "StatTestFixture.h"
#include "parley/stats/PLOStatCustomEvent.h"
#include "parley/stats/PLOStatDataConfig.h"
#include "parley/stats/PLOStatHelper.h"

namespace {

void execute(const std::string& sql, std::source_location at = std::source_location::current()) {
  query(sql, at);
}

std::shared_ptr<PLOStatCustomEvent> eventAt(uint32_t ts, const std::string& id) {
  auto event = std::make_shared<PLOStatCustomEvent>();
  event->eventID = id;
  event->setTs(ts);
  return event;
}

// The event ids of the stored rows, oldest row first.
std::vector<std::string> storedIds() {
  std::vector<std::string> ids;
  for (const auto& row : query("select content from events order by event_id")) {
    ids.push_back((*Value::fromJSON(row[0]))["ei"].str());
  }
  return ids;
}

std::vector<std::string> idsOf(const std::vector<Value>& events) {
  std::vector<std::string> ids;
  for (const auto& e : events) ids.push_back(e["ei"].str());
  return ids;
}

// A disk that fills up: while full() is on, every write of an SQLite file fails as on a full
// disk. Installed once as SQLite's default file system, over the real one; reads go through.
struct FullDisk {
  static std::atomic<bool>& full() {
    static std::atomic<bool> on{false};
    return on;
  }
  static void install() {
    static sqlite3_vfs vfs = *real();
    vfs.zName = "full-disk";
    vfs.szOsFile = static_cast<int>(sizeof(File)) + real()->szOsFile;
    vfs.xOpen = open;
    static const bool installed = sqlite3_vfs_register(&vfs, 1) == SQLITE_OK;
    ASSERT_TRUE(installed);
  }

 private:
  struct File {
    sqlite3_file base;
    sqlite3_file* real;
  };
  static sqlite3_vfs* real() {
    static sqlite3_vfs* found = sqlite3_vfs_find(nullptr);
    return found;
  }
  static sqlite3_file* inner(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }
  // Calls the real file's method M.
  template <auto M>
  static constexpr auto pass =
      [](sqlite3_file* f, auto... a) { return (inner(f)->pMethods->*M)(inner(f), a...); };
  static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out) {
    using IO = sqlite3_io_methods;
    static const IO methods = {1,
                               pass<&IO::xClose>,
                               pass<&IO::xRead>,
                               [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
                                 return full() ? SQLITE_FULL : pass<&IO::xWrite>(f, b, n, o);
                               },
                               pass<&IO::xTruncate>,
                               pass<&IO::xSync>,
                               pass<&IO::xFileSize>,
                               pass<&IO::xLock>,
                               pass<&IO::xUnlock>,
                               pass<&IO::xCheckReservedLock>,
                               pass<&IO::xFileControl>,
                               pass<&IO::xSectorSize>,
                               pass<&IO::xDeviceCharacteristics>,
                               nullptr,
                               nullptr,
                               nullptr,
                               nullptr,
                               nullptr,
                               nullptr};  // version 1: no shared memory
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int rc = real()->xOpen(real(), name, file->real, flags, out);
    file->base.pMethods = file->real->pMethods ? &methods : nullptr;
    return rc;
  }
};

}  // namespace

class PLOStatStoreTest : public StatTestFixture {
 protected:
  std::shared_ptr<PLOStatStore> store() { return PLOStatStore::getInstance(); }
  void put(uint32_t ts, const std::string& id) {
    store()->storeEvent(eventAt(ts, id), false, nullptr);
  }
  void putAll(int n, uint32_t ts = 1000) {
    for (int i = 0; i < n; ++i) put(ts + i, "e" + std::to_string(i));
    store()->waitForQueue();
  }
};

TEST_F(PLOStatStoreTest, TheFileHasTheThreeTablesWithTheirExactStatements) {
  store()->waitForQueue();
  EXPECT_EQ(PLOStatStore::databasePath(), root() + "/Documents/.parley_analysis_PLOStatStore");
  EXPECT_EQ(query("select sql from sqlite_master where name in ('config', 'events', 'user') "
                  "order by name"),
            (std::vector<std::vector<std::string>>{
                {"CREATE TABLE config(type INTEGER, content TEXT, md5sum TEXT, version INTEGER, "
                 "PRIMARY KEY(type))"},
                {"CREATE TABLE events(event_id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
                 "content TEXT, status INTEGER, send_count INTEGER, ts INTEGER)"},
                {"CREATE TABLE user(uid TEXT, user_type INTEGER, app_ver TEXT, ts INTEGER, "
                 "PRIMARY KEY(uid))"}}));
  EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("STAT_SDK_DB_VER"), 1);
}

TEST_F(PLOStatStoreTest, StoredEventsWaitWithTheirSecondAndLoadOldestFirst) {
  put(200, "late");
  put(100, "early");
  put(100, "early-too");
  store()->waitForQueue();
  EXPECT_EQ(store()->storedEventCount(), 3u);
  EXPECT_EQ(store()->getStoredEventsNum(), 3u);
  const auto rows = query("select status, send_count, ts from events order by event_id");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "0", "200"}));

  PLOStatStore::Events loaded;
  store()->loadCachedEvents(loaded);
  ASSERT_EQ(loaded.size(), 3u);
  std::vector<std::string> order;
  for (const auto& e : loaded) order.push_back((*Value::fromJSON(e->content))["ei"].str());
  EXPECT_EQ(order, (std::vector<std::string>{"early", "early-too", "late"}))
      << "ordered by second, then by the order they were stored";
}

TEST_F(PLOStatStoreTest, TheCapErasesTheOldestSecondOnlyAfterTheLengthCheck) {
  auto config = PLOStatConfig::getInstance();
  config->setMaxStoreEventCount(2);
  config->setMaxReportEventLength(400);
  put(100, "a");
  put(100, "b");
  // Too long to report: it is dropped, and nothing is erased for it.
  put(200, std::string(500, 'x'));
  store()->waitForQueue();
  EXPECT_EQ(storedIds(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(store()->storedEventCount(), 2u);

  put(300, "c");
  store()->waitForQueue();
  EXPECT_EQ(storedIds(), (std::vector<std::string>{"c"})) << "both of the oldest second";
  EXPECT_EQ(store()->storedEventCount(), 1u) << "two erased, one added";
  EXPECT_TRUE(NSLogSink::contains("Too many events stored in db, erase oldest event"));
  put(400, "d");
  put(500, "e");
  store()->waitForQueue();
  EXPECT_EQ(storedIds(), (std::vector<std::string>{"d", "e"}));
}

TEST_F(PLOStatStoreTest, SendingNGoesOnWhileAtLeastNEventsWaitAndAllEmptiesTheStore) {
  putAll(65);
  store()->sendCachedEvents(30);
  ASSERT_TRUE(waitFor([&] { return server.eventCount() == 60; }));
  settle();
  EXPECT_EQ(server.reports().size(), 2u);
  EXPECT_EQ(store()->storedEventCount(), 5u) << "fewer than 30 wait for the next batch";

  store()->sendCachedEvents(-1);
  ASSERT_TRUE(waitFor([&] { return storedRows() == 0; }));
  settle();
  std::vector<size_t> sizes;
  for (const auto& report : server.reports()) sizes.push_back(report.events.count());
  EXPECT_EQ(sizes, (std::vector<size_t>{30, 30, 5}));
  EXPECT_EQ(idsOf(server.events()).front(), "e0");
  EXPECT_EQ(store()->storedEventCount(), 0u);
}

TEST_F(PLOStatStoreTest, ABatchThatLoadsNothingSendsNothing) {
  putAll(3);
  // Every row is held by a send that never finished: nothing waits, though the count says 3.
  execute("update events set status = 2");
  ASSERT_EQ(store()->storedEventCount(), 3u);
  store()->sendCachedEvents(-1);
  settle();
  EXPECT_TRUE(server.reports().empty()) << "no \"[]\" is posted";
}

TEST_F(PLOStatStoreTest, AFailedSendRaisesTheRetryCountOnceAndTheThirdFailureDeletes) {
  putAll(1);
  server.setFailure(StatServer::Failure::RetNotZero);
  for (int attempt = 1; attempt <= 2; ++attempt) {
    store()->sendCachedEvents(0);
    settle();
    EXPECT_EQ(query("select status, send_count from events"),
              (std::vector<std::vector<std::string>>{{"1", std::to_string(attempt)}}))
        << "after failure " << attempt;
    EXPECT_EQ(store()->storedEventCount(), 1u);
  }
  store()->sendCachedEvents(0);
  settle();
  EXPECT_TRUE(query("select * from events").empty());
  EXPECT_TRUE(NSLogSink::contains("This event has tried 3 times"));
  EXPECT_EQ(server.reports().size(), 3u);
}

TEST_F(PLOStatStoreTest, OnAFullDiskSendingStopsUntilTheNextOccasionAndLosesNothing) {
  FullDisk::install();
  restartProcess();  // a store on the disk that will fill up
  putAll(40);
  FullDisk::full() = true;
  store()->sendCachedEvents(-1);
  settle();
  const size_t posted = server.reports().size();
  settle();
  EXPECT_EQ(server.reports().size(), posted) << "no loop of the same batch";
  EXPECT_LE(posted, 2u);
  FullDisk::full() = false;
  settle();
  EXPECT_EQ(store()->getStoredEventsNum(), 40u) << "nothing was lost";

  // The next occasion, with room on the disk again: every event leaves, and the store empties.
  store()->launch();
  store()->sendCachedEvents(-1);
  ASSERT_TRUE(waitFor([&] { return query("select * from events").empty(); }));
  settle();
  const auto ids = idsOf(server.events());
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 40u);
}

TEST_F(PLOStatStoreTest, AStoredRowThatIsNoJsonObjectIsDeletedAloneAndTheRestOfItsBatchLeaves) {
  putAll(5);
  execute("update events set content = '{\"ei\":\"cut' where event_id = 2");
  execute("update events set content = '[1,2]' where event_id = 4");
  store()->sendCachedEvents(-1);
  ASSERT_TRUE(waitFor([&] { return query("select * from events").empty(); }));
  settle();
  EXPECT_EQ(server.rejectedCount(), 0u);
  ASSERT_EQ(server.reports().size(), 1u);
  EXPECT_EQ(idsOf(server.events()), (std::vector<std::string>{"e0", "e2", "e4"}));
}

TEST_F(PLOStatStoreTest, ManyDamagedRowsAreDeletedInAFewStatementsAndTheGoodEventsStillLeave) {
  putAll(5);
  // Twenty thousand damaged rows, older than the good ones, so that they fill the first batches.
  execute(
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
      "insert into events(content, status, send_count, ts) select 'cut{', 1, 0, 900 from n");
  store()->launch();
  store()->waitForQueue();
  const uint64_t before = PLOStatStoreAccess::statementCount();
  store()->sendCachedEvents(-1);
  ASSERT_TRUE(waitFor([&] { return storedRows() == 0; }, 60));
  settle();
  EXPECT_EQ(idsOf(server.events()), (std::vector<std::string>{"e0", "e1", "e2", "e3", "e4"}));
  // A round of loading and deleting per batch of damaged rows would take tens of thousands.
  EXPECT_LT(PLOStatStoreAccess::statementCount() - before, 60u);
  EXPECT_EQ(store()->storedEventCount(), 0u);
}

TEST_F(PLOStatStoreTest, EventsLeftSendingByACrashAreSentAgainAfterTheNextLaunch) {
  putAll(5);
  execute("update events set status = 2 where event_id <= 3");
  restartProcess();
  store()->launch();
  store()->waitForQueue();
  EXPECT_EQ(store()->storedEventCount(), 5u);
  store()->sendCachedEvents(-1);
  ASSERT_TRUE(waitFor([&] { return server.eventCount() == 5; }));
  settle();
  EXPECT_TRUE(query("select * from events").empty());
}

TEST_F(PLOStatStoreTest, AStoredRowWithoutTextIsClearedWithoutAPost) {
  store()->waitForQueue();
  execute("insert into events(content, status, send_count, ts) values('', 1, 0, 5)");
  restartProcess();
  store()->launch();
  store()->sendCachedEvents(-1);
  ASSERT_TRUE(waitFor([&] { return query("select * from events").empty(); }));
  settle();
  EXPECT_TRUE(server.reports().empty());
}

TEST_F(PLOStatStoreTest, ALegacyFileIsRenamedAndTheStoreOpensItsOwn) {
  const std::string documents = root() + "/Documents";
  std::ofstream(documents + "/parley_analysis.db") << "old";
  std::ofstream(documents + "/.parley_analysis.db") << "older";
  put(1, "new");
  store()->waitForQueue();
  EXPECT_FALSE(std::filesystem::exists(documents + "/parley_analysis.db"));
  std::ifstream renamed(documents + "/.parley_analysis.db");
  std::string text;
  renamed >> text;
  EXPECT_EQ(text, "old");
  EXPECT_EQ(storedIds(), (std::vector<std::string>{"new"}));
}

TEST_F(PLOStatStoreTest, AFileThatIsNoDatabaseIsReplacedByFreshTables) {
  std::ofstream(PLOStatStore::databasePath()) << std::string(4096, 'g');
  put(1, "after");
  store()->waitForQueue();
  EXPECT_EQ(storedIds(), (std::vector<std::string>{"after"}));
  EXPECT_EQ(query("select count(*) from sqlite_master where type='table'")[0][0], "4")
      << "events, user, config and the sequence table";
}

TEST_F(PLOStatStoreTest, ACorruptFileIsReplacedOnceAndTheStoreGoesOn) {
  putAll(50);
  restartProcess();
  // Damage every page after the first.
  {
    std::fstream file(PLOStatStore::databasePath(),
                      std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4096);
    const std::string junk(4096 * 3, '\x5a');
    file.write(junk.data(), junk.size());
  }
  EXPECT_EQ(store()->getStoredEventsNum(), 0u);
  put(2, "fresh");
  store()->waitForQueue();
  EXPECT_EQ(storedIds(), (std::vector<std::string>{"fresh"}));
  EXPECT_EQ(store()->storedEventCount(), 1u);
}

TEST_F(PLOStatStoreTest, ACorruptFileThatCannotBeRemovedLeavesTheStoreWithoutADatabase) {
  std::ofstream(PLOStatStore::databasePath()) << std::string(4096, 'g');
  int attempts = 0;
  PLOStatStoreAccess::setRemoveFile([&](const std::string&) {
    ++attempts;
    return false;
  });
  bool called = false;
  store()->storeEvent(eventAt(1, "lost"), false, [&] { called = true; });
  store()->waitForQueue();
  PLOStatStoreAccess::setRemoveFile([](const std::string& path) {
    std::error_code ec;
    return std::filesystem::remove(path, ec);
  });
  EXPECT_TRUE(called) << "the block is called without a database";
  EXPECT_EQ(attempts, 1) << "no loop of recoveries";
  EXPECT_FALSE(store()->hasDatabase());
  EXPECT_EQ(store()->getStoredEventsNum(), 0u);
  EXPECT_EQ(store()->getStatCommonUDID(), "");
}

TEST_F(PLOStatStoreTest, QuotesAndLongTextsReachTheTablesThroughBoundParameters) {
  PLOStatUser user = store()->loadUser();
  EXPECT_EQ(std::pair(user.uid, user.userType),
            std::pair(PLOStatHelper::getInstance()->getEnv().deviceid, 0));
  user.appVer = "2.0'); drop table events; --";
  user.userType = 2;
  store()->storeUser(user);
  store()->waitForQueue();
  const PLOStatUser again = store()->loadUser();
  EXPECT_EQ(std::pair(again.appVer, again.userType), std::pair(user.appVer, 2));
  EXPECT_EQ(storedRows(), 0) << "the table is still there";

  auto config = std::make_shared<PLOStatDataConfig>();
  config->type = 1;
  config->content = R"({"note":"it's )" + std::string(3000, 'q') + R"("})";
  config->md5 = "m'd5";
  config->version = 7;
  store()->storeConfig(config);
  store()->waitForQueue();
  std::vector<std::shared_ptr<PLOStatDataConfig>> loaded;
  store()->loadConfig([&](std::shared_ptr<PLOStatDataConfig> c) { loaded.push_back(c); });
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0]->content, config->content) << "nothing is cut at 1023 characters";
  EXPECT_EQ(loaded[0]->md5, "m'd5");
  EXPECT_EQ(loaded[0]->version, 7u);
  EXPECT_EQ(store()->getStatCommonUDID(), user.uid);
}
