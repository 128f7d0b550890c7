#pragma once
// Drives the simulator's command loop against the test's devserver, as tovira-sim drives it
// against its built-in server: "requests" lists what the server received as "api: username"
// lines, and "reply" scripts the server's next reply to an api.
//
//   WalkRunner walk(server());
//   const auto lines = walk.run(WalkRunner::walkScript());
//
// Everything runs on the test's thread; the server must outlive the runner.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/SimCommandLoop.h"
#include "devserver/DevServer.h"

class WalkRunner {
 public:
  // One line of a script and what the loop printed for it ("" for comments and blank lines).
  struct Step {
    std::string command;
    std::string output;
  };

  explicit WalkRunner(DevServer& server) : loop_(hooks(server)) {}
  WalkRunner(const WalkRunner&) = delete;
  WalkRunner& operator=(const WalkRunner&) = delete;

  SimCommandLoop& loop() { return loop_; }

  // The scripted walk, resources/walk.txt, whole; fails the test when it is missing.
  static std::string walkScript() {
    std::ifstream file(std::string(TOVIRA_RESOURCES) + "/walk.txt");
    EXPECT_TRUE(file) << "resources/walk.txt is missing";
    std::stringstream script;
    script << file.rdbuf();
    return script.str();
  }

  // Runs the script as tovira-sim runs its input; answers the output as lines.
  std::vector<std::string> run(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    loop_.run(in, out);
    std::vector<std::string> lines;
    std::istringstream split(out.str());
    for (std::string line; std::getline(split, line);) lines.push_back(line);
    return lines;
  }

  // Runs the script one line at a time; answers every line with its own output, in order.
  std::vector<Step> steps(const std::string& script) {
    std::vector<Step> out;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) out.push_back({line, loop_.execute(line)});
    return out;
  }

 private:
  static SimServerHooks hooks(DevServer& server) {
    SimServerHooks h;
    h.requests = [&server] {
      std::vector<std::string> lines;
      for (const auto& r : server.requests()) lines.push_back(r.api + ": " + r.value("username"));
      return lines;
    };
    h.reply = [&server](const std::string& api, const std::string& json) {
      server.replyOnce(api, json);
    };
    return h;
  }

  SimCommandLoop loop_;
};
