// The app's registration record and the statistics bridge. The module, the bridge and the
// registration start as in a new process, under a watchdog, with the device offline, so that
// every statistics event waits in the store, where a test reads it.

#include <fstream>

#include "ParleyTestSupport.h"
#include "parley/AppRegisterInfo.h"
#include "parley/AppSettingItem.h"
#include "parley/PLApiRegister.h"
#include "parley/ParleyApiUtil.h"
#include "parley/StatPL.h"
#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/NSLog.h"
#include "platform/services/SimulatedNetwork.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "support/Watchdog.h"

namespace {

std::shared_ptr<UIPasteboard> registerBoard() {
  return UIPasteboard::pasteboardWithName("parley_register", false);
}

Value record() { return PLApiRegister::getRegisterDictionary(registerBoard()); }

}  // namespace

class PLApiRegisterTest : public ParleyTest {
 protected:
  void SetUp() override {
    watchdog_ = std::make_unique<Watchdog>(
        60, ::testing::UnitTest::GetInstance()->current_test_info()->name());
    SimulatedNetwork::shared().reset();
    SimulatedNetwork::shared().setKind(NetworkKind::Offline);
    ParleyTest::SetUp();  // resets the module in the test's sandbox, then registers kAppId
  }

  // The statistics store opens its database in the sandbox as soon as it is made.
  void resetBeforeRegistration() override { resetModule(); }

  void TearDown() override {
    NSBundle::mainBundle().setResourcePath(TOVIRA_RESOURCES);
    // While the sandbox is still there: resetting makes a fresh store, which opens its file.
    EXPECT_TRUE(RunLoop::main().runUntilIdle());
    resetModule();
    ParleyTest::TearDown();
    SimulatedNetwork::shared().reset();
    watchdog_.reset();
  }

  static void resetModule() {
    PLApiRegister::resetForTesting();
    StatPL::resetForTesting();
    PLOStat::resetForTesting();
  }

  // The JSON of every stored event, oldest first, once the module's queues are quiet.
  static std::vector<Value> storedEvents() {
    PLOStat::waitForQueue();
    PLOStatStore::getInstance()->waitForQueue();
    PLOStatStore::Events rows;
    PLOStatStore::getInstance()->loadCachedEvents(rows);
    std::vector<Value> events;
    for (const auto& row : rows) events.push_back(*Value::fromJSON(row->content));
    return events;
  }

  static std::vector<Value> backgroundEvents() {
    std::vector<Value> found;
    for (const auto& e : storedEvents()) {
      if (e["ei"].str() == "onBackground_PL") found.push_back(e);
    }
    return found;
  }

  // A bundle folder of the test's own, with this Info.plist and these files.
  std::string useBundle(const std::string& infoPlistBody,
                        const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string dir = Sandbox::root() + "/bundle";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/Info.plist")
        << R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)" << infoPlistBody
        << "</dict></plist>";
    for (const auto& [name, bytes] : files) std::ofstream(dir + "/" + name) << bytes;
    NSBundle::mainBundle().setResourcePath(dir);
    return dir;
  }

 private:
  std::unique_ptr<Watchdog> watchdog_;
};

TEST_F(PLApiRegisterTest, TheRecordIsABinaryPlistOnAPersistentPasteboard) {
  auto board = registerBoard();
  ASSERT_TRUE(board);
  EXPECT_TRUE(board->isPersistent());
  const auto data = board->dataForPasteboardType("content");
  ASSERT_TRUE(data);
  EXPECT_EQ(std::string(data->begin(), data->begin() + 8), "bplist00");

  const Value entry = record()["plapp"];
  const Value info = NSBundle::mainBundle().infoDictionary();
  EXPECT_EQ(entry["appID"].str(), "plapp");
  EXPECT_EQ(entry["appIdentifier"].str(), info["CFBundleIdentifier"].str());
  EXPECT_FALSE(entry["appName"].str().empty());
  EXPECT_EQ(entry["firstLaunchTime"].str(), "1700000000");
  EXPECT_EQ(entry["laststLaunchTime"].str(), "1700000000");
  EXPECT_FALSE(entry.contains("appDescriptionSDK"));
}

