#include <filesystem>
#include <functional>
#include <vector>

#include "core/Config.h"
#include "core/ImageCache.h"
#include "core/TempData.h"
#include "parley/PLApi.h"
#include "parley/stats/PLOStatCommonUDID.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/Sandbox.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIWindow.h"
#include "shell/ShellTestFixture.h"

namespace {
const char* kDemoUser =
    R"({"state":"ok","data":{"username":"demo","token":"t1","gold":"12.00","bound_gold":"3.00"}})";
}

class AppStartTest : public ShellTestFixture {};

TEST_F(AppStartTest, StartPreparesBadgeDatabaseCacheNotificationsAndParley) {
  UIApplication::sharedApplication()->setApplicationIconBadgeNumber(7);
  launch();
  auto app = UIApplication::sharedApplication();
  EXPECT_EQ(app->applicationIconBadgeNumber(), 0);
  auto settings = app->currentUserNotificationSettings();
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->types(), UIUserNotificationTypeBadge | UIUserNotificationTypeSound |
                                   UIUserNotificationTypeAlert);
  EXPECT_TRUE(std::filesystem::exists(DBHelper::databasePath()));
  EXPECT_TRUE(std::filesystem::is_directory(Sandbox::caches() + "/imageCache"));
  EXPECT_EQ(PLApi::registeredAppID(), Config::kParleyAppId);
  EXPECT_TRUE(app->keyWindow());
  EXPECT_EQ(app->keyWindow(), delegate_->window());
}

TEST_F(AppStartTest, WithoutARememberedLoginNobodyIsLoggedInAndNothingIsSent) {
  server().reply("login", kDemoUser);
  launch();
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_TRUE(server().requests("login").empty());
  // A remembered login without autologin is not logged in either.
  rememberLogin("demo", "demo123", 0);
  relaunch();
  EXPECT_TRUE(server().requests("login").empty());
  EXPECT_TRUE(TempData::getuserdata().isNil());

  // A refused autologin leaves nobody logged in, and the start-up login reports nothing.
  rememberLogin("demo", "changed", 1);
  server().reply("login", R"({"state":"error","msg":"用户名或密码错误","data":null})");
  relaunch();
  EXPECT_EQ(server().requests("login").size(), 1u);
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_FALSE(Automation::currentAlert());
}

TEST_F(AppStartTest, TheNewestRememberedLoginWithAutologinIsLoggedInAtStart) {
  rememberLogin("old", "oldpw", 1);
  advance(2);  // the second login is newer
  rememberLogin("demo", "demo123", 1);
  server().reply("login", kDemoUser);
  launch();

  auto request = server().lastRequest("login");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("username"), "demo");
  EXPECT_EQ(request->value("password"), "demo123");
  EXPECT_EQ(server().requests("login").size(), 1u);
  EXPECT_EQ(TempData::getuserdata()["token"].str(), "t1");
}

// A relaunch used to wipe the device with the app: the statistics module's shared identifier,
// the other apps, the links opened, the photos and even the device's folder were gone, so that
// the identifier's slots could never do what they exist for. What the process held goes.
TEST_F(AppStartTest, ARelaunchEndsOnlyWhatTheAppsProcessHeldAndKeepsTheDevice) {
  launch();
  const std::string identifier = PLOStatCommonUDID::value();
  auto slot = [] {
    auto board = UIPasteboard::pasteboardWithName("org.CommonUDID.slot.0", false);
    return board ? PLOStatCommonUDID::_getDictFromPasteboard(board)["CommonUDID"].str() : "";
  };
  auto joined = [](const std::vector<std::string>& lines) {
    return NSString::componentsJoinedByString(lines, " ");
  };
  SimulatedDevice::shared().installApp("taobao", [](const std::string&) { return true; });
  ASSERT_TRUE(UIApplication::sharedApplication()->openURL(NSURL::URLWithString("taobao://a")));
  UIPasteboard::generalPasteboard()->setString("copied");
  UIPasteboard::pasteboardWithName("scratch", true)->setString("not persistent");
  UIImageWriteToSavedPhotosAlbum(UIImage::imageWithBitMatrix({{true}}, 2), nullptr);
  pump();

  // Each row: what is read, and whether the device keeps it (else it ends with the process).
  const struct {
    const char* what;
    std::function<std::string()> read;
    bool kept;
  } table[] = {
      {"the identifier's slot", slot, true},
      {"the identifier", [] { return PLOStatCommonUDID::value(); }, true},
      {"the general pasteboard", [] { return UIPasteboard::generalPasteboard()->string(); }, true},
      {"the installed apps", [&] { return joined(SimulatedDevice::shared().installedSchemes()); },
       true},
      {"the opened URLs", [&] { return joined(SimulatedDevice::shared().openedURLs()); }, true},
      {"the photo album", [&] { return joined(PhotoAlbum::shared().savedPhotoPaths()); }, true},
      {"the device's folder", [] { return SimulatedDevice::shared().root(); }, true},
      {"the sandbox", [] { return Sandbox::root(); }, true},
      {"a pasteboard that was not persistent",
       [] {
         auto board = UIPasteboard::pasteboardWithName("scratch", false);
         return board ? board->string() : "";
       },
       false},
  };
  std::vector<std::string> before;
  for (const auto& row : table) {
    before.push_back(row.read());
    EXPECT_FALSE(before.back().empty()) << row.what;
  }
  EXPECT_EQ(before[0], identifier);

  relaunch();
  for (size_t i = 0; i < std::size(table); ++i) {
    SCOPED_TRACE(table[i].what);
    EXPECT_EQ(table[i].read(), table[i].kept ? before[i] : "");
  }
}

class AppURLTest : public ShellTestFixture {
 protected:
  bool open(const std::string& url) {
    auto parsed = NSURL::URLWithString(url);
    EXPECT_TRUE(parsed) << url;
    return UIApplication::sharedApplication()->handleOpenURL(parsed, "com.paylume.pay");
  }
};

TEST_F(AppURLTest, APaymentReturnIsDecodedLoggedAndReadForItsResult) {
  launch();
  NSLogSink::clear();
  const std::string success = "DWKMarrowpay://result=SUCCESS&orderid=demo%2B1";
  EXPECT_TRUE(open(success));
  EXPECT_TRUE(delegate_->payApi());
  EXPECT_TRUE(delegate_->lastPaymentSucceeded());
  EXPECT_TRUE(NSLogSink::contains("DWKMarrowpay://result=SUCCESS&orderid=demo+1"));
  // Another result, none at all or broken escapes: no success, and no crash.
  for (const char* url : {"DWKMarrowpay://result=FAIL", "DWKMarrowpay://cancelled",
                          "DWKMarrowpay://result=%FF%FE", "dwkmarrowpay:"}) {
    ASSERT_TRUE(open(success));
    EXPECT_TRUE(open(url));
    EXPECT_FALSE(delegate_->lastPaymentSucceeded()) << url;
  }
}

TEST_F(AppURLTest, EveryOtherURLIsAnsweredYesAndLeftAlone) {
  launch();
  const std::string parleyReturn = std::string(Config::kParleyAppId) + "://pay/?returnKey=x&ret=0";
  EXPECT_TRUE(open(parleyReturn));
  EXPECT_TRUE(open("https://tovira.example/page"));
  EXPECT_FALSE(delegate_->payApi()) << "only payment returns take the payment launcher";
}
