// Every test executable is built with this file (CMakeLists.txt adds it to each test target):
// when the tests have run, it fails the run if a folder that this process made with
// Sandbox::makeTemporaryDirectory is still there, naming the test during which it was made.
// A test, and the code it drives, removes every temporary folder it made; a forgotten one piles
// up in the temporary directory at every run of the suite.
//
// It looks only at the folders that this process made, never at the temporary directory as a
// whole, so that tests running in parallel, and other jobs sharing it, cannot make it fail.
// A child process (the simulator run by the sim tests) keeps its own list: the tests that start
// one give it a temporary directory of its own and check that it is left empty.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/foundation/Sandbox.h"

namespace {

// Which test was running when each folder was made, for the failure's message.
std::map<std::string, std::string>& madeDuring() {
  static std::map<std::string, std::string> tests;
  return tests;
}

class TemporaryFolderListener : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    before_ = Sandbox::temporaryDirectoriesMade().size();
  }
  void OnTestEnd(const ::testing::TestInfo& info) override {
    const std::vector<std::string> made = Sandbox::temporaryDirectoriesMade();
    for (size_t i = before_; i < made.size(); ++i)
      madeDuring()[made[i]] = std::string(info.test_suite_name()) + "." + info.name();
  }

 private:
  size_t before_ = 0;
};

class TemporaryFolderEnvironment : public ::testing::Environment {
 public:
  // Runs after every test and every suite's TearDownTestSuite, so that a folder kept for a
  // whole suite counts only when the suite, too, left it behind.
  void TearDown() override {
    for (const std::string& folder : Sandbox::temporaryDirectoriesMade()) {
      std::error_code ec;
      if (!std::filesystem::exists(folder, ec) && !ec) continue;
      auto it = madeDuring().find(folder);
      const std::string when = it == madeDuring().end()
                                   ? "outside any test (a suite's set-up, or the program's)"
                                   : "during " + it->second;
      ADD_FAILURE() << "temporary folder left behind: " << folder << " (made " << when << ")";
    }
  }
};

// GoogleTest keeps what is registered here until it runs the tests; its registry is made on
// first use, so the order of static initialisers does not matter.
[[maybe_unused]] const bool kTemporaryFolderGuardRegistered = [] {
  ::testing::AddGlobalTestEnvironment(new TemporaryFolderEnvironment);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TemporaryFolderListener);
  return true;
}();

}  // namespace
