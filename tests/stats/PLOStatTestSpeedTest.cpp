#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatTestSpeed.h"
#include "stats/LoopbackListener.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatTestSpeedTest : public StatTestFixture {};

Value json(const std::string& text) { return Value::fromJSON(text).value_or(Value()); }
}  // namespace

TEST_F(PLOStatTestSpeedTest, EntriesSplitAtSemicolonsAndAnEntryWithoutPortGetsNone) {
  EXPECT_EQ(PLOStatTestSpeed::splitSpeedString("127.0.0.1,8080;;probe.example"),
            (std::vector<std::string>{"http://127.0.0.1:8080", "http://probe.example"}));
  EXPECT_TRUE(PLOStatTestSpeed::splitSpeedString(";;").empty());
}

TEST_F(PLOStatTestSpeedTest, AProbeThatConnectsReportsAddressStartAndTime) {
  LoopbackListener listener;
  ASSERT_NE(listener.port(), 0);
  SimulatedNetwork::shared().setHostAddress("speed.example", "127.0.0.1");
  auto probe = PLOStatTestSpeed::taSocket(
      NSString::stringWithFormat("http://speed.example:%d", listener.port()));
  Value result = json(probe.toJsonString());
  EXPECT_EQ(result["dm"].str(), "speed.example");
  EXPECT_EQ(result["pt"].intValue(), listener.port());
  EXPECT_EQ(result["rip"].str(), "127.0.0.1");
  EXPECT_EQ(result["st"].intValue(), 0);
  EXPECT_EQ(result["ts"].longLongValue(), 1700000000);
  EXPECT_TRUE(result["tm"].isNumber());  // the virtual clock stands still: 0
}

TEST_F(PLOStatTestSpeedTest, FailedProbesKeepHostPortAndStatusOnly) {
  // A name that answers only after the 10-second limit, and a port on which nothing listens.
  SimulatedNetwork::shared().setHostAddress("slow.example", "127.0.0.1", 11);
  auto late = PLOStatTestSpeed::taSocket("http://slow.example");
  EXPECT_EQ(json(late.toJsonString()), json(R"({"dm":"slow.example","pt":80,"st":-1})"));
  EXPECT_EQ(late.description(),
            "StatTestSpeed info is dm:slow.example , pt:80 , rip:(null) , st:-1 , ts:(null) , "
            "tm:(null) ");

  int closed = LoopbackListener::closedPort();
  auto refused =
      PLOStatTestSpeed::taSocket(NSString::stringWithFormat("http://127.0.0.1:%d", closed));
  EXPECT_EQ(json(refused.toJsonString()),
            json(NSString::stringWithFormat(R"({"dm":"127.0.0.1","pt":%d,"st":-1})", closed)));

  auto unknown = PLOStatTestSpeed::taSocket("http://unknown.example:81");
  EXPECT_EQ(json(unknown.toJsonString())["st"].intValue(), -1);
}

TEST_F(PLOStatTestSpeedTest, ANameAnsweredWithinTheLimitStillConnects) {
  LoopbackListener listener;
  SimulatedNetwork::shared().setHostAddress("nine.example", "127.0.0.1", 9);
  auto probe = PLOStatTestSpeed::taSocket(
      NSString::stringWithFormat("http://nine.example:%d", listener.port()));
  EXPECT_EQ(probe.st, 0);
}

TEST_F(PLOStatTestSpeedTest, TheSpeedTestSetsResultsNetworkKindAndCarrier) {
  LoopbackListener listener;
  SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  PLOStatTestSpeed::speedTest(
      NSString::stringWithFormat("127.0.0.1,%d;;slow.example,1", listener.port()));
  auto config = PLOStatConfig::getInstance();
  Value results = json(config->sp());
  ASSERT_EQ(results.count(), 2u);
  EXPECT_EQ(results[0]["st"].intValue(), 0);
  EXPECT_EQ(results[1]["st"].intValue(), -1);
  EXPECT_EQ(config->cn(), "CellNetwork");
  EXPECT_EQ(config->op(), "00101");
}

TEST_F(PLOStatTestSpeedTest, CurrentTimeIsLocalWithMilliseconds) {
  // The device's zone is Shanghai's, eight hours ahead of the virtual clock's UTC start.
  EXPECT_EQ(PLOStatTestSpeed::GetCurTime(), "2023/11/15 06:13:20:000");
}
