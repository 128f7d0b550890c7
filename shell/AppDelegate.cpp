#include "shell/AppDelegate.h"

#include "core/Config.h"
#include "core/DBHelper.h"
#include "core/ImageCache.h"
#include "core/ServerController.h"
#include "core/TempData.h"
#include "parley/PLApi.h"
#include "parley/PaylumePayApi.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "shell/GuideViewController.h"
#include "shell/HomeViewController.h"

TOVIRA_REGISTER_CLASS(AppDelegate, UIResponder)

std::shared_ptr<AppDelegate> AppDelegate::create() { return std::make_shared<AppDelegate>(); }

bool AppDelegate::application(UIApplication& application, const Value& /*launchOptions*/) {
  application.setApplicationIconBadgeNumber(0);

  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  auto& defaults = NSUserDefaults::standardUserDefaults();
  if (defaults.stringForKey(kFirstOpenKey) != "NO") {
    window_->setRootViewController(GuideViewController::create());
    defaults.setObject(Value("NO"), kFirstOpenKey);
    defaults.synchronize();
  } else {
    window_->setRootViewController(HomeViewController::create());
  }

  autoLogin();

  application.registerUserNotificationSettings(UIUserNotificationSettings::settingsForTypes(
      UIUserNotificationTypeBadge | UIUserNotificationTypeSound | UIUserNotificationTypeAlert));
  // Registering also starts Parley's statistics; whether it took is of no consequence here.
  PLApi::registerApp(Config::kParleyAppId);

  // The first screen appears only once the remembered user is logged in, as it would after
  // start-up on the device.
  window_->makeKeyAndVisible();
  return true;
}

void AppDelegate::autoLogin() {
  DBHelper db;
  const bool opened = db.open();
  if (opened) {
    db.createTables();
  } else {
    NSLog("AppDelegate: cannot open the local database at %@", DBHelper::databasePath());
  }
  ImageCache::cacheFolder();
  if (opened) {
    auto login = db.newestLogin();
    if (login && login->autologin == 1) {
      const Value reply = ServerController::loginWithUsername(login->username, login->password);
      if (ServerController::loginSucceeded(reply)) TempData::setuserdata(reply["data"]);
    }
  }
  db.close();
}

bool AppDelegate::application(UIApplication& /*application*/, const std::shared_ptr<NSURL>& url,
                              const std::string& /*sourceApplication*/,
                              const Value& /*annotation*/) {
  if (!url) return true;
  if (NSString::lowercaseString(url->scheme()) != NSString::lowercaseString(kPayReturnScheme)) {
    return true;
  }
  auto api = PaylumePayApi::sharedInstance();
  // Text that does not decode comes back empty: it then reads as no result at all.
  const std::string decoded = api->decodeFromPercentEscapeString(url->absoluteString());
  NSLog("%@", decoded);
  const auto parts = NSString::componentsSeparatedByString(decoded, "&");
  const std::string first = parts.empty() ? std::string() : parts.front();
  const size_t equals = first.find('=');
  const std::string result = equals == std::string::npos ? std::string() : first.substr(equals + 1);
  std::lock_guard<std::mutex> lock(mutex_);
  payApi_ = api;
  // The order's outcome is settled between the payment app and our server; the return URL is
  // only read, never acted on.
  lastPaymentSucceeded_ = result == "SUCCESS";
  return true;
}

void AppDelegate::onReq(const std::shared_ptr<BaseReq>& /*req*/) {}

void AppDelegate::onResp(const std::shared_ptr<BaseResp>& /*resp*/) {}

std::shared_ptr<PaylumePayApi> AppDelegate::payApi() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return payApi_;
}

bool AppDelegate::lastPaymentSucceeded() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastPaymentSucceeded_;
}
