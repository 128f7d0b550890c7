// The statistics segment at the end of the scripted walk, run after the walk's earlier segments
// as the simulator runs it.

#include "WalkRunner.h"
#include "core/Config.h"
#include "parley/PLApiRegister.h"
#include "parley/StatPL.h"

class StatsWalkTest : public WalkTest {
 protected:
  void SetUp() override {
    WalkTest::SetUp();
    resetStatistics();
    ASSERT_TRUE(stats.start());
    stats.setConfiguration(1, Value::dict({{"rs", Value(3)}}), 1, "demo");
  }

  void TearDown() override {
    resetStatistics();
    stats.stop();
    WalkTest::TearDown();
  }

  static void resetStatistics() {
    PLApiRegister::resetForTesting();
    StatPL::resetForTesting();
    PLOStat::resetForTesting();
  }

  StatServer stats;
};

TEST_F(StatsWalkTest, TheWalkShowsTheRegistrationRecordAndTheBackgroundEventArriving) {
  WalkRunner walk(server(), &stats);
  const auto steps = walk.steps(WalkRunner::walkScript());

  const std::string record = outputOf(steps, "pasteboard parley_register");
  EXPECT_EQ(reportIn(record), "[parley_register]");
  EXPECT_TRUE(contains(record, "\n  0 content = {")) << record;
  const std::string appId = Config::kParleyAppId;
  EXPECT_TRUE(contains(record, "\"" + appId + "\":{\"appID\":\"" + appId + "\"")) << record;
  EXPECT_TRUE(contains(record, "\"laststLaunchTime\":"));

  EXPECT_EQ(reportOf(steps, "background"), "the app went to the background and came back");
  const std::string received = outputOf(steps, "stats");
  EXPECT_TRUE(contains(received, "et=1000 onBackground_PL\n")) << received;
  EXPECT_TRUE(contains(received, "et=2\n")) << "the session of the launch";
  EXPECT_TRUE(contains(received, "last configuration: {\"1\":")) << received;
}
