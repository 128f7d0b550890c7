#pragma once
// Drives the simulator's command loop against the test's devserver, as tovira-sim drives it
// against its built-in server: "requests" lists what the server received as "api: username"
// lines, "reply" scripts the server's next reply to an api, and "stats" (when given a
// statistics server) shows what that server received.
//
//   WalkRunner walk(server());
//   const auto steps = walk.steps(WalkRunner::walkScript());
//   EXPECT_EQ(reportOf(steps, "alert"), "提示 | 充值成功 | [知道了]");
//
// Everything runs on the test's thread; the servers must outlive the runner. WalkTest is the
// fixture of the walk's tests: the whole app against the demo replies.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <source_location>
#include <sstream>
#include <string>
#include <vector>

#include "app/SimCommandLoop.h"
#include "devserver/DevServer.h"
#include "devserver/StatServer.h"
#include "shell/ShellTestFixture.h"

class WalkRunner {
 public:
  // One line of a script and what the loop printed for it ("" for comments and blank lines).
  struct Step {
    std::string command;
    std::string output;
  };

  explicit WalkRunner(DevServer& server, StatServer* stats = nullptr)
      : loop_(hooks(server, stats)) {}
  WalkRunner(const WalkRunner&) = delete;
  WalkRunner& operator=(const WalkRunner&) = delete;

  SimCommandLoop& loop() { return loop_; }

  // The scripted walk, resources/walk.txt, whole; fails the test at the caller when it is missing.
  static std::string walkScript(std::source_location at = std::source_location::current()) {
    std::ifstream file(std::string(TOVIRA_RESOURCES) + "/walk.txt");
    if (!file) ADD_FAILURE_AT(at.file_name(), at.line()) << "resources/walk.txt is missing";
    std::stringstream script;
    script << file.rdbuf();
    return script.str();
  }

  // Runs the script as tovira-sim runs its input (up to "quit"); answers the whole output.
  std::string run(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    loop_.run(in, out);
    return out.str();
  }

  // Runs the script one line at a time; answers every line with its own output, in order.
  std::vector<Step> steps(const std::string& script) {
    std::vector<Step> out;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) out.push_back({line, loop_.execute(line)});
    return out;
  }

 private:
  static SimServerHooks hooks(DevServer& server, StatServer* stats) {
    SimServerHooks h;
    h.requests = [&server] {
      std::vector<std::string> lines;
      for (const auto& r : server.requests()) lines.push_back(r.api + ": " + r.value("username"));
      return lines;
    };
    h.reply = [&server](const std::string& api, const std::string& json) {
      server.replyOnce(api, json);
    };
    if (!stats) return h;
    h.stats = statsSummaryHook(*stats);
    h.statsReportUrl = stats->reportUrl();
    return h;
  }

  SimCommandLoop loop_;
};

using WalkSteps = std::vector<WalkRunner::Step>;

// The output of the first step that ran `command` after the first step that ran `after` (from
// the start when `after` is empty): the echo, the report and the screen.
inline std::string outputOf(const WalkSteps& steps, const std::string& command,
                            const std::string& after = "") {
  auto ran = [](const std::string& c) { return [&c](const auto& s) { return s.command == c; }; };
  auto from = after.empty() ? steps.begin() : std::find_if(steps.begin(), steps.end(), ran(after));
  if (!after.empty() && from != steps.end()) ++from;
  auto it = std::find_if(from, steps.end(), ran(command));
  return it == steps.end() ? "(missing: " + command + ")" : it->output;
}

// The first line that a command's output reports (the line after its echo).
inline std::string reportIn(const std::string& output) {
  std::istringstream lines(output);
  std::string echo, report;
  std::getline(lines, echo);
  std::getline(lines, report);
  return echo.rfind("> ", 0) == 0 ? report : echo;
}

inline std::string reportOf(const WalkSteps& steps, const std::string& command,
                            const std::string& after = "") {
  return reportIn(outputOf(steps, command, after));
}

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class WalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    useDemoReplies();
  }
};
