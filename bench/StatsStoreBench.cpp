// What the statistics store costs beyond SQLite: 10,000 events recorded through the store (each
// queued on its serial queue, encoded and inserted on its own with the kept prepared statement,
// under the module's lock) against bare SQLite doing the same 10,000 inserts with the same
// statement, file, pragmas and busy timeout, one after another. Every insert waits for the disk,
// whose speed drifts on a shared machine, so each iteration runs both, in alternating order, from
// an empty file each; the report compares the medians of the two.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
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
constexpr const char* kCreate =
    "create table if not exists events(event_id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
    "content TEXT, status INTEGER, send_count INTEGER, ts INTEGER)";
constexpr const char* kInsert =
    "insert into events(content, status, send_count,ts) values(@CONTENT, @STATUS, @SENDCOUNT, @TS)";

std::vector<double> gStoreSeconds;
std::vector<double> gBareSeconds;

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

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

// A fresh sandbox, so that every run starts from an empty file.
void freshSandbox() {
  static std::string root;
  if (!root.empty()) std::filesystem::remove_all(root);
  root = Sandbox::makeTemporaryDirectory("stats-bench");
  Sandbox::setRoot(root);
}

// Seconds for 10,000 events through the store; negative when events were lost.
double runStore() {
  PLOStat::resetForTesting();
  freshSandbox();
  // Room for every event: the cap would otherwise erase the oldest ones on the way.
  PLOStatConfig::getInstance()->setMaxStoreEventCount(2 * kEvents);
  auto store = PLOStatStore::getInstance();
  const auto events = makeEvents();
  const auto start = Clock::now();
  for (const auto& event : events) store->storeEvent(event, false, nullptr);
  store->waitForQueue();
  const double seconds = secondsSince(start);
  const bool complete = store->storedEventCount() == kEvents;
  PLOStat::resetForTesting();
  return complete ? seconds : -1;
}

// Seconds for the same 10,000 inserts with bare SQLite; negative when one failed.
double runBare() {
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
  bool ok = insert != nullptr;
  const auto start = Clock::now();
  for (int i = 0; ok && i < kEvents; ++i) {
    sqlite3_bind_text(insert, 1, texts[i].c_str(), static_cast<int>(texts[i].size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 2, 1);
    sqlite3_bind_int64(insert, 3, 0);
    sqlite3_bind_int64(insert, 4, seconds[i]);
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_clear_bindings(insert);
    sqlite3_reset(insert);
  }
  const double elapsed = secondsSince(start);
  sqlite3_finalize(insert);
  sqlite3_close(db);
  return ok ? elapsed : -1;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// The benchmark's time is the store's; the bare runs of the same iterations are kept beside it.
void BM_StatsStoreInserts(benchmark::State& state) {
  int64_t iteration = 0;
  for (auto _ : state) {
    double store = 0;
    double bare = 0;
    if (iteration++ % 2 == 0) {
      store = runStore();
      bare = runBare();
    } else {
      bare = runBare();
      store = runStore();
    }
    if (store < 0 || bare < 0) {
      state.SkipWithError(store < 0 ? "the store lost events" : "a bare insert failed");
      break;
    }
    state.SetIterationTime(store);
    gStoreSeconds.push_back(store);
    gBareSeconds.push_back(bare);
  }
}

BENCHMARK(BM_StatsStoreInserts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

const bool kRegistered = registerBenchReport([](const BenchMedians&) {
  if (gStoreSeconds.empty()) return;
  const double store = median(gStoreSeconds);
  const double bare = median(gBareSeconds);
  std::printf(
      "statistics store: %.0f ms per 10,000 events; bare SQLite: %.0f ms per 10,000 "
      "inserts (medians of %zu)\n",
      store * 1000, bare * 1000, gStoreSeconds.size());
  printBenchVerdict("store throughput ratio (store / bare SQLite)", store > 0 ? bare / store : 0.0,
                    BenchBound::AtLeast, 0.70);
});

}  // namespace
