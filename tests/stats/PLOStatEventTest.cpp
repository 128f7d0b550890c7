#include "parley/stats/PLOStatAccountEvent.h"
#include "parley/stats/PLOStatAdditionEvent.h"
#include "parley/stats/PLOStatCustomEvent.h"
#include "parley/stats/PLOStatErrorEvent.h"
#include "parley/stats/PLOStatEvent.h"
#include "parley/stats/PLOStatGameUserEvent.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatKeyChain.h"
#include "parley/stats/PLOStatMonitorStatEvent.h"
#include "parley/stats/PLOStatPageView.h"
#include "parley/stats/PLOStatSessionEnv.h"
#include "parley/stats/PLOStatTestSpeedEvent.h"
#include "platform/foundation/NSString.h"
#include "platform/services/DeviceSystem.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatEventTest : public StatTestFixture {
 protected:
  void SetUp() override {
    StatTestFixture::SetUp();
    DeviceSystem::setMachine("TestMachine1,1");
    PLOStatConfig::getInstance()->setAppkey("IPLOPplapp");
  }
  void TearDown() override {
    DeviceSystem::setMachine("");
    StatTestFixture::TearDown();
  }

  static Value parsed(const PLOStatEvent& event) {
    return Value::fromJSON(event.toJsonString()).value_or(Value());
  }

  // The members every event but the session event carries, on a fresh device, for an event
  // of the given type and index in session 7.
  static Value common(int type, uint64_t index) {
    return Value::dict({{"idx", Value(static_cast<unsigned long long>(index))},
                        {"ts", Value(1700000000)},
                        {"si", Value(7)},
                        {"sv", "1.4.6"},
                        {"ut", Value(0)},
                        {"ch", "appstore"},
                        {"av", "1.0"},
                        {"mc", "02:00:00:3A:5C:71"},
                        {"ui", PLOStatHelper::getInstance()->getEnv().deviceid},
                        {"mid", "none"},
                        {"ifv", "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
                        {"et", Value(type)},
                        {"ky", "IPLOPplapp"}});
  }

  // The device's details that the session environment and the error details share.
  static Value device() {
    return Value::dict({{"pl", "iPhone OS"}, {"tz", "Asia/Shanghai"}, {"ov", "9.3"},
                        {"av", "1.0"}, {"os", Value(2)}, {"sv", "1.4.6"}, {"sr", "640x1136"},
                        {"op", "00101"}, {"md", "TestMachine1,1"}, {"mf", "iPhone"},
                        {"ch", "appstore"}, {"cn", "WIFI"}});
  }

  static Value with(Value base, std::initializer_list<std::pair<const std::string, Value>> more) {
    for (const auto& [k, v] : more) base.set(k, v);
    return base;
  }

  template <class E>
  static std::shared_ptr<E> make() {
    auto event = std::make_shared<E>();
    event->setSid(7);
    return event;
  }
};
}  // namespace

TEST_F(PLOStatEventTest, APageViewReportsPageDurationAndReferrer) {
  auto view = make<PLOStatPageView>();
  view->page = "home";
  view->duration = 3;
  view->refer = "shop";
  EXPECT_EQ(parsed(*view), with(common(1, view->eventIndex()),
                                {{"pi", "home"}, {"du", Value(3)}, {"rf", "shop"}}));

  view->refer = "home";  // a page that refers to itself
  EXPECT_EQ(parsed(*view)["rf"].str(), "-");
  view->refer = "";
  EXPECT_FALSE(parsed(*view).contains("rf"));
}

TEST_F(PLOStatEventTest, ASessionEventCarriesTheEnvironmentButNotTheTopLevelVersionsOrChannel) {
  auto session = make<PLOStatSessionEnv>();
  Value expected = common(2, session->eventIndex());
  expected.remove("sv");
  expected.remove("ch");
  expected.remove("av");
  expected.set("ev", with(device(), {{"wf", R"({"bs":"02:00:00:00:00:01","ss":"ToviraNet"})"}}));
  expected.set("cfg", Value::dict({{"1", Value::dict()}, {"2", Value::dict()}}));
  EXPECT_EQ(parsed(*session), expected);
}

