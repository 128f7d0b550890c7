// What one more page costs a long list: one game's packages page appends 20 rows per page
// against the devserver. One run measures appending a page to an empty list, the other appending
// page 200 to a list that already shows 199 pages; their ratio shows whether a page's work grows
// with what is already shown.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "devserver/DevServer.h"
#include "games/LibaoDuihuanController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"

namespace {

constexpr int kPageSize = 20;

std::string packagesPage() {
  Value data = Value::array();
  for (int i = 0; i < kPageSize; ++i) {
    data.append(Value::dict({{"qx_cardid", std::to_string(9000 + i)},
                             {"plat_gamename", "星海远征"},
                             {"cardname", "礼包" + std::to_string(i)},
                             {"cardcontent", "金币x1000，体力x50"},
                             {"cardusage", "进入游戏后在设置-兑换码中使用"},
                             {"qx_cardprice", "10"},
                             {"rpercent", std::to_string(i * 5)},
                             {"plat_gameicon", ""},
                             {"plat_id", "1"}}));
  }
  return Value::dict({{"state", "ok"}, {"data", data}}).toJSON();
}

// The packages page with its view loaded and its own first load answered by `firstReply`.
std::shared_ptr<LibaoDuihuanController> openPackages(const std::string& firstReply) {
  benchServer().replyOnce("getCardList", firstReply);
  auto screen = LibaoDuihuanController::create();
  screen->view();
  RunLoop::main().runUntilIdle();
  return screen;
}

// Asks for the next page as a scroll to the end does and waits until its rows are built.
void appendPage(LibaoDuihuanController& screen, benchmark::State& state) {
  const double before = screen.mainscroll()->contentSize().height;
  screen.loadmainscroll();
  RunLoop::main().runUntilIdle();
  if (screen.mainscroll()->contentSize().height != before + 80 * kPageSize)
    state.SkipWithError("the page did not arrive");
}

void BM_PagingFirstPage(benchmark::State& state) {
  RunLoop::main().reset();
  benchServer().reply("getCardList", packagesPage());
  for (auto _ : state) {
    state.PauseTiming();
    auto screen = openPackages(R"({"state":"ok","data":[]})");
    benchServer().clearRequests();
    state.ResumeTiming();
    appendPage(*screen, state);
  }
}

void BM_PagingPage200(benchmark::State& state) {
  RunLoop::main().reset();
  benchServer().reply("getCardList", packagesPage());
  auto screen = openPackages(packagesPage());
  for (int page = 2; page < 200; ++page) appendPage(*screen, state);
  benchServer().clearRequests();
  for (auto _ : state) appendPage(*screen, state);
}

// A fixed number of pages per run keeps the long list near page 200 while it is measured.
BENCHMARK(BM_PagingFirstPage)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PagingPage200)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

const bool kRegistered = registerBenchReport([](const BenchMedians& medians) {
  printBenchRatio(medians, "paging ratio (page 200 / page 1)", "BM_PagingPage200",
                  "BM_PagingFirstPage", 1.5);
});

}  // namespace
