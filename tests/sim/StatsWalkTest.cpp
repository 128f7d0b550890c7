#include <fstream>
#include <sstream>

#include "app/SimCommandLoop.h"
#include "core/Config.h"
#include "devserver/StatServer.h"
#include "parley/PLApiRegister.h"
#include "parley/StatPL.h"
#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/ShellTestFixture.h"

// The statistics segment at the end of the scripted walk, run after the walk's earlier segments
// as the simulator runs it.
class StatsWalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    resetStatistics();
    useDemoReplies();
    ASSERT_TRUE(stats.start());
    stats.setConfiguration(1, Value::dict({{"rs", Value(3)}}), 1, "demo");
  }

  void TearDown() override {
    resetStatistics();
    stats.stop();
    ShellTestFixture::TearDown();
  }

  static void resetStatistics() {
    PLApiRegister::resetForTesting();
    StatPL::resetForTesting();
    PLOStat::resetForTesting();
  }

  SimServerHooks hooks() {
    SimServerHooks h;
    h.requests = [this] {
      std::vector<std::string> lines;
      for (const auto& r : server().requests()) lines.push_back(r.api);
      return lines;
    };
    h.reply = [this](const std::string& api, const std::string& json) {
      server().replyOnce(api, json);
    };
    h.stats = [this] {
      for (int round = 0; round < 3; ++round) {
        PLOStat::waitForQueue();
        PLOStatStore::getInstance()->waitForQueue();
        PLOStatDispatcher::getInstance()->waitForQueue();
      }
      return stats.summaryLines();
    };
    h.statsReportUrl = stats.reportUrl();
    return h;
  }

  // The output of one command: its report lines, up to the screen dump or the next command.
  static std::string reportOf(const std::string& output, const std::string& command) {
    const size_t at = output.find("> " + command + "\n");
    if (at == std::string::npos) return "(missing)";
    const size_t start = at + command.size() + 3;
    return output.substr(start);
  }

  StatServer stats;
};

TEST_F(StatsWalkTest, TheWalkShowsTheRegistrationRecordAndTheBackgroundEventArriving) {
  std::ifstream walk(resourcesPath() + "/walk.txt");
  ASSERT_TRUE(walk);
  std::ostringstream out;
  SimCommandLoop loop(hooks());
  loop.run(walk, out);
  const std::string output = out.str();

  const std::string record = reportOf(output, "pasteboard parley_register");
  EXPECT_EQ(record.rfind("[parley_register]\n  0 content = {", 0), 0u) << record;
  const std::string appId = Config::kParleyAppId;
  EXPECT_NE(record.find("\"" + appId + "\":{\"appID\":\"" + appId + "\""), std::string::npos)
      << record;
  EXPECT_NE(record.find("\"laststLaunchTime\":"), std::string::npos);

  EXPECT_EQ(reportOf(output, "background").rfind("the app went to the background and came back", 0),
            0u);
  const std::string received = reportOf(output, "stats");
  EXPECT_NE(received.find("et=1000 onBackground_PL\n"), std::string::npos) << received;
  EXPECT_NE(received.find("et=2\n"), std::string::npos) << "the session of the launch";
  EXPECT_NE(received.find("last configuration: {\"1\":"), std::string::npos) << received;

  // The walk ends where the next segment can begin: the tab bar, nothing presented, no alert.
  auto top = Automation::topViewController();
  EXPECT_TRUE(std::dynamic_pointer_cast<UITabBarController>(top)) << (top ? top->className() : "");
  EXPECT_EQ(Automation::alertText(), "");
}
