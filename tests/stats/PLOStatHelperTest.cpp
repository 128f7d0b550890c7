#include <fstream>

#include "parley/stats/PLOStatCommonUDID.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatKeyChain.h"
#include "parley/stats/PLOStatPasteboard.h"
#include "parley/stats/PLOStatUser.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSDate.h"
#include "platform/services/Keychain.h"
#include "platform/uikit/UIDevice.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatHelperTest : public StatTestFixture {
 protected:
  void TearDown() override {
    NSBundle::mainBundle().setResourcePath(TOVIRA_RESOURCES);
    UIDevice::currentDevice()->reset();
    StatTestFixture::TearDown();
  }

  // A bundle whose Info.plist has the given identifier and versions.
  void useBundle(const std::string& identifier, const std::string& shortVersion = "") {
    std::string dir = root() + "/bundle-" + std::to_string(++bundles_);
    std::filesystem::create_directories(dir);
    std::ofstream plist(dir + "/Info.plist");
    plist << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
          << "<key>CFBundleIdentifier</key><string>" << identifier << "</string>";
    if (!shortVersion.empty())
      plist << "<key>CFBundleShortVersionString</key><string>" << shortVersion << "</string>";
    plist << "</dict></plist>\n";
    plist.close();
    NSBundle::mainBundle().setResourcePath(dir);
  }

  // The app quits and starts again on the same device.
  void relaunchApp() {
    restartProcess();
    SimulatedDevice::shared().restartApp();
  }

  static void advanceDays(double days) {
    auto clock = std::dynamic_pointer_cast<VirtualClock>(RunLoop::main().clockPtr());
    ASSERT_TRUE(clock);
    clock->advance(days * 86400);
  }

  int bundles_ = 0;
};
}  // namespace

TEST_F(PLOStatHelperTest, TheCompanyDomainDropsTheIdentifiersLastComponent) {
  useBundle("org.sample.game");
  EXPECT_EQ(PLOStatPasteboard::getCompanyDomain(), "org.sample");
  useBundle("standalone");
  EXPECT_EQ(PLOStatPasteboard::getCompanyDomain(), "standalone");
}

TEST_F(PLOStatHelperTest, SavingTheSharedIdentifierKeepsThePushTokenEntry) {
  PLOStatKeyChain::save(PLOStatPasteboard::getCompanyDomain(),
                        Value::dict({{"pstoken", "push-1"}}));
  PLOStatHelper::saveCommonUDID("id-1");
  PLOStatHelper::saveCommonUDID("");  // ignored
  EXPECT_EQ(PLOStatHelper::getCommonUDID(), "id-1");
  EXPECT_EQ(PLOStatHelper::getInstance()->getPushDeviceTokenItem(), "push-1");
  EXPECT_EQ(PLOStatKeyChain::load(PLOStatPasteboard::getCompanyDomain()),
            Value::dict({{"pstoken", "push-1"}, {"statcommonudid", "id-1"}}));
}

TEST_F(PLOStatHelperTest, TheIdentifiersSurviveAnAppRestart) {
  std::string deviceId = PLOStatHelper::getInstance()->getEnv().deviceid;
  ASSERT_EQ(deviceId.size(), 40u);
  PLOStatHelper::getInstance()->saveMid("token-9");
  relaunchApp();
  EXPECT_EQ(PLOStatHelper::getInstance()->getEnv().deviceid, deviceId);
  EXPECT_EQ(PLOStatHelper::getInstance()->getMid(), "token-9");

  // Without the keychain item, the shared identifier's own copies bring it back.
  PLOStatKeyChain::remove(PLOStatPasteboard::getCompanyDomain());
  relaunchApp();
  EXPECT_EQ(PLOStatHelper::getInstance()->getEnv().deviceid, deviceId);
  EXPECT_EQ(PLOStatHelper::getCommonUDID(), deviceId);
}

TEST_F(PLOStatHelperTest, KeychainItemsThatCannotBeReadGiveNothing) {
  EXPECT_EQ(PLOStatHelper::getInstance()->getMid(), "0");
  PLOStatKeyChain::save("item", Value::dict({{"a", "b"}}));
  Keychain::setFailing(true);
  EXPECT_TRUE(PLOStatKeyChain::load("item").isNil());
  Keychain::setFailing(false);
  EXPECT_EQ(PLOStatKeyChain::load("item"), Value::dict({{"a", "b"}}));
  PLOStatKeyChain::remove("item");
  EXPECT_TRUE(PLOStatKeyChain::load("item").isNil());
}

