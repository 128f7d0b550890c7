#include "parley/stats/PLOStatConfig.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatConfigTest : public StatTestFixture {};
}  // namespace

TEST_F(PLOStatConfigTest, EverySettingStartsWithItsDefault) {
  PLOStatConfig::resetForTesting();
  auto c = PLOStatConfig::getInstance();
  EXPECT_FALSE(c->debugEnable());
  EXPECT_EQ(c->sessionTimeoutSecs(), 30u);
  EXPECT_EQ(c->reportStrategy(), 3);
  EXPECT_EQ(c->appkey(), "");
  EXPECT_EQ(c->channel(), "appstore");
  EXPECT_EQ(c->maxStoreEventCount(), 1024u);
  EXPECT_EQ(c->maxLoadEventCount(), 30u);
  EXPECT_EQ(c->minBatchReportCount(), 30u);
  EXPECT_EQ(c->maxSendRetryCount(), 3u);
  EXPECT_EQ(c->sendPeriodMinutes(), 1440u);
  EXPECT_EQ(c->maxParallelTimingEvents(), 1024u);
  EXPECT_TRUE(c->smartReporting());
  EXPECT_EQ(c->maxReportEventLength(), 4096u);
  EXPECT_EQ(c->qq(), "");
  EXPECT_EQ(c->account(), "");
  EXPECT_EQ(c->accountType(), 0);
  EXPECT_EQ(c->accountExt(), "");
  EXPECT_TRUE(c->statEnable());
  EXPECT_EQ(c->customerUserID(), "");
  EXPECT_EQ(c->customerAppVersion(), "");
  EXPECT_EQ(c->ifa(), "");
  EXPECT_EQ(c->pushDeviceToken(), "");
  EXPECT_EQ(c->statReportURL(), "");
  EXPECT_EQ(c->maxSessionStatReportCount(), -1);
  EXPECT_EQ(c->op(), "");
  EXPECT_EQ(c->cn(), "");
  EXPECT_EQ(c->sp(), "");
  EXPECT_EQ(c->getCustomProperty("anything", "fallback").str(), "fallback");
}

TEST_F(PLOStatConfigTest, TheDebugLogWritesOnlyWhileDebugIsOn) {
  auto c = PLOStatConfig::getInstance();
  c->setDebugEnable(false);
  PLOStatLog("hidden %d", 1);
  EXPECT_FALSE(NSLogSink::contains("hidden 1"));
  c->setDebugEnable(true);
  PLOStatLog("shown %@", "now");
  EXPECT_EQ(NSLogSink::lines().back(), "[STAT]: shown now");
}

TEST_F(PLOStatConfigTest, SettingsMayBeReadWhileAnotherThreadWritesThem) {
  auto c = PLOStatConfig::getInstance();
  std::thread writer([c] {
    for (int i = 0; i < 2000; ++i) {
      c->setChannel(i % 2 ? "odd" : "even");
      c->setReportStrategy(1 + i % 7);
    }
  });
  for (int i = 0; i < 2000; ++i) {
    std::string channel = c->channel();
    EXPECT_TRUE(channel == "odd" || channel == "even" || channel == "appstore") << channel;
    EXPECT_GE(c->reportStrategy(), 1);
  }
  writer.join();
}