TEST_F(PLOStatEventTest, TheSessionEnvironmentFollowsCarrierNetworkAndJailbreakMarks) {
  SimulatedNetwork::shared().setCarrier(std::nullopt);
  SimulatedNetwork::shared().setKind(NetworkKind::Offline);
  std::filesystem::create_directories(DeviceSystem::systemRoot() + "/Applications/Cydia.app");
  PLOStatHelper::resetForTesting();
  auto session = make<PLOStatSessionEnv>();
  Value json = parsed(*session);
  EXPECT_FALSE(json["ev"].contains("op"));
  EXPECT_FALSE(json["ev"].contains("cn"));
  EXPECT_EQ(json["ev"]["wf"].str(), R"({"bs":"Not Found","ss":"Not Found"})");
  EXPECT_EQ(json["jb"].intValue(), 1);
}

TEST_F(PLOStatEventTest, AnErrorEventReportsItsFirstHundredLinesAndTheDeviceDetails) {
  auto error = make<PLOStatErrorEvent>();
  std::vector<std::string> lines;
  for (int i = 1; i <= 150; ++i) lines.push_back(NSString::stringWithFormat("line %d", i));
  error->error = NSString::componentsJoinedByString(lines, "\n");
  error->attr = 1;
  error->processName = "tovira";
  error->availableMemory = "2048";
  PLOStatConfig::getInstance()->setAccount("acc-1");
  Value json = parsed(*error);
  lines.resize(100);
  EXPECT_EQ(json["er"].str(), NSString::componentsJoinedByString(lines, "\n"));
  EXPECT_EQ(json["ea"].intValue(), 1);
  EXPECT_EQ(json["ut"].intValue(), 0);
  Value details = Value::fromJSON(json["errkv"].str()).value_or(Value());
  EXPECT_EQ(details, with(device(), {{"ui", PLOStatHelper::getInstance()->getEnv().deviceid},
                                     {"qq", "acc-1"},
                                     {"pcn", "tovira"},
                                     {"fram", Value(2048)}}));
}

TEST_F(PLOStatEventTest, CustomEventsReportArgumentsPropertiesAndOnlyANonZeroDuration) {
  auto custom = make<PLOStatCustomEvent>();
  custom->eventID = "onBackground_PL";
  EXPECT_EQ(parsed(*custom), with(common(1000, custom->eventIndex()), {{"ei", "onBackground_PL"}}));

  custom->args = Value::array({"a", Value(2)});
  custom->kvs = Value::dict({{"k", "v"}});
  custom->duration = 5;
  EXPECT_EQ(parsed(*custom),
            with(common(1000, custom->eventIndex()), {{"ei", "onBackground_PL"},
                                                      {"ar", Value::array({"a", Value(2)})},
                                                      {"kv", Value::dict({{"k", "v"}})},
                                                      {"du", Value(5)}}));
}

TEST_F(PLOStatEventTest, AdditionAndAccountEventsShareTheirTypeAndDifferInMembers) {
  auto config = PLOStatConfig::getInstance();
  auto addition = make<PLOStatAdditionEvent>();
  EXPECT_EQ(parsed(*addition), common(1001, addition->eventIndex()));
  config->setQq("12345");
  EXPECT_EQ(parsed(*addition), with(common(1001, addition->eventIndex()), {{"qq", "12345"}}));

  auto account = make<PLOStatAccountEvent>();
  EXPECT_EQ(parsed(*account),
            with(common(1001, account->eventIndex()), {{"acc", Value::dict({{"t", Value(0)}})}}));
  config->setAccount("player");
  config->setAccountType(-3);
  config->setAccountExt("ext");
  EXPECT_EQ(parsed(*account),
            with(common(1001, account->eventIndex()),
                 {{"acc", Value::dict({{"a", "player"}, {"t", Value(-3)}, {"e", "ext"}})},
                  {"qq", "player"}}));
}

