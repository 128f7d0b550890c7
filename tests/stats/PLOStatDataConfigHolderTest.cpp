#include "parley/stats/PLOStatDataConfigHolder.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatSessionEnv.h"
#include "stats/LoopbackListener.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatDataConfigHolderTest : public StatTestFixture {
 protected:
  void SetUp() override {
    StatTestFixture::SetUp();
    PLOStatHelper::getInstance()->setStatEnableFlag(true);
  }

  static std::shared_ptr<PLOStatDataConfigHolder> holder() {
    return PLOStatDataConfigHolder::initSingleton({});
  }

  // A reply carrying a module configuration (and optionally an app one).
  static Value reply(const Value& module, unsigned version, const Value& app = Value(),
                     unsigned appVersion = 0) {
    Value cfg = Value::dict();
    if (!module.isNil())
      cfg.set("1", Value::dict({{"c", module}, {"v", Value(version)}, {"m", "m1"}}));
    if (!app.isNil())
      cfg.set("2", Value::dict({{"c", app}, {"v", Value(appVersion)}, {"m", "m2"}}));
    return Value::dict({{"ret", Value(0)}, {"cfg", cfg}});
  }

  static void flush() {
    if (auto h = PLOStatDataConfigHolder::getInstance()) h->waitForQueue();
    PLOStatStore::getInstance()->waitForQueue();
  }
};
}  // namespace

TEST_F(PLOStatDataConfigHolderTest, ARecordNeedsContentVersionAndDigestOfTheirKinds) {
  PLOStatDataConfig config;
  EXPECT_FALSE(config.decode(Value()));
  for (const char* bad : {R"({"c":{},"v":1})", R"({"c":[1],"v":1,"m":"x"})",
                          R"({"c":{},"v":"1","m":"x"})", R"({"c":{},"v":1,"m":2})"}) {
    EXPECT_FALSE(config.decode(*Value::fromJSON(bad))) << bad;
  }
  EXPECT_TRUE(NSLogSink::contains("[STAT]: Not NSDictionary for decoded config content:"));
  ASSERT_TRUE(config.decode(*Value::fromJSON(R"({"c":{"rs":2},"v":4,"m":"abc"})")));
  EXPECT_EQ(config.content, R"({"rs":2})");
  EXPECT_EQ(config.version, 4u);
  EXPECT_EQ(config.md5, "abc");
}

TEST_F(PLOStatDataConfigHolderTest, OnlyAHigherVersionReplacesTheModuleConfiguration) {
  auto settings = PLOStatConfig::getInstance();
  holder()->updateOnlineConfig(reply(Value::dict({{"rs", Value(7)}}), 5));
  EXPECT_EQ(settings->reportStrategy(), 7);

  holder()->updateOnlineConfig(reply(Value::dict({{"rs", Value(2)}}), 5));
  EXPECT_EQ(settings->reportStrategy(), 7);
  EXPECT_TRUE(NSLogSink::contains(
      "[STAT]: [WARN]Local has version:5 for config:1, while remote has version:5"));

  holder()->updateOnlineConfig(reply(Value::dict({{"rs", Value(0)}}), 6));
  EXPECT_EQ(settings->reportStrategy(), 7);  // 0 is no strategy
  EXPECT_EQ(holder()->getConfig(1)->version, 6u);

  // Versions are unsigned 32-bit: one past the signed range is still newer than the one before.
  holder()->updateOnlineConfig(reply(Value::dict({{"rs", Value(2)}}), 3000000000u));
  holder()->updateOnlineConfig(reply(Value::dict({{"rs", Value(4)}}), 3000000001u));
  EXPECT_EQ(settings->reportStrategy(), 4);
  EXPECT_EQ(holder()->getConfig(1)->version, 3000000001u);
}

TEST_F(PLOStatDataConfigHolderTest, AReplyCarryingMidIsNotReadForConfiguration) {
  Value withMid = reply(Value::dict({{"rs", Value(1)}}), 1);
  withMid.set("mid", "x");
  holder()->updateOnlineConfig(withMid);
  EXPECT_EQ(PLOStatConfig::getInstance()->reportStrategy(), 3);
  EXPECT_FALSE(holder()->getConfig(1));
}

TEST_F(PLOStatDataConfigHolderTest, HibernationFromTheModulesVersionOnDisablesTheModule) {
  auto settings = PLOStatConfig::getInstance();
  unsigned version = 0;
  for (const auto& [from, enabled] :
       {std::pair{"1.4.5", true}, {"1.4.6", false}, {"1.10", false}}) {
    settings->setStatEnable(true);
    holder()->updateOnlineConfig(reply(Value::dict({{"__HIBERNATE__", from}}), ++version));
    EXPECT_EQ(settings->statEnable(), enabled) << from;
  }
}

