// What a server call costs the client beyond the network: one run measures the full client road
// (format, sign, encipher, POST over loopback, parse the JSON reply) against a bare POST of the
// same pre-built, enciphered body through the transport alone (Web::httpRequest: libcurl, the form
// field and the status check), and prints the ratio of the two.
//
// The devserver shares the process and does the same work for both requests, which travel the same
// kept-alive connection through Web::httpRequest (so the same server thread answers both). Every
// iteration sends one of each, in turns, and the ratio is taken within each run, from the sums of
// the two: a machine that is busy with other work then slows both alike, instead of whichever case
// happened to run at the time. The printed ratio is the median over every run of both cases.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Config.h"
#include "core/ServerController.h"
#include "core/Tgid.h"
#include "core/Web.h"
#include "devserver/DevServer.h"

namespace {

constexpr const char* kLoginReply =
    R"({"state":"ok","msg":"登录成功","data":{"username":"demo","token":"7d1e0c5a9b3f4e28","gold":"1280.00",)"
    R"("bound_gold":"356.00","is_special":"0","safe_code":2,"inviteurl":"http://127.0.0.1/invite/demo",)"
    R"("bondlist":[{"plat_id":"1","username":"demo_hero"},{"plat_id":"2","username":"demo_mage"}]}})";

// The server keeps every request; forget them now and then so that both runs see the same server.
void trimRecords(int64_t iteration) {
  if ((iteration & 1023) == 0) benchServer().clearRequests();
}

enum class Timed { BarePost, ServerCall };

// full / bare of each run long enough to count.
std::vector<double>& runRatios() {
  static std::vector<double> ratios;
  return ratios;
}

void runPair(benchmark::State& state, Timed timed) {
  using Clock = std::chrono::steady_clock;
  benchServer().reply("login", kLoginReply);
  // The very request that the full call makes, built once.
  const auto data =
      ServerController::jiami(ServerController::parameterString({{"api", "login"},
                                                                 {"password", "demo123"},
                                                                 {"tgid", Tgid::gettgid()},
                                                                 {"username", "demo"}}));
  const std::string url = Config::apiEndpoint();
  int64_t i = 0;
  double bareSum = 0, fullSum = 0;
  for (auto _ : state) {
    Clock::duration bare{}, full{};
    auto barePost = [&] {
      const auto start = Clock::now();
      auto result = Web::httpRequest(url, *data);
      bare = Clock::now() - start;
      if (!result) state.SkipWithError("the post failed");
      benchmark::DoNotOptimize(result);
    };
    auto serverCall = [&] {
      const auto start = Clock::now();
      Value reply = ServerController::loginWithUsername("demo", "demo123");
      full = Clock::now() - start;
      if (!reply["state"].isEqualToString("ok")) state.SkipWithError("the call failed");
      benchmark::DoNotOptimize(reply);
    };
    // Turn about, so that neither always follows the other.
    if (i & 1) {
      barePost();
      serverCall();
    } else {
      serverCall();
      barePost();
    }
    const double bareSeconds = std::chrono::duration<double>(bare).count();
    const double fullSeconds = std::chrono::duration<double>(full).count();
    bareSum += bareSeconds;
    fullSum += fullSeconds;
    state.SetIterationTime(timed == Timed::BarePost ? bareSeconds : fullSeconds);
    trimRecords(++i);
  }
  if (i >= 100 && bareSum > 0) runRatios().push_back(fullSum / bareSum);
}

void BM_BarePost(benchmark::State& state) { runPair(state, Timed::BarePost); }
void BM_ServerCall(benchmark::State& state) { runPair(state, Timed::ServerCall); }

// Loopback round trips are short, so a busy machine moves single runs a lot: take the median of
// several repetitions of each.
BENCHMARK(BM_BarePost)->UseManualTime()->MinTime(0.5)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ServerCall)->UseManualTime()->MinTime(0.5)->Repetitions(7)->ReportAggregatesOnly(true);

const bool kRegistered = registerBenchReport([](const BenchMedians&) {
  auto ratios = runRatios();
  if (ratios.empty()) return;
  std::sort(ratios.begin(), ratios.end());
  const size_t n = ratios.size();
  const double median = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
  printBenchVerdict("client cost ratio (full call / bare POST)", median, BenchBound::AtMost, 1.10,
                    "median of " + std::to_string(n) + " runs");
});

}  // namespace
