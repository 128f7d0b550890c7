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
    return with(Value::dict({{"idx", Value(static_cast<unsigned long long>(index))},
                             {"ui", PLOStatHelper::getInstance()->getEnv().deviceid},
                             {"et", Value(type)}}),
                R"({"ts":1700000000,"si":7,"sv":"1.4.6","ut":0,"ch":"appstore","av":"1.0",
                    "mc":"02:00:00:3A:5C:71","mid":"none","ky":"IPLOPplapp",
                    "ifv":"6F9619FF-8B86-D011-B42D-00C04FC964FF"})");
  }

  // The device's details that the session environment and the error details share.
  static Value device() {
    return *Value::fromJSON(R"({"pl":"iPhone OS","tz":"Asia/Shanghai","ov":"9.3","av":"1.0",
        "os":2,"sv":"1.4.6","sr":"640x1136","op":"00101","md":"TestMachine1,1","mf":"iPhone",
        "ch":"appstore","cn":"WIFI"})");
  }

  // base with the members of a JSON object text added or replaced.
  static Value with(Value base, const std::string& json) {
    const auto more = Value::fromJSON(json);
    EXPECT_TRUE(more && more->isDict()) << json;
    if (more)
      for (const auto& [k, v] : more->dictValue()) base.set(k, v);
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
  EXPECT_EQ(parsed(*view),
            with(common(1, view->eventIndex()), R"({"pi":"home","du":3,"rf":"shop"})"));

  view->refer = "home";  // a page that refers to itself
  EXPECT_EQ(parsed(*view)["rf"].str(), "-");
  view->refer = "";
  EXPECT_FALSE(parsed(*view).contains("rf"));
}

TEST_F(PLOStatEventTest, ASessionEventCarriesTheEnvironmentButNotTheTopLevelVersionsOrChannel) {
  auto session = make<PLOStatSessionEnv>();
  Value expected = with(common(2, session->eventIndex()), R"({"cfg":{"1":{},"2":{}}})");
  for (const char* key : {"sv", "ch", "av"}) expected.remove(key);
  expected.set("ev", device().set("wf", R"({"bs":"02:00:00:00:00:01","ss":"ToviraNet"})"));
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
  Value details = with(device(), R"({"qq":"acc-1","pcn":"tovira","fram":2048})");
  details.set("ui", PLOStatHelper::getInstance()->getEnv().deviceid);
  EXPECT_EQ(Value::fromJSON(json["errkv"].str()).value_or(Value()), details);
}

TEST_F(PLOStatEventTest, CustomEventsReportArgumentsPropertiesAndOnlyANonZeroDuration) {
  auto custom = make<PLOStatCustomEvent>();
  custom->eventID = "onBackground_PL";
  EXPECT_EQ(parsed(*custom),
            with(common(1000, custom->eventIndex()), R"({"ei":"onBackground_PL"})"));

  custom->args = Value::array({"a", Value(2)});
  custom->kvs = Value::dict({{"k", "v"}});
  custom->duration = 5;
  EXPECT_EQ(parsed(*custom),
            with(common(1000, custom->eventIndex()),
                 R"({"ei":"onBackground_PL","ar":["a",2],"kv":{"k":"v"},"du":5})"));
}

TEST_F(PLOStatEventTest, AdditionAndAccountEventsShareTheirTypeAndDifferInMembers) {
  auto config = PLOStatConfig::getInstance();
  auto addition = make<PLOStatAdditionEvent>();
  EXPECT_EQ(parsed(*addition), common(1001, addition->eventIndex()));
  config->setQq("12345");
  EXPECT_EQ(parsed(*addition), with(common(1001, addition->eventIndex()), R"({"qq":"12345"})"));

  auto account = make<PLOStatAccountEvent>();
  EXPECT_EQ(parsed(*account), with(common(1001, account->eventIndex()), R"({"acc":{"t":0}})"));
  config->setAccount("player");
  config->setAccountType(-3);
  config->setAccountExt("ext");
  EXPECT_EQ(parsed(*account), with(common(1001, account->eventIndex()),
                                   R"({"acc":{"a":"player","t":-3,"e":"ext"},"qq":"player"})"));
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
  EXPECT_EQ(parsed(*monitor), with(common(1002, monitor->eventIndex()),
                                   R"({"na":"login","rq":10,"rp":20,"tm":5000000000,"rc":-2,
                                       "sp":1,"rt":1,"op":"00101","cn":"WIFI"})"));
}

TEST_F(PLOStatEventTest, GameUserAndSpeedTestEventsReportTheirTextsWhenSet) {
  auto game = make<PLOStatGameUserEvent>();
  game->uid = "u1";
  game->level = "9";
  EXPECT_EQ(parsed(*game), with(common(1003, game->eventIndex()), R"({"gid":"u1","lev":"9"})"));

  auto speed = make<PLOStatTestSpeedEvent>();
  speed->sp = "[]";
  speed->cn = "WIFI";
  EXPECT_EQ(parsed(*speed), with(common(1004, speed->eventIndex()), R"({"sp":"[]","cn":"WIFI"})"));
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
  Value expected = with(common(1, view->eventIndex()),
                        R"({"av":"2.5","cav":"2.5","cui":"user'1","ifa":"IFA-1","mid":"token-1",
                            "ky":"own-key","pi":"p","du":0})");
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
