#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatTestSpeed.h"
#include "platform/foundation/NSURL.h"
#include "stats/LoopbackListener.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatTestSpeedTest : public StatTestFixture {};

Value json(const std::string& text) { return Value::fromJSON(text).value_or(Value()); }
PLOStatTestSpeed taSocket(const std::string& url) {
  return PLOStatDispatcher::getInstance()->taSocket(NSURL::URLWithString(url));
}
}  // namespace

TEST_F(PLOStatTestSpeedTest, EntriesSplitAtSemicolonsAndAnEntryWithoutPortGetsNone) {
  EXPECT_EQ(PLOStatDispatcher::getInstance()->splitSpeedString("127.0.0.1,8080;;probe.example"),
            (std::vector<std::string>{"http://127.0.0.1:8080", "http://probe.example"}));
  EXPECT_TRUE(PLOStatDispatcher::getInstance()->splitSpeedString(";;").empty());
}

TEST_F(PLOStatTestSpeedTest, AProbeThatConnectsWithinTheLimitReportsAddressStartAndTime) {
  LoopbackListener listener;
  ASSERT_NE(listener.port(), 0);
  // The name is answered after nine seconds, within the limit; the virtual clock stands still.
  SimulatedNetwork::shared().setHostAddress("speed.example", "127.0.0.1", 9);
  auto probe = taSocket(NSString::stringWithFormat("http://speed.example:%d", listener.port()));
  EXPECT_EQ(json(probe.toJsonString()),
            json(NSString::stringWithFormat(
                R"({"dm":"speed.example","pt":%d,"rip":"127.0.0.1","st":0,"ts":1700000000,"tm":0})",
                listener.port())));
}

TEST_F(PLOStatTestSpeedTest, FailedProbesKeepHostPortAndStatusOnly) {
  // A name that answers only after the 10-second limit, and a port on which nothing listens.
  SimulatedNetwork::shared().setHostAddress("slow.example", "127.0.0.1", 11);
  auto late = taSocket("http://slow.example");
  EXPECT_EQ(json(late.toJsonString()), json(R"({"dm":"slow.example","pt":80,"st":-1})"));
  EXPECT_EQ(late.description(),
            "StatTestSpeed info is dm:slow.example , pt:80 , rip:(null) , st:-1 , ts:(null) , "
            "tm:(null) ");

  int closed = LoopbackListener::closedPort();
  auto refused = taSocket(NSString::stringWithFormat("http://127.0.0.1:%d", closed));
  EXPECT_EQ(json(refused.toJsonString()),
            json(NSString::stringWithFormat(R"({"dm":"127.0.0.1","pt":%d,"st":-1})", closed)));

  auto unknown = taSocket("http://unknown.example:81");
  EXPECT_EQ(json(unknown.toJsonString())["st"].intValue(), -1);
}

TEST_F(PLOStatTestSpeedTest, TheSpeedTestNamesACellularNetwork) {
  // Probes, Wi-Fi and carrier as the configuration holder's tests see them arrive in the event.
  SimulatedNetwork::shared().setKind(NetworkKind::Cellular);
  PLOStatDispatcher::getInstance()->speedTest(";;");
  EXPECT_EQ(PLOStatConfig::getInstance()->sp(), "[]");
  EXPECT_EQ(PLOStatConfig::getInstance()->cn(), "CellNetwork");
}

TEST_F(PLOStatTestSpeedTest, CurrentTimeIsLocalWithMilliseconds) {
  // The device's zone is Shanghai's, eight hours ahead of the virtual clock's UTC start.
  EXPECT_EQ(PLOStatDispatcher::getInstance()->GetCurTime(), "2023/11/15 06:13:20:000");
}
