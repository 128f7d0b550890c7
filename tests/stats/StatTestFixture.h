#pragma once

// The fixture of the statistics tests: a watchdog, a temporary sandbox and device folder, a
// fresh main loop on a virtual clock, the network on Wi-Fi, the statistics module as at the
// start of a new process with its debug log on, and a statistics server on loopback that the
// module reports to.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <source_location>
#include <string>
#include <thread>

#include "devserver/StatServer.h"
#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/services/SimulatedNetwork.h"
#include "support/Watchdog.h"

inline void PrintTo(const Value& value, std::ostream* os) { *os << value.toJSON(); }

// Runs sql on the store's file through a connection of its own (read-write: a killed writer
// may have left a journal to roll back) and answers the rows, NULL read as "NULL". A failure
// is reported at the caller's line.
inline std::vector<std::vector<std::string>> query(
    const std::string& sql, std::source_location at = std::source_location::current()) {
  ::testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), sql);
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;
  std::vector<std::vector<std::string>> rows;
  int rc =
      sqlite3_open_v2(PLOStatStore::databasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_busy_timeout(db, 5000);  // the store may be writing meanwhile
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    rows.emplace_back();
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      const auto* text = sqlite3_column_text(stmt, c);
      rows.back().push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
    }
    rc = SQLITE_OK;
  }
  EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}
inline int storedRows(const std::string& where = "",
                      std::source_location at = std::source_location::current()) {
  const auto rows = query("select count(*) from events" + where, at);
  return rows.size() == 1 ? std::stoi(rows[0][0]) : -1;
}

class StatTestFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    watchdog_ = std::make_unique<Watchdog>(
        90, info ? std::string(info->test_suite_name()) + "." + info->name() : "a test");
    // The sandbox first: the module's fresh store opens its database there at once, and before
    // any root is set the platform would make a temporary one that nobody removes.
    root_ = Sandbox::makeTemporaryDirectory("stat-test");
    Sandbox::setRoot(root_);
    PLOStat::resetForTesting();
    NSUserDefaults::resetStandardUserDefaults();
    SimulatedDevice::shared().reset(root_ + "/device");
    SimulatedNetwork::shared().reset();
    RunLoop::main().reset();
    NSLogSink::clear();
    NSLogSink::setEcho(false);
    ASSERT_TRUE(server.start());
    useServer();
  }

  void TearDown() override {
    PLOStat::resetForTesting();
    server.stop();
    RunLoop::main().reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
    watchdog_.reset();
  }

  // Points the (fresh) settings at the server, with the debug log on.
  void useServer() {
    auto config = PLOStatConfig::getInstance();
    config->setStatReportURL(server.reportUrl());
    config->setDebugEnable(true);
  }

  // The end of the process and a new start: memory is lost, files stay.
  void restartProcess() {
    PLOStat::resetForTesting();
    NSUserDefaults::resetStandardUserDefaults();
    useServer();
  }

  // Polls (real time) until done() holds; the module's queues run on their own threads.
  static bool waitFor(const std::function<bool()>& done, double seconds = 20) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  // Lets the work already queued in the module finish: routing, storing and sending.
  static void settle() {
    for (int round = 0; round < 3; ++round) {
      PLOStat::waitForQueue();
      PLOStatStore::getInstance()->waitForQueue();
      PLOStatDispatcher::getInstance()->waitForQueue();
      PLOStatStore::getInstance()->waitForQueue();
    }
  }

  const std::string& root() const { return root_; }

  StatServer server;

 private:
  std::unique_ptr<Watchdog> watchdog_;
  std::string root_;
};
