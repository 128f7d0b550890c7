#pragma once

#include <functional>
#include <map>
#include <string>

class DevServer;

// Shared pieces of tovira-bench: one devserver on loopback for every case, and the ratio lines
// printed after all benchmarks ran.

// The devserver that every case talks to; started by main() before any benchmark runs, with
// Config's API host pointed at it.
DevServer& benchServer();

// The median real time (in the benchmark's time unit) of every benchmark that ran with
// repetitions, keyed by the benchmark's function name (e.g. "BM_ServerCall").
using BenchMedians = std::map<std::string, double>;

// A report runs after every benchmark has run and prints its own lines (a ratio with its target).
// Register one at namespace scope with a static variable:
//   const bool kRegistered = registerBenchReport([](const BenchMedians& m) { ... });
// Reports print in the order of their names' registration.
bool registerBenchReport(std::function<void(const BenchMedians&)> report);

// Which side of its target a ratio must stay on.
enum class BenchBound { AtMost, AtLeast };

// Prints "label: R (target <= T): holds" (">=" for AtLeast; "misses" when it does not hold),
// with `note` added inside the brackets when given. A miss makes tovira-bench exit non-zero.
void printBenchVerdict(const char* label, double ratio, BenchBound bound, double target,
                       const std::string& note = "");

// Prints the verdict of numerator / denominator (at most `target`) when both ran.
void printBenchRatio(const BenchMedians& medians, const char* label, const std::string& numerator,
                     const std::string& denominator, double target);