TEST_F(PLOStatDataConfigHolderTest, TheKillSwitchMatchesVersionModelOrAppVersion) {
  auto helper = PLOStatHelper::getInstance();
  holder()->updateOnlineConfig(
      reply(Value::dict({{"__STAT_KILL__", Value::dict({{"sv", "1.0.0"}, {"md", "iPad"}})}}), 1));
  EXPECT_TRUE(helper->StatEnableFlag());
  holder()->updateOnlineConfig(
      reply(Value::dict({{"__STAT_KILL__", Value::dict({{"av", "1.0"}})}}), 2));
  EXPECT_FALSE(helper->checkStatEnable());
  EXPECT_TRUE(NSLogSink::contains("STAT is not enabled , because of the online config"));
  helper->setStatEnableFlag(true);
  holder()->updateOnlineConfig(
      reply(Value::dict({{"__STAT_KILL__", Value::dict({{"md", "iPhone"}})}}), 3));
  EXPECT_FALSE(helper->StatEnableFlag());
}

TEST_F(PLOStatDataConfigHolderTest, ContentThatIsNotAJsonObjectIsReportedAndLeavesTheRecords) {
  auto bad = std::make_shared<PLOStatDataConfig>();
  bad->type = 1;
  bad->content = "[1,2]";
  holder()->setConfig(bad);
  EXPECT_TRUE(NSLogSink::contains("Not NSDictionary for decoded response config object:"));
  bad->content = "{not json";
  holder()->setConfig(bad);
  EXPECT_TRUE(NSLogSink::contains("Decode response config JSON error :"));
  EXPECT_FALSE(holder()->getConfig(1));
}

TEST_F(PLOStatDataConfigHolderTest, AServerConfigurationIsStoredAndRestoredAtTheNextStart) {
  holder()->updateOnlineConfig(
      reply(Value::dict({{"rs", Value(5)}}), 8, Value::dict({{"theme", "dark"}}), 3));
  EXPECT_EQ(PLOStatConfig::getInstance()->getCustomProperty("theme", "light").str(), "dark");
  flush();

  restartProcess();
  auto settings = PLOStatConfig::getInstance();
  EXPECT_EQ(settings->reportStrategy(), 3);
  EXPECT_EQ(settings->getCustomProperty("theme", "light").str(), "light");
  holder();  // the next start
  EXPECT_EQ(settings->reportStrategy(), 5);
  EXPECT_EQ(settings->getCustomProperty("theme", "light").str(), "dark");
  EXPECT_EQ(holder()->getConfig(1)->version, 8u);
  EXPECT_EQ(holder()->getConfig(2)->md5, "m2");

  // Sessions tell the server which versions are held.
  Value session = Value::fromJSON(PLOStatSessionEnv().toJsonString()).value_or(Value());
  EXPECT_EQ(session["cfg"], Value::fromJSON(R"({"1":{"v":8},"2":{"v":3}})").value());
}

TEST_F(PLOStatDataConfigHolderTest, TheSpeedTestEventGoesThroughTheStoresQueueAndConnection) {
  LoopbackListener listener;
  SimulatedNetwork::shared().setHostAddress("slow.example", "127.0.0.1", 11);
  std::string hosts = NSString::stringWithFormat("127.0.0.1,%d;;slow.example", listener.port());
  holder()->updateOnlineConfig(reply(Value::dict({{"__STAT_TEST_SPEED__", hosts}}), 1));
  flush();

  auto store = PLOStatStore::getInstance();
  EXPECT_EQ(store->storedEventCount(), 1u) << "the store counted the event it stored";
  auto rows = query("select content from events");
  ASSERT_EQ(rows.size(), 1u);
  Value event = Value::fromJSON(rows[0][0]).value_or(Value());
  EXPECT_EQ(event["et"].intValue(), 1004);
  EXPECT_EQ(event["cn"].str(), "WIFI");
  EXPECT_EQ(event["op"].str(), "00101");
  EXPECT_EQ(Value::fromJSON(event["sp"].str()),
            Value::fromJSON(NSString::stringWithFormat(
                R"([{"dm":"127.0.0.1","pt":%d,"rip":"127.0.0.1","st":0,"ts":1700000000,"tm":0},
                    {"dm":"slow.example","pt":80,"st":-1}])",
                listener.port())));
}

TEST_F(PLOStatDataConfigHolderTest, NoSpeedTestRunsWithoutANetwork) {
  SimulatedNetwork::shared().setKind(NetworkKind::Offline);
  holder()->updateOnlineConfig(reply(Value::dict({{"__STAT_TEST_SPEED__", "127.0.0.1,1"}}), 1));
  flush();
  EXPECT_TRUE(NSLogSink::contains("taSocket event since no active network."));
  EXPECT_EQ(storedRows(), 0);
}

TEST_F(PLOStatDataConfigHolderTest,
       AStoredConfigurationThatCannotBeReadIsReportedWhileTheModuleStarts) {
  auto bad = std::make_shared<PLOStatDataConfig>();
  bad->type = 1;
  bad->content = "[1]";
  bad->version = 2;
  PLOStatStore::getInstance()->storeConfig(bad);
  flush();
  restartProcess();
  PLOStat::startWithAppkey("IPLOPplapp");
  settle();
  EXPECT_TRUE(NSLogSink::contains("Not NSDictionary for decoded response config object:"));
  EXPECT_FALSE(PLOStatDataConfigHolder::getInstance()->getConfig(1));
}
