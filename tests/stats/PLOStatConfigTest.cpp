#include "parley/stats/PLOStatConfig.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatConfigTest : public StatTestFixture {};
}  // namespace

TEST_F(PLOStatConfigTest, EverySettingStartsWithItsDefault) {
  PLOStatConfig::resetForTesting();
  auto c = PLOStatConfig::getInstance();
  // Numbers in declaration order: the session timeout, strategy, store, load and batch counts,
  // retries, period, timing events, event length, account type and per-session count.
  EXPECT_EQ((std::vector<long long>{c->sessionTimeoutSecs(), c->reportStrategy(),
                                    c->maxStoreEventCount(), c->maxLoadEventCount(),
                                    c->minBatchReportCount(), c->maxSendRetryCount(),
                                    c->sendPeriodMinutes(), c->maxParallelTimingEvents(),
                                    c->maxReportEventLength(), c->accountType(),
                                    c->maxSessionStatReportCount()}),
            (std::vector<long long>{30, 3, 1024, 30, 30, 3, 1440, 1024, 4096, 0, -1}));
  EXPECT_EQ((std::vector<bool>{c->debugEnable(), c->smartReporting(), c->statEnable()}),
            (std::vector<bool>{false, true, true}));
  EXPECT_EQ(c->channel(), "appstore");
  for (const std::string& text :
       {c->appkey(), c->qq(), c->account(), c->accountExt(), c->customerUserID(),
        c->customerAppVersion(), c->ifa(), c->pushDeviceToken(), c->statReportURL(), c->op(),
        c->cn(), c->sp()})
    EXPECT_EQ(text, "");
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