TEST_F(PLOStatEventTest, AMonitorEventReportsItsStatOnlyWithAnInterfaceAndSamplingAtLeastOne) {
  auto monitor = make<PLOStatMonitorStatEvent>();
  monitor->stat = std::make_shared<PLOStatAppMonitorStat>();
  EXPECT_EQ(parsed(*monitor), common(1002, monitor->eventIndex()));

  monitor->stat->interface = "login";
  monitor->stat->requestPackageSize = 10;
  monitor->stat->responsePackageSize = 20;
  monitor->stat->consumedMilliseconds = 5000000000ull;
  monitor->stat->returnCode = -2;
  monitor->stat->resultType = 1;
  EXPECT_EQ(parsed(*monitor),
            with(common(1002, monitor->eventIndex()), {{"na", "login"},
                                                       {"rq", Value(10)},
                                                       {"rp", Value(20)},
                                                       {"tm", Value(5000000000ll)},
                                                       {"rc", Value(-2)},
                                                       {"sp", Value(1)},
                                                       {"rt", Value(1)},
                                                       {"op", "00101"},
                                                       {"cn", "WIFI"}}));
}

TEST_F(PLOStatEventTest, GameUserAndSpeedTestEventsReportTheirTextsWhenSet) {
  auto game = make<PLOStatGameUserEvent>();
  game->uid = "u1";
  game->level = "9";
  EXPECT_EQ(parsed(*game), with(common(1003, game->eventIndex()), {{"gid", "u1"}, {"lev", "9"}}));

  auto speed = make<PLOStatTestSpeedEvent>();
  speed->sp = "[]";
  speed->cn = "WIFI";
  EXPECT_EQ(parsed(*speed),
            with(common(1004, speed->eventIndex()), {{"sp", "[]"}, {"cn", "WIFI"}}));
}

TEST_F(PLOStatEventTest, HostSettingsAndTheEventsOwnKeyReplaceTheDefaults) {
  auto config = PLOStatConfig::getInstance();
  config->setCustomerAppVersion("2.5");
  config->setCustomerUserID("user'1");
  config->setIfa("IFA-1");
  config->setPushDeviceToken("token-1");
  config->setChannel("");
  auto view = make<PLOStatPageView>();
  view->page = "p";
  view->setAppkey("own-key");
  Value expected = with(common(1, view->eventIndex()), {{"av", "2.5"},
                                                        {"cav", "2.5"},
                                                        {"cui", "user'1"},
                                                        {"ifa", "IFA-1"},
                                                        {"mid", "token-1"},
                                                        {"ky", "own-key"},
                                                        {"pi", "p"},
                                                        {"du", Value(0)}});
  expected.remove("ch");
  EXPECT_EQ(parsed(*view), expected);
}

TEST_F(PLOStatEventTest, TheFirstEventAfterALaunchWhoseSavedIndexWas500HasIndex601) {
  PLOStatKeyChain::save("STAT.EventIndex.Key", Value(500));
  PLOStatHelper::resetForTesting();
  PLOStatCustomEvent first;
  PLOStatCustomEvent second;
  EXPECT_EQ(first.eventIndex(), 601u);
  EXPECT_EQ(second.eventIndex(), 602u);
  EXPECT_EQ(PLOStatHelper::currentIndex(), 602u);
}

TEST_F(PLOStatEventTest, TheEventIndexStartsOverAfterItsLastValueAndRefusesZero) {
  PLOStatCustomEvent warmUp;  // takes the saved index once
  PLOStatHelper::setCurrentIndex(9223372036854765807ull);
  EXPECT_EQ(PLOStatCustomEvent().eventIndex(), 9223372036854765808ull);
  EXPECT_EQ(PLOStatCustomEvent().eventIndex(), 1u);
  PLOStatHelper::setCurrentIndex(0);
  EXPECT_EQ(PLOStatHelper::currentIndex(), 1u);
  EXPECT_TRUE(NSLogSink::contains("[STAT]: Warning:set idx failed!"));
}