TEST_F(PLOStatHelperTest, NetworkInformationFollowsTheSimulatedSources) {
  auto& network = SimulatedNetwork::shared();
  auto helper = PLOStatHelper::getInstance();
  EXPECT_EQ(PLOStatHelper::getMacAddress(), "02:00:00:3A:5C:71");
  EXPECT_TRUE(PLOStatHelper::isWiFiAvailable());
  EXPECT_EQ(helper->fetchSSIDInfo(), R"({"bs":"02:00:00:00:00:01","ss":"ToviraNet"})");

  network.setKind(NetworkKind::Cellular);
  EXPECT_FALSE(PLOStatHelper::isWiFiAvailable());
  EXPECT_EQ(helper->fetchSSIDInfo(), R"({"bs":"Not Found","ss":"Not Found"})");

  network.setHasWiFiInterface(false);
  EXPECT_EQ(PLOStatHelper::getMacAddress(), "if_nametoindex failure");
  EXPECT_TRUE(NSLogSink::contains("Error: if_nametoindex failure"));
}

TEST_F(PLOStatHelperTest, TheEnvironmentIsReadFromTheDevice) {
  UIDevice::currentDevice()->setSystemVersion("5.1");
  useBundle("org.sample.game", "3.2");
  SimulatedNetwork::shared().setCarrier(std::nullopt);
  PLOStatHelper::resetForTesting();
  const PLOStatEnv& env = PLOStatHelper::getInstance()->getEnv();
  EXPECT_EQ(env.os_version, "5.1");
  EXPECT_EQ(env.ifv, "");  // before system 6
  EXPECT_EQ(env.app_version, "3.2");
  EXPECT_EQ(env.mccmnc, "");
  EXPECT_EQ(env.resolution, "640x1136");
  EXPECT_FALSE(env.jailbroken);
}

TEST_F(PLOStatHelperTest, UserTypeMarksALaterDayAndANewAppVersion) {
  auto helper = PLOStatHelper::getInstance();
  EXPECT_EQ(helper->getUser()->userType, 0);
  advanceDays(0.01);
  EXPECT_EQ(helper->getUser()->userType, 0);

  useBundle("com.tovira.app", "1.1");  // an update on the same day
  PLOStatHelper::resetForTesting();
  EXPECT_EQ(PLOStatHelper::getInstance()->getUser()->userType, 2);

  useBundle("com.tovira.app", "1.2");  // another update, on a later day
  PLOStatHelper::resetForTesting();
  advanceDays(1);
  EXPECT_EQ(PLOStatHelper::getInstance()->getUser()->userType, 3);
  PLOStatStore::getInstance()->waitForQueue();
  EXPECT_EQ(PLOStatStore::getInstance()->loadUser().userType, 3);
}

TEST_F(PLOStatHelperTest, AUserSeenOnTheSameDayOfALaterYearCountsAsSeenOnALaterDay) {
  auto helper = PLOStatHelper::getInstance();
  EXPECT_EQ(helper->getUser()->userType, 0);
  advanceDays(365);  // 2024 is a leap year: the same day of the year, one year on
  EXPECT_EQ(helper->getUser()->userType, 1);
}

TEST_F(PLOStatHelperTest, VersionsCompareByTheValueOfTheirNumbers) {
  EXPECT_EQ(PLOStatHelper::compareVersions("1.4.6", "1.4.6"), 0);
  EXPECT_EQ(PLOStatHelper::compareVersions("1.10.0", "1.4.6"), 1);
  EXPECT_EQ(PLOStatHelper::compareVersions("1.4.5", "1.4.6"), -1);
  EXPECT_EQ(PLOStatHelper::compareVersions("1.4.6.1", "1.4.6"), 1);
}

TEST_F(PLOStatHelperTest, GunzipReadsWhatGzipWroteAndRefusesACutStream) {
  // GZip's stream is checked against zlib itself by the dispatcher's tests.
  const std::string text = std::string(5000, 'x') + "end";
  std::vector<uint8_t> packed, out;
  ASSERT_EQ(PLOStatHelper::GZip(std::vector<uint8_t>(text.begin(), text.end()), packed), 0);
  ASSERT_EQ(PLOStatHelper::GUnzip(packed, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), text);
  packed.resize(packed.size() / 2);
  EXPECT_EQ(PLOStatHelper::GUnzip(packed, out), -1);
  EXPECT_EQ(PLOStatHelper::GZip({}, out), -1);
}