TEST_F(PLApiRegisterTest, ALaterStartKeepsTheFirstLaunchAndRenewsTheLast) {
  RunLoop::main().advance(3600);
  EXPECT_TRUE(PLApi::registerApp(kAppId));
  const Value entry = record()["plapp"];
  EXPECT_EQ(entry["firstLaunchTime"].str(), "1700000000");
  EXPECT_EQ(entry["laststLaunchTime"].str(), "1700003600");
}

TEST_F(PLApiRegisterTest, AnotherAppsEntrySurvivesTheWrite) {
  Value all = record();
  all.set("otherapp", Value::dict({{"appID", "otherapp"}, {"firstLaunchTime", "5"}}));
  registerBoard()->setData(*ParleyApiUtil::dataFromPropertyList(all), "content");
  EXPECT_TRUE(PLApi::registerApp(kAppId));
  EXPECT_EQ(record()["otherapp"]["firstLaunchTime"].str(), "5");
  EXPECT_EQ(record()["plapp"]["appID"].str(), "plapp");
}

TEST_F(PLApiRegisterTest, ADescriptionIsKeptUpTo1024Characters) {
  EXPECT_TRUE(PLApi::registerApp(kAppId, repeat("说", 1024)));
  EXPECT_EQ(NSString::length(record()["plapp"]["appDescriptionSDK"].str()), 1024u);
  EXPECT_TRUE(PLApi::registerApp(kAppId, repeat("说", 1025)));
  EXPECT_FALSE(record()["plapp"].contains("appDescriptionSDK"));
  EXPECT_TRUE(PLApi::registerApp(kAppId, ""));
  EXPECT_FALSE(record()["plapp"].contains("appDescriptionSDK"));
}

TEST_F(PLApiRegisterTest, TheIconIsTheLastListedNameWhenNoneFitsTheScreen) {
  UIScreen::mainScreen()->setScale(2.0);
  const std::string dir = useBundle(
      "<key>CFBundleIdentifier</key><string>org.sample.game</string>"
      "<key>CFBundleDisplayName</key><string></string><key>CFBundleName</key><string>Sample</"
      "string>"
      "<key>CFBundleIconFiles</key><array><string>a.png</string><string>b.png</string></array>",
      {{"a.png", "AAAA"}, {"b.png", "BBBB"}});
  EXPECT_EQ(PLApiRegister::getIconString(), dir + "/b.png");
  EXPECT_TRUE(PLApi::registerApp(kAppId));
  const Value entry = record()["plapp"];
  const auto& icon = entry["appIcon"].dataValue();
  EXPECT_EQ(std::string(icon.begin(), icon.end()), "BBBB");
  EXPECT_EQ(entry["appIdentifier"].str(), "org.sample.game");
  EXPECT_EQ(entry["appName"].str(), "Sample") << "an empty display name gives way to the name";

  UIScreen::mainScreen()->setScale(1.0);
  useBundle(
      "<key>CFBundleIconFiles</key><array><string>x@2x.png</string>"
      "<string>y.png</string></array>",
      {});
  EXPECT_EQ(PLApiRegister::getIconString(), Sandbox::root() + "/bundle/y.png");
  useBundle("", {});
  EXPECT_EQ(PLApiRegister::getIconString(), Sandbox::root() + "/bundle/Icon.png");
  useBundle(
      "<key>CFBundleIconFiles</key><array/>"
      "<key>CFBundleIconFile</key><string>single.png</string>",
      {});
  EXPECT_EQ(PLApiRegister::getIconString(), Sandbox::root() + "/bundle/Icon.png")
      << "an empty list goes to the fallback, not to the single-icon key";
  EXPECT_TRUE(PLApi::registerApp(kAppId));
  EXPECT_FALSE(record()["plapp"].contains("appIcon")) << "no icon file to read";
}

