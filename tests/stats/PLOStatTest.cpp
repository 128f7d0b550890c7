#include <ctime>

#include "StatTestFixture.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatKeyChain.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIApplication.h"

namespace {

VirtualClock& virtualClock() { return dynamic_cast<VirtualClock&>(RunLoop::main().clock()); }

std::vector<int> typesOf(const std::vector<Value>& events) {
  std::vector<int> types;
  for (const auto& e : events) types.push_back(e["et"].intValue());
  return types;
}

// A device time zone other than the one this process runs in, so that a day taken from the
// process would end at another hour.
std::string zoneUnlikeTheProcesss() {
  const time_t t = 1700000000;
  tm local{};
  localtime_r(&t, &local);
  return local.tm_gmtoff == 8 * 3600 ? "UTC" : "Asia/Shanghai";
}

}  // namespace

class PLOStatTest : public StatTestFixture {
 protected:
  void start(const std::string& key = "IPLOPplapp") {
    PLOStat::startWithAppkey(key);
    settle();
  }
  // Events that reached the server, with the session events left out.
  std::vector<Value> reported(bool withSessions = false) {
    std::vector<Value> out;
    for (const auto& e : server.events()) {
      if (withSessions || e["et"].intValue() != 2) out.push_back(e);
    }
    return out;
  }
  void onCellular() { SimulatedNetwork::shared().setKind(NetworkKind::Cellular); }
};

TEST_F(PLOStatTest, StartingNeedsAKeyAndASecondKeyIsAppendedOnce) {
  PLOStat::startWithAppkey("");
  EXPECT_TRUE(
      NSLogSink::contains("[STAT]: [ERROR]Failed to start stat sdk with nil/empty appkey."));
  PLOStat::trackCustomKeyValueEvent("e", Value());
  settle();
  EXPECT_EQ(server.eventCount(), 0u) << "nothing was created";

  start("k1");
  PLOStat::startWithAppkey("k2");
  PLOStat::startWithAppkey("k1");  // a key it has is not added twice
  PLOStat::startWithAppkey("k2");
  EXPECT_EQ(PLOStatConfig::getInstance()->appkey(), "k1|k2");
}

TEST_F(PLOStatTest, TheFirstEventAfterStartCarriesASessionThatASessionEventOpened) {
  start();
  PLOStat::trackCustomKeyValueEvent("onBackground_PL", Value(), "", true);
  settle();
  const auto events = reported(true);
  ASSERT_EQ(typesOf(events), (std::vector<int>{2, 1000}));
  EXPECT_NE(events[1]["si"].intValue(), 0);
  EXPECT_EQ(events[1]["si"], events[0]["si"]);
  EXPECT_EQ(events[1]["ei"].str(), "onBackground_PL");
  EXPECT_EQ(events[1]["ky"].str(), "IPLOPplapp");
}

TEST_F(PLOStatTest, EventsBeforeStartAreBufferedUpTo128AndRoutedFirst) {
  PLOStat::trackCustomKeyValueEvent("gated", Value());  // the kill flag is not yet up
  for (int i = 0; i < 129; ++i) {
    PLOStat::trackDirectPageViewBegin("p" + std::to_string(i), "");
    PLOStat::trackDirectPageViewEnd("p" + std::to_string(i), "", false);
  }
  EXPECT_TRUE(NSLogSink::contains("[ERROR]Too many cached sending events befor STAT started."));
  start();
  PLOStat::trackCustomKeyValueEvent("after", Value());
  settle();
  const auto events = reported();
  // Each direct page view first started a session of its own, before the module existed.
  std::vector<std::string> pages;
  for (const auto& e : events) {
    if (e["et"].intValue() == 1) pages.push_back(e["pi"].str());
  }
  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(pages.front(), "p0");
  EXPECT_LT(pages.size(), 129u);
  EXPECT_EQ(events.back()["ei"].str(), "after");
  for (const auto& e : events) EXPECT_NE(e["ei"].str(), "gated");
}

TEST_F(PLOStatTest, SessionsLastWhileActiveAndEndAfterTheTimeoutOrAtMidnight) {
  start();
  const uint32_t first = PLOStat::currentSessionId();
  ASSERT_NE(first, 0u);
  virtualClock().advance(29);
  PLOStat::startNewSession();
  EXPECT_EQ(PLOStat::currentSessionId(), first) << "within the timeout";
  virtualClock().advance(30);
  PLOStat::startNewSession();
  const uint32_t second = PLOStat::currentSessionId();
  EXPECT_NE(second, first);

  const std::string deviceZone = NSDateFormatter::defaultTimeZone();
  NSDateFormatter::setDefaultTimeZone(zoneUnlikeTheProcesss());
  NSDateFormatter midnight;
  midnight.setDateFormat("yyyy-MM-dd HH:mm:ss");
  virtualClock().set(*midnight.dateFromString("2024-03-02 00:00:00") - 1);
  PLOStat::startNewSession();
  const uint32_t beforeMidnight = PLOStat::currentSessionId();
  virtualClock().advance(1);
  PLOStat::trackError("after midnight");
  EXPECT_NE(PLOStat::currentSessionId(), beforeMidnight)
      << "a new day on the device, a new session";
  NSDateFormatter::setDefaultTimeZone(deviceZone);
  settle();
  EXPECT_EQ(typesOf(reported(true)), (std::vector<int>{2, 2, 2, 2, 3}));
}

