// tovira-sim as a script's caller sees it: the output ends with a summary line, and the exit
// status says whether every command did what it was asked.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/foundation/Sandbox.h"
#include "support/Watchdog.h"

namespace {

struct SimRun {
  int status = -1;
  std::string output;
  std::string lastLine;
};

class SimExitStatusTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = Sandbox::makeTemporaryDirectory("sim-exit"); }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Runs tovira-sim on `script` with the bundled demo server, standard error folded in.
  SimRun run(const std::string& script) {
    // A sanitizer build starts the app slowly; a hang still fails instead of stalling the run.
    Watchdog watchdog(120, "tovira-sim " + script);
    const std::string path = folder_ + "/script.txt";
    std::ofstream(path) << script;
    // Each run starts as a first start, in a sandbox of its own.
    const std::string sandbox = folder_ + "/app" + std::to_string(++runs_);
    const std::string command =
        "'" TOVIRA_SIM_PATH "' --sandbox '" + sandbox + "' '" + path + "' 2>&1 </dev/null";
    SimRun result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::string text = result.output;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    result.lastLine = text.substr(text.rfind('\n') + 1);
    return result;
  }

  std::string folder_;
  int runs_ = 0;
};

}  // namespace

TEST_F(SimExitStatusTest, AScriptWhoseCommandsAllSucceedExitsZeroWithASummary) {
  const SimRun clean = run("# start\nlaunch\n\ntap 立即体验\nalert\n");
  EXPECT_EQ(clean.status, 0) << clean.output;
  EXPECT_EQ(clean.lastLine, "script: 3 steps, 0 failed");
}

// A broken script used to end with status 0 like a sound one, so that a walk whose taps found
// nothing passed unnoticed. It still runs to its end, so that its output stays comparable.
TEST_F(SimExitStatusTest, AScriptWithAFailingCommandExitsNonZeroAfterRunningToItsEnd) {
  for (const char* failing : {"tap 不存在的按钮", "fly away", "tap #1.7", "press 好"}) {
    SCOPED_TRACE(failing);
    const SimRun broken = run("launch\n" + std::string(failing) + "\ntap 立即体验\n");
    EXPECT_EQ(broken.status, 1) << broken.output;
    EXPECT_NE(broken.output.find("> tap 立即体验\ntapped UIButton"), std::string::npos);
    EXPECT_EQ(broken.lastLine, "script: 3 steps, 1 failed (line 2)");
  }
}