TEST_F(PLApiRegisterTest, RegisteringAgainSubscribesOnceAndKeepsOneKey) {
  EXPECT_TRUE(PLApi::registerApp(kAppId));
  EXPECT_TRUE(PLApi::registerApp(kAppId));
  EXPECT_EQ(StatPL::getInstance()->appkey(), "IPLOPplapp");
  EXPECT_EQ(PLOStatConfig::getInstance()->appkey(), "IPLOPplapp");
  EXPECT_FALSE(PLOStatConfig::getInstance()->debugEnable());
  EXPECT_EQ(storedEvents().at(0)["et"].intValue(), 2) << "the module started its first session";
  UIApplication::sharedApplication()->enterBackground();
  UIApplication::sharedApplication()->enterForeground();
  UIApplication::sharedApplication()->enterBackground();
  runLoop();
  const auto events = backgroundEvents();
  ASSERT_EQ(events.size(), 2u) << "one real-time event for each move to the background";
  EXPECT_EQ(events[0]["et"].intValue(), 1000);
  EXPECT_EQ(events[0]["ky"].str(), "IPLOPplapp");
  EXPECT_FALSE(events[0].contains("kv")) << "no properties";
  EXPECT_NE(events[0]["si"].intValue(), 0);
}

TEST_F(PLApiRegisterTest, AnEmptyAppIdRegistersNothingAndNoEventComesBeforeRegistration) {
  resetModule();
  NSLogSink::clear();
  EXPECT_EQ(StatPL::ConvertPLappkey("abc"), "IPLOPabc");
  EXPECT_EQ(StatPL::ConvertPLappkey(""), "");
  EXPECT_TRUE(NSLogSink::contains("[WARN]appkey is nil"));
  EXPECT_FALSE(PLApiRegister::registerApp(""));
  EXPECT_TRUE(PLOStatConfig::getInstance()->appkey().empty());
  UIApplication::sharedApplication()->enterBackground();
  StatPL::onBackground();  // the module has not been started: the event is refused
  runLoop();
  EXPECT_TRUE(backgroundEvents().empty());
}

TEST_F(PLApiRegisterTest, TheRecordClassesArchiveUnderTheirKeys) {
  auto throughArchive = [](const Value& coder) {
    return *NSKeyedUnarchiver::unarchiveObjectWithData(
        NSKeyedArchiver::archivedDataWithRootObject(coder));
  };
  AppSettingItem item;
  item.appID = "plapp";
  item.openID = "o1";
  item.flag = 7;
  item.appAddedByUser = true;
  Value coder = Value::dict();
  item.encodeWithCoder(coder);
  EXPECT_EQ(coder.allKeys(),
            (std::vector<std::string>{"appAddedByUser", "appID", "flag", "openID"}));
  const AppSettingItem back = AppSettingItem::initWithCoder(throughArchive(coder));
  EXPECT_EQ(back.openID + std::to_string(back.flag) + std::to_string(back.appAddedByUser), "o171");

  AppRegisterInfo info;
  info.appName = "Tovira";
  info.appID = "plapp";
  info.appDescription = "d";
  info.needUpdateWatermark = true;
  info.nextUpdateInfoTime = 9;
  info.rankWeight = 3;
  Value infoCoder = Value::dict();
  info.encodeWithCoder(infoCoder);
  EXPECT_EQ(infoCoder["description"].str(), "d");
  EXPECT_TRUE(infoCoder["needUpdateWaterMark"].boolValue());
  EXPECT_FALSE(infoCoder.contains("rankWeight"));
  EXPECT_EQ(infoCoder.count(), 28u);
  const AppRegisterInfo infoBack = AppRegisterInfo::initWithCoder(throughArchive(infoCoder));
  EXPECT_EQ(infoBack.nextUpdateInfoTime, 9u);
  EXPECT_EQ(infoBack.rankWeight, 0u) << "not archived";
  EXPECT_EQ(infoBack.description(), "{ name:Tovira appid:plapp}");
  EXPECT_EQ(AppRegisterInfo().description(), "{ name: appid:}");
  // The version is unsigned 64-bit: the whole range survives the archive, and a large version
  // that an older archive kept as a real still reads.
  for (const uint64_t version :
       std::initializer_list<uint64_t>{1ull << 40, 1ull << 63, (1ull << 63) + 1, UINT64_MAX}) {
    SCOPED_TRACE(version);
    info.appInfoVer = version;
    info.encodeWithCoder(infoCoder);
    EXPECT_EQ(AppRegisterInfo::initWithCoder(throughArchive(infoCoder)).appInfoVer, version);
  }
  infoCoder.set("appInfoVer", Value(static_cast<double>(1ull << 63)));
  EXPECT_EQ(AppRegisterInfo::initWithCoder(infoCoder).appInfoVer, 1ull << 63);
}
