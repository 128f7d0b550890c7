// What a server call costs the client beyond the network: one run measures the full client road
// (format, sign, encipher, POST over loopback, parse the JSON reply) against a bare libcurl POST of
// the same pre-built body to the same devserver, and prints the ratio of the two.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/BenchSupport.h"
#include "core/Config.h"
#include "core/CurlHandle.h"
#include "core/ServerController.h"
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

void BM_ServerCall(benchmark::State& state) {
  benchServer().reply("login", kLoginReply);
  int64_t i = 0;
  for (auto _ : state) {
    Value reply = ServerController::loginWithUsername("demo", "demo123");
    if (!reply["state"].isEqualToString("ok")) state.SkipWithError("the call failed");
    benchmark::DoNotOptimize(reply);
    trimRecords(++i);
  }
}

void BM_BarePost(benchmark::State& state) {
  const auto data = ServerController::jiami(ServerController::parameterString(
      {{"api", "login"}, {"password", "demo123"}, {"tgid", "777"}, {"username", "demo"}}));
  const std::string body = "data=" + *data;
  const std::string url = Config::apiEndpoint();
  CurlHandle curl;
  benchServer().reply("login", kLoginReply);
  int64_t i = 0;
  for (auto _ : state) {
    auto result = curl.post(url, body, Config::timeout());
    if (!result.transferred) state.SkipWithError("the post failed");
    benchmark::DoNotOptimize(result);
    trimRecords(++i);
  }
}

// Loopback round trips are short, so a busy machine moves single runs a lot: take the median of
// several repetitions of each.
BENCHMARK(BM_BarePost)->UseRealTime()->MinTime(0.5)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ServerCall)->UseRealTime()->MinTime(0.5)->Repetitions(7)->ReportAggregatesOnly(true);

const bool kRegistered = registerBenchReport([](const BenchMedians& medians) {
  printBenchRatio(medians, "client cost ratio (full call / bare POST)", "BM_ServerCall",
                  "BM_BarePost", 1.10);
});

}  // namespace
