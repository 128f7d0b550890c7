#include <fstream>

#include "StatTestSupport.h"
#include "parley/AppRegisterInfo.h"
#include "parley/AppSettingItem.h"
#include "parley/ParleyApiUtil.h"
#include "parley/stats/PLOStatConfig.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"

namespace {

std::shared_ptr<UIPasteboard> registerBoard() {
  return UIPasteboard::pasteboardWithName("parley_register", false);
}

Value record() { return PLApiRegister::getRegisterDictionary(registerBoard()); }

}  // namespace

class PLApiRegisterTest : public StatBridgeTest {
 protected:
  void TearDown() override {
    NSBundle::mainBundle().setResourcePath(TOVIRA_RESOURCES);
    StatBridgeTest::TearDown();
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
  EXPECT_EQ(PLOStatConfig::getInstance()->appkey(), "IPLOPplapp");
  UIApplication::sharedApplication()->enterBackground();
  runLoop();
  const auto events = backgroundEvents();
  ASSERT_EQ(events.size(), 1u) << "one move to the background, one event";
  EXPECT_EQ(events[0]["ky"].str(), "IPLOPplapp");
}

TEST_F(PLApiRegisterTest, AnEmptyAppIdRegistersNothing) {
  resetModule();
  EXPECT_FALSE(PLApiRegister::registerApp(""));
  EXPECT_TRUE(PLOStatConfig::getInstance()->appkey().empty());
}

TEST_F(PLApiRegisterTest, TheRecordClassesArchiveUnderTheirKeys) {
  AppSettingItem item;
  item.appID = "plapp";
  item.openID = "o1";
  item.flag = 7;
  item.appAddedByUser = true;
  Value coder = Value::dict();
  item.encodeWithCoder(coder);
  EXPECT_EQ(coder.allKeys(),
            (std::vector<std::string>{"appAddedByUser", "appID", "flag", "openID"}));
  const auto archived = NSKeyedArchiver::archivedDataWithRootObject(coder);
  const AppSettingItem back =
      AppSettingItem::initWithCoder(*NSKeyedUnarchiver::unarchiveObjectWithData(archived));
  EXPECT_EQ(back.openID, "o1");
  EXPECT_EQ(back.flag, 7u);
  EXPECT_TRUE(back.appAddedByUser);

  AppRegisterInfo info;
  info.appName = "Tovira";
  info.appID = "plapp";
  info.appDescription = "d";
  info.needUpdateWatermark = true;
  info.appInfoVer = 1ull << 40;
  info.nextUpdateInfoTime = 9;
  info.rankWeight = 3;
  Value infoCoder = Value::dict();
  info.encodeWithCoder(infoCoder);
  EXPECT_EQ(infoCoder["description"].str(), "d");
  EXPECT_TRUE(infoCoder["needUpdateWaterMark"].boolValue());
  EXPECT_FALSE(infoCoder.contains("rankWeight"));
  EXPECT_EQ(infoCoder.count(), 28u);
  const AppRegisterInfo infoBack =
      AppRegisterInfo::initWithCoder(*NSKeyedUnarchiver::unarchiveObjectWithData(
          NSKeyedArchiver::archivedDataWithRootObject(infoCoder)));
  EXPECT_EQ(infoBack.appInfoVer, 1ull << 40);
  // The version is unsigned 64-bit: the whole range survives the archive, and a large version
  // that an older archive kept as a real still reads.
  for (const uint64_t version : std::initializer_list<uint64_t>{1ull << 63, (1ull << 63) + 1, UINT64_MAX}) {
    SCOPED_TRACE(version);
    info.appInfoVer = version;
    info.encodeWithCoder(infoCoder);
    EXPECT_EQ(AppRegisterInfo::initWithCoder(*NSKeyedUnarchiver::unarchiveObjectWithData(
                                                 NSKeyedArchiver::archivedDataWithRootObject(
                                                     infoCoder)))
                  .appInfoVer,
              version);
  }
  infoCoder.set("appInfoVer", Value(static_cast<double>(1ull << 63)));
  EXPECT_EQ(AppRegisterInfo::initWithCoder(infoCoder).appInfoVer, 1ull << 63);
  EXPECT_EQ(infoBack.nextUpdateInfoTime, 9u);
  EXPECT_EQ(infoBack.rankWeight, 0u) << "not archived";
  EXPECT_EQ(infoBack.description(), "{ name:Tovira appid:plapp}");
  EXPECT_EQ(AppRegisterInfo().description(), "{ name: appid:}");
}
