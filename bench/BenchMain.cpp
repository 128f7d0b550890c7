// tovira-bench's entry: starts the shared devserver, runs every registered benchmark and then
// prints each case's ratio lines; exits non-zero when a ratio misses its target or a case fails.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Config.h"
#include "devserver/DevServer.h"
#include "platform/foundation/NSLog.h"

namespace {

DevServer* gServer = nullptr;
int gMisses = 0;
int gFailedCases = 0;

std::vector<std::function<void(const BenchMedians&)>>& reports() {
  static std::vector<std::function<void(const BenchMedians&)>> all;
  return all;
}

// Keeps the median real time of each benchmark for the ratios. Colours only go to a terminal,
// so that a log or a pipe gets plain text.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
  BenchMedians medians;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      // A case that failed has no ratio to print, but the run has not held its targets either.
      if (run.error_occurred) ++gFailedCases;
      if (run.aggregate_name == "median")
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

DevServer& benchServer() { return *gServer; }

bool registerBenchReport(std::function<void(const BenchMedians&)> report) {
  reports().push_back(std::move(report));
  return true;
}

void printBenchRatio(const BenchMedians& medians, const char* label, const std::string& numerator,
                     const std::string& denominator, double target) {
  auto num = medians.find(numerator);
  auto den = medians.find(denominator);
  if (num == medians.end() || den == medians.end() || den->second <= 0) return;
  printBenchVerdict(label, num->second / den->second, BenchBound::AtMost, target);
}

void printBenchVerdict(const char* label, double ratio, BenchBound bound, double target,
                       const std::string& note) {
  const bool holds = bound == BenchBound::AtMost ? ratio <= target : ratio >= target;
  if (!holds) ++gMisses;
  std::printf("%s: %.3f (target %s %.2f%s%s): %s\n", label, ratio,
              bound == BenchBound::AtMost ? "<=" : ">=", target, note.empty() ? "" : "; ",
              note.c_str(), holds ? "holds" : "misses");
}

// The hostile-input case runs tovira-bench again to read one file in a process of its own.
int benchReadOne(const char* how, const char* path);

int main(int argc, char** argv) {
  NSLogSink::setEcho(false);
  if (argc == 4 && std::string(argv[1]) == "--read-one") return benchReadOne(argv[2], argv[3]);
  DevServer server;
  if (!server.start()) {
    std::fprintf(stderr, "devserver could not start\n");
    return 1;
  }
  gServer = &server;
  Config::setApiHost(server.baseUrl());

  benchmark::Initialize(&argc, argv);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  for (const auto& report : reports()) report(reporter.medians);
#ifndef NDEBUG
  std::printf("note: built without optimisation; measure with -DCMAKE_BUILD_TYPE=Release\n");
#endif
  if (gMisses > 0) std::printf("%d ratio(s) miss their target\n", gMisses);
  if (gFailedCases > 0) std::printf("%d case(s) failed\n", gFailedCases);
  return gMisses > 0 || gFailedCases > 0 ? 1 : 0;
}
