// tovira-sim as a script's caller sees it: the output ends with a summary line, and the exit
// status says whether every command did what it was asked.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/foundation/Sandbox.h"
#include "support/Watchdog.h"

extern char** environ;

namespace {

struct SimRun {
  int status = -1;
  std::string output;
  std::string firstLine;
  std::string secondLine;
  std::string lastLine;
};

// One argument for the shell, as it is.
std::string shellQuoted(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

class SimExitStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = Sandbox::makeTemporaryDirectory("sim-exit");
    ASSERT_FALSE(folder_.empty());
    // The simulator's own temporary directory, which it must leave as empty as it found it.
    temporaryDirectory_ = folder_ + "/tmp";
    ASSERT_TRUE(std::filesystem::create_directory(temporaryDirectory_));
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Runs tovira-sim on `script` with the bundled demo server, standard error folded in; by
  // default in a sandbox of the run's own, otherwise in the simulator's temporary one.
  SimRun run(const std::string& script, bool ownSandbox = true) {
    const std::string path = folder_ + "/script.txt";
    std::ofstream(path) << script;
    std::vector<std::string> args;
    if (ownSandbox) {
      // Each run starts as a first start, in a sandbox of its own.
      args = {"--sandbox", folder_ + "/app" + std::to_string(++runs_)};
    }
    args.push_back(path);
    return runArgs(args);
  }

  // Runs tovira-sim with these arguments and TMPDIR pointed at a folder of the test's own;
  // the run fails the test when it leaves anything there.
  SimRun runArgs(const std::vector<std::string>& args) {
    // A sanitizer build starts the app slowly; a hang still fails instead of stalling the run.
    Watchdog watchdog(120, "tovira-sim " + (args.empty() ? std::string() : args.back()));
    std::string command = "TMPDIR=" + shellQuoted(temporaryDirectory_) + " '" TOVIRA_SIM_PATH "'";
    for (const auto& arg : args) command += " " + shellQuoted(arg);
    command += " 2>&1 </dev/null";
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
    std::istringstream lines(result.output);
    std::getline(lines, result.firstLine);
    std::getline(lines, result.secondLine);
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_empty(temporaryDirectory_, ec) && !ec)
        << "tovira-sim left files in its temporary directory";
    return result;
  }

  std::string folder_;
  std::string temporaryDirectory_;
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

// A run without --sandbox works in a temporary sandbox, which goes however the run ends.
TEST_F(SimExitStatusTest, ARunWithoutASandboxLeavesNothingInTheTemporaryDirectory) {
  for (const auto& [script, status] : {std::pair<std::string, int>{"launch\n", 0},
                                       std::pair<std::string, int>{"launch\nfly away\n", 1}}) {
    SCOPED_TRACE(script);
    const SimRun ran = run(script, /*ownSandbox=*/false);
    EXPECT_EQ(ran.status, status) << ran.output;
  }
}

// A usage error used to print only the usage, so that the caller had to guess which argument
// was wrong, and a script that could not be read ended with status 1 like a failed step.
TEST_F(SimExitStatusTest, AUsageErrorExitsTwoNamingWhatWasWrongBeforeTheUsage) {
  const std::string dir = folder_;
  std::ofstream(dir + "/a.txt") << "launch\n";
  std::ofstream(dir + "/b.txt") << "launch\n";
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--bogus"}, "tovira-sim: unknown option --bogus"},
      {{"launch.txt", "-x"}, "tovira-sim: unknown option -x"},
      {{dir + "/a.txt", dir + "/b.txt"},
       "tovira-sim: one script file at most, but two were given: " + dir + "/a.txt and " + dir +
           "/b.txt"},
      {{"--walk", "x"},
       "tovira-sim: --walk runs the bundled tour and takes no script file, but x was given"},
      {{"--endpoint"}, "tovira-sim: --endpoint needs a value"},
      {{"--walk", "--sandbox"}, "tovira-sim: --sandbox needs a value"},
      {{""}, "tovira-sim: an empty script file name"},
      {{dir + "/missing.txt"},
       "tovira-sim: cannot read " + dir + "/missing.txt: No such file or directory"},
      {{dir}, "tovira-sim: cannot read " + dir + ": Is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const SimRun ran = runArgs(c.args);
    EXPECT_EQ(ran.status, 2) << ran.output;
    EXPECT_EQ(ran.firstLine, c.message);
    EXPECT_EQ(ran.secondLine.rfind("usage: tovira-sim ", 0), 0u) << ran.output;
  }
}

// A run stopped by a signal used to leave its temporary sandbox behind: only a normal end, or an
// error, removed it. The run is stopped while it waits for its next command on standard input,
// after it has shown that it started (and so made its sandbox).
TEST_F(SimExitStatusTest, ARunStoppedBySigintOrSigtermRemovesItsTemporarySandbox) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    Watchdog watchdog(120, "tovira-sim stopped by a signal");
    int input[2], output[2];
    ASSERT_EQ(pipe2(input, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
    // The first command waits in the pipe: the simulator can never find its input closed early.
    const std::string launch = "launch\n";
    ASSERT_EQ(write(input[1], launch.data(), launch.size()), ssize_t(launch.size()));
    std::vector<std::string> variables = {"TMPDIR=" + temporaryDirectory_};
    for (char** variable = environ; *variable; ++variable)
      if (std::string(*variable).rfind("TMPDIR=", 0) != 0) variables.push_back(*variable);
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = TOVIRA_SIM_PATH;
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, output[1], 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    if (spawned != 0) {
      close(input[1]);
      close(output[0]);
      FAIL() << "cannot start tovira-sim";
    }
    // Reads until the simulator has said that the app started, then to the end of its output.
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while (text.find("the app started\n") == std::string::npos &&
           (n = read(output[0], buffer, sizeof buffer)) > 0)
      text.append(buffer, size_t(n));
    EXPECT_NE(text.find("the app started\n"), std::string::npos) << text;
    kill(pid, signal);
    while ((n = read(output[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    int status = 0;
    waitpid(pid, &status, 0);
    close(input[1]);
    close(output[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << status << text;
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_empty(temporaryDirectory_, ec) && !ec)
        << "tovira-sim left files in its temporary directory";
  }
}