TEST_F(PLOStatTest, ThePerSessionCapDropsEventsUntilTheNextSessionAndAnExceptionIsNoSession) {
  PLOStatConfig::getInstance()->setMaxSessionStatReportCount(3);
  start();  // the session event is the first of three
  const uint32_t sid = PLOStat::currentSessionId();
  PLOStat::trackException("NSRangeException", "index 3 beyond bounds", {"0 app", "1 main"});
  PLOStat::trackError("counted third");
  PLOStat::trackError("over the cap");
  EXPECT_EQ(PLOStat::currentSessionId(), sid);
  virtualClock().advance(31);
  PLOStat::startNewSession();
  PLOStat::trackError("next session");
  settle();
  const auto events = reported();
  ASSERT_EQ(events.size(), 3u) << "the exception did not reset the per-session count";
  EXPECT_EQ(events[0]["ea"].intValue(), 1);
  EXPECT_NE(events[0]["si"].intValue(), 0);
  EXPECT_NE(static_cast<uint32_t>(events[0]["si"].intValue()), sid);
  EXPECT_EQ(events[0]["er"].str().substr(0, 22), "index 3 beyond bounds\n");
  EXPECT_EQ(events[1]["er"].str(), "counted third");
  EXPECT_EQ(events[2]["er"].str(), "next session");
}

TEST_F(PLOStatTest, PageViewsHaveReferrersAndLastAtLeastOneSecond) {
  start();
  PLOStat::trackPageViewEnd("never");
  EXPECT_TRUE(NSLogSink::contains("[ERROR]NULL entry for page:never"));
  PLOStat::trackPageViewBegin("home");
  PLOStat::trackPageViewEnd("home");
  PLOStat::trackPageViewBegin("shop");
  virtualClock().advance(5);
  PLOStat::trackPageViewEnd("shop");
  PLOStat::trackPageViewBegin("home");
  virtualClock().set(virtualClock().now() - 100);  // the clock is set back meanwhile
  PLOStat::trackPageViewEnd("home");
  settle();
  const auto events = reported();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0]["pi"].str(), "home");
  EXPECT_EQ(events[0]["du"].intValue(), 1);
  EXPECT_FALSE(events[0].contains("rf"));
  EXPECT_EQ(events[1]["du"].intValue(), 5);
  EXPECT_EQ(events[1]["rf"].str(), "home");
  EXPECT_EQ(events[2]["du"].intValue(), 1) << "never the difference of a clock set back";
}

TEST_F(PLOStatTest, TimedEventsReportTheirDurationUnderTheirKeys) {
  start();
  PLOStat::trackCustomEventBegin("load", Value::array({"a", Value(1)}));
  PLOStat::trackCustomEventBegin("load", Value::array({"a", Value(1)}));
  EXPECT_TRUE(NSLogSink::contains("[ERROR]Duplicate key load[a1 for event_id:load"));
  PLOStat::trackCustomKeyValueEventBegin("kv", Value::dict({{"k", "v"}}));
  virtualClock().advance(7);
  PLOStat::trackCustomEventEnd("load", Value::array({"a", Value(1)}));
  PLOStat::trackCustomKeyValueEventEnd("kv", Value::dict({{"k", "v"}}));
  PLOStat::trackCustomKeyValueEventDuration(0, "zero", Value());
  PLOStat::trackCustomKeyValueEventDuration(9, "nine", Value());
  settle();
  const auto events = reported();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0]["du"].intValue(), 7);
  EXPECT_EQ(events[0]["ar"], Value::array({"a", Value(1)}));
  EXPECT_EQ(events[1]["kv"]["k"].str(), "v");
  EXPECT_EQ(events[2]["du"].intValue(), 9);
  EXPECT_TRUE(NSLogSink::contains("[ERROR] event:zero duration should not be zero"));
}

TEST_F(PLOStatTest, WithoutNetworkEveryStrategyButTheWiFiOnlyOneStores) {
  SimulatedNetwork::shared().setKind(NetworkKind::Offline);
  start();
  for (int strategy : {1, 2, 3, 4, 5, 6, 7}) {
    PLOStatConfig::getInstance()->setReportStrategy(strategy);
    PLOStat::trackError("s" + std::to_string(strategy));
    settle();
  }
  EXPECT_EQ(server.eventCount(), 0u);
  // Six errors; the session event of the start went the same way.
  EXPECT_EQ(PLOStatStore::getInstance()->storedEventCount(), 7u);
}

