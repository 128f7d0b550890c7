// What the statistics store costs beyond SQLite: 10,000 events recorded through the store (each
// queued on its serial queue, encoded and inserted on its own with the kept prepared statement,
// under the module's lock) against bare SQLite doing the same 10,000 inserts with the same
// statement, file, pragmas and busy timeout, one after another. Each run starts from an empty
// file. The report is the store's throughput over the bare one.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatCustomEvent.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/foundation/Sandbox.h"

namespace {

constexpr int kEvents = 10000;

std::vector<std::shared_ptr<PLOStatCustomEvent>> makeEvents() {
  std::vector<std::shared_ptr<PLOStatCustomEvent>> events;
  events.reserve(kEvents);
  for (int i = 0; i < kEvents; ++i) {
    auto event = std::make_shared<PLOStatCustomEvent>();
    event->eventID = "bench-" + std::to_string(i);
    event->kvs = Value::dict({{"screen", "shop"}, {"n", Value(i)}});
    events.push_back(std::move(event));
  }
  return events;
}

// A fresh sandbox for each run, so that both sides start from an empty file.
void freshSandbox() {
  static std::string root;
  if (!root.empty()) std::filesystem::remove_all(root);
  root = Sandbox::makeTemporaryDirectory("stats-bench");
  Sandbox::setRoot(root);
}

void BM_StatsStoreInserts(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    PLOStat::resetForTesting();
    freshSandbox();
    // Room for every event: the cap would otherwise erase the oldest ones on the way.
    PLOStatConfig::getInstance()->setMaxStoreEventCount(2 * kEvents);
    auto store = PLOStatStore::getInstance();
    const auto events = makeEvents();
    state.ResumeTiming();
    for (const auto& event : events) store->storeEvent(event, false, nullptr);
    store->waitForQueue();
    state.PauseTiming();
    if (store->storedEventCount() != kEvents) state.SkipWithError("events were lost");
    state.ResumeTiming();
  }
  PLOStat::resetForTesting();
}

void BM_BareSqliteInserts(benchmark::State& state) {
  constexpr const char* kCreate =
      "create table if not exists events(event_id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
      "content TEXT, status INTEGER, send_count INTEGER, ts INTEGER)";
  constexpr const char* kInsert =
      "insert into events(content, status, send_count,ts) values(@CONTENT, @STATUS, @SENDCOUNT, "
      "@TS)";
  for (auto _ : state) {
    state.PauseTiming();
    PLOStat::resetForTesting();
    freshSandbox();
    std::vector<std::string> texts;
    std::vector<uint32_t> seconds;
    for (const auto& event : makeEvents()) {
      texts.push_back(event->toJsonString());
      seconds.push_back(event->ts());
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2(PLOStatStore::databasePath().c_str(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, kCreate, nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, kInsert, -1, &insert, nullptr);
    state.ResumeTiming();
    for (int i = 0; i < kEvents; ++i) {
      sqlite3_bind_text(insert, 1, texts[i].c_str(), static_cast<int>(texts[i].size()),
                        SQLITE_TRANSIENT);
      sqlite3_bind_int64(insert, 2, 1);
      sqlite3_bind_int64(insert, 3, 0);
      sqlite3_bind_int64(insert, 4, seconds[i]);
      if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("an insert failed");
      sqlite3_clear_bindings(insert);
      sqlite3_reset(insert);
    }
    state.PauseTiming();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.ResumeTiming();
  }
}

// Each run is 10,000 synchronous inserts: a few repetitions give a steady median.
BENCHMARK(BM_BareSqliteInserts)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StatsStoreInserts)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

const bool kRegistered = registerBenchReport([](const BenchMedians& medians) {
  auto bare = medians.find("BM_BareSqliteInserts");
  auto store = medians.find("BM_StatsStoreInserts");
  if (bare == medians.end() || store == medians.end() || store->second <= 0) return;
  std::printf("store throughput ratio (store / bare SQLite): %.3f (target >= 0.70)\n",
              bare->second / store->second);
});

}  // namespace
