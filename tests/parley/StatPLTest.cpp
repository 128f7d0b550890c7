#include "StatTestSupport.h"
#include "parley/stats/PLOStatConfig.h"
#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIApplication.h"

class StatPLTest : public StatBridgeTest {};

TEST_F(StatPLTest, TheKeyIsIPLOPFollowedByTheAppId) {
  EXPECT_EQ(StatPL::ConvertPLappkey("abc"), "IPLOPabc");
  NSLogSink::clear();
  EXPECT_EQ(StatPL::ConvertPLappkey(""), "");
  EXPECT_TRUE(NSLogSink::contains("[WARN]appkey is nil"));
}

TEST_F(StatPLTest, RegistrationStartsTheModuleWithTheDerivedKeyAndItsDebugLogOff) {
  EXPECT_EQ(StatPL::getInstance()->appkey(), "IPLOPplapp");
  EXPECT_EQ(PLOStatConfig::getInstance()->appkey(), "IPLOPplapp");
  EXPECT_FALSE(PLOStatConfig::getInstance()->debugEnable());
  const auto events = storedEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0]["et"].intValue(), 2) << "the module started its first session";
}

TEST_F(StatPLTest, EachMoveToTheBackgroundRecordsOneRealTimeEventWithTheKey) {
  UIApplication::sharedApplication()->enterBackground();
  UIApplication::sharedApplication()->enterForeground();
  UIApplication::sharedApplication()->enterBackground();
  runLoop();
  const auto events = backgroundEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]["et"].intValue(), 1000);
  EXPECT_EQ(events[0]["ky"].str(), "IPLOPplapp");
  EXPECT_FALSE(events[0].contains("kv")) << "no properties";
  EXPECT_NE(events[0]["si"].intValue(), 0);
}

TEST_F(StatPLTest, BeforeRegistrationNoBackgroundEventIsRecorded) {
  resetModule();
  UIApplication::sharedApplication()->enterBackground();
  StatPL::onBackground();  // the module has not been started: the event is refused
  runLoop();
  EXPECT_TRUE(backgroundEvents().empty());
}