TEST_F(PLOStatTest, TheWiFiOnlyStrategyDropsOffWiFiWhileRealTimeEventsGoAtOnce) {
  PLOStatConfig::getInstance()->setReportStrategy(7);
  onCellular();
  start();
  PLOStat::trackError("dropped");
  PLOStat::trackError("urgent", "", true);
  settle();
  const auto events = reported();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0]["er"].str(), "urgent");
  EXPECT_EQ(PLOStatStore::getInstance()->storedEventCount(), 0u);
}

TEST_F(PLOStatTest, TheBatchStrategySendsOnceEnoughEventsWait) {
  auto config = PLOStatConfig::getInstance();
  config->setReportStrategy(2);
  config->setMinBatchReportCount(3);
  onCellular();
  start();  // the session event waits
  PLOStat::trackError("a");
  settle();
  EXPECT_EQ(server.eventCount(), 0u);
  PLOStat::trackError("b");
  settle();
  EXPECT_EQ(server.eventCount(), 3u);
  EXPECT_EQ(server.reports().size(), 1u);
}

TEST_F(PLOStatTest, ThePeriodicStrategyFirstStampsAndSendsAfterThePeriod) {
  PLOStatConfig::getInstance()->setReportStrategy(5);
  onCellular();
  start();
  PLOStat::trackError("first");
  settle();
  EXPECT_EQ(server.eventCount(), 0u);
  EXPECT_NE(NSUserDefaults::standardUserDefaults().integerForKey("STAT_SDK_DATA_SENT_TS"), 0);
  virtualClock().advance(1440 * 60);
  PLOStat::trackError("a day later");
  settle();
  EXPECT_EQ(typesOf(reported(true)), (std::vector<int>{2, 3, 2, 3}))
      << "a new day opened a new session before the second error";
}

TEST_F(PLOStatTest, AFailedInstantSendIsStoredAndLeavesFirstNextTime) {
  start();
  server.failNext(1);
  PLOStat::trackError("failed once");
  settle();
  EXPECT_EQ(PLOStatStore::getInstance()->storedEventCount(), 1u);
  PLOStat::trackError("next");
  settle();
  const auto events = reported();
  ASSERT_EQ(events.size(), 3u) << "the failed send reached the server once";
  EXPECT_EQ(events[1]["er"].str(), "failed once");
  EXPECT_EQ(events[2]["er"].str(), "next");
  EXPECT_EQ(PLOStatStore::getInstance()->storedEventCount(), 0u);
}

TEST_F(PLOStatTest, TheEventIndexIsSavedAtTerminationAndSkips100AtTheNextLaunch) {
  start();
  PLOStat::trackError("x");
  settle();
  const uint64_t index = PLOStatHelper::currentIndex();
  ASSERT_GE(index, 2u);
  NSNotificationCenter::defaultCenter().postNotificationName(
      UIApplicationWillTerminateNotification);
  EXPECT_EQ(PLOStatKeyChain::load("STAT.EventIndex.Key").longLongValue(),
            static_cast<long long>(index));
  restartProcess();
  start();
  settle();
  const auto events = reported(true);
  EXPECT_EQ(events.back()["idx"].longLongValue(), static_cast<long long>(index + 101));
}

TEST_F(PLOStatTest, TheKillSwitchSilencesTheGatedOperationsOnly) {
  start();
  PLOStatHelper::getInstance()->setStatEnableFlag(false);
  PLOStat::trackError("silenced");
  PLOStat::trackDirectPageViewBegin("still", "");
  PLOStat::trackDirectPageViewEnd("still", "", false);
  settle();
  const auto events = reported();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0]["pi"].str(), "still");
}

TEST_F(PLOStatTest, AHigherExpectedVersionDisablesTheModule) {
  PLOStat::commitCachedStats(-1);
  EXPECT_TRUE(NSLogSink::contains("[WARN]STAT's init method is NOT invoked."));
  EXPECT_TRUE(PLOStat::startWithAppkey("k", "1.4.6"));
  EXPECT_TRUE(PLOStatConfig::getInstance()->statEnable());
  EXPECT_FALSE(PLOStat::startWithAppkey("k", "1.10"));
  EXPECT_TRUE(
      NSLogSink::contains("[ERROR]Current SDK's version 1.4.6 is lower than expected 1.10"));
  EXPECT_FALSE(PLOStatConfig::getInstance()->statEnable());
  PLOStat::trackError("ignored");
  settle();
  EXPECT_TRUE(reported().empty());
}
