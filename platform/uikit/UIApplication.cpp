#include "platform/uikit/UIApplication.h"

#include <algorithm>

#include "platform/foundation/RunLoop.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIKitNotification.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

const std::string UIApplicationDidFinishLaunchingNotification =
    "UIApplicationDidFinishLaunchingNotification";
const std::string UIApplicationDidEnterBackgroundNotification =
    "UIApplicationDidEnterBackgroundNotification";
const std::string UIApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
const std::string UIApplicationDidBecomeActiveNotification =
    "UIApplicationDidBecomeActiveNotification";
const std::string UIApplicationWillResignActiveNotification =
    "UIApplicationWillResignActiveNotification";
const std::string UIApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";
const std::string UIApplicationWillChangeStatusBarOrientationNotification =
    "UIApplicationWillChangeStatusBarOrientationNotification";
const std::string UIApplicationDidChangeStatusBarOrientationNotification =
    "UIApplicationDidChangeStatusBarOrientationNotification";
const std::string UIApplicationStatusBarOrientationUserInfoKey =
    "UIApplicationStatusBarOrientationUserInfoKey";

std::shared_ptr<UIApplication> UIApplication::sharedApplication() {
  static const auto app = std::make_shared<UIApplication>();
  return app;
}

std::shared_ptr<UIApplicationDelegate> UIApplication::delegate() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return delegate_;
}

void UIApplication::setDelegate(std::shared_ptr<UIApplicationDelegate> d) {
  std::lock_guard<std::mutex> lock(mutex_);
  delegate_ = std::move(d);
}

bool UIApplication::launch(std::shared_ptr<UIApplicationDelegate> d, const Value& options) {
  setDelegate(d);
  bool ok = true;
  if (d) ok = d->application(*this, options);
  UIKitNotification::post(UIApplicationDidFinishLaunchingNotification, sharedSelf<UIApplication>());
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = UIApplicationStateActive;
  }
  if (d) d->applicationDidBecomeActive(*this);
  UIKitNotification::post(UIApplicationDidBecomeActiveNotification, sharedSelf<UIApplication>());
  return ok;
}

void UIApplication::enterBackground() {
  auto d = delegate();
  if (d) d->applicationWillResignActive(*this);
  UIKitNotification::post(UIApplicationWillResignActiveNotification, sharedSelf<UIApplication>());
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = UIApplicationStateBackground;
  }
  if (d) d->applicationDidEnterBackground(*this);
  UIKitNotification::post(UIApplicationDidEnterBackgroundNotification, sharedSelf<UIApplication>());
}

void UIApplication::enterForeground() {
  auto d = delegate();
  if (d) d->applicationWillEnterForeground(*this);
  UIKitNotification::post(UIApplicationWillEnterForegroundNotification,
                          sharedSelf<UIApplication>());
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = UIApplicationStateActive;
  }
  if (d) d->applicationDidBecomeActive(*this);
  UIKitNotification::post(UIApplicationDidBecomeActiveNotification, sharedSelf<UIApplication>());
}

void UIApplication::terminate() {
  if (auto d = delegate()) d->applicationWillTerminate(*this);
  UIKitNotification::post(UIApplicationWillTerminateNotification, sharedSelf<UIApplication>());
}

UIApplicationState UIApplication::applicationState() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

bool UIApplication::handleOpenURL(const std::shared_ptr<NSURL>& url,
                                  const std::string& sourceApplication) {
  auto d = delegate();
  if (!d || !url) return false;
  return d->application(*this, url, sourceApplication, Value());
}

bool UIApplication::openURL(const std::shared_ptr<NSURL>& url) {
  if (!url) return false;
  return SimulatedDevice::shared().openURL(url->absoluteString());
}

bool UIApplication::canOpenURL(const std::shared_ptr<NSURL>& url) const {
  if (!url) return false;
  return SimulatedDevice::shared().canOpenURL(url->absoluteString());
}

long UIApplication::applicationIconBadgeNumber() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return badge_;
}

void UIApplication::setApplicationIconBadgeNumber(long n) {
  std::lock_guard<std::mutex> lock(mutex_);
  badge_ = n < 0 ? 0 : n;
}

CGRect UIApplication::statusBarFrame() const {
  if (statusBarHidden_) return CGRectZero;
  CGSize screen = UIScreen::mainScreen()->bounds().size;
  switch (orientation_) {
    case UIInterfaceOrientationPortraitUpsideDown:
      return CGRectMake(0, screen.height - 20, screen.width, 20);
    case UIInterfaceOrientationLandscapeRight:
      return CGRectMake(screen.width - 20, 0, 20, screen.height);
    case UIInterfaceOrientationLandscapeLeft:
      return CGRectMake(0, 0, 20, screen.height);
    default:
      return CGRectMake(0, 0, screen.width, 20);
  }
}

void UIApplication::setStatusBarOrientation(UIInterfaceOrientation orientation, bool) {
  if (orientation == orientation_) return;
  auto self = sharedSelf<UIApplication>();
  UIInterfaceOrientation old = orientation_;
  UIKitNotification::post(UIApplicationWillChangeStatusBarOrientationNotification, self,
                          Value::dict({{UIApplicationStatusBarOrientationUserInfoKey,
                                        static_cast<long>(orientation)}}));
  orientation_ = orientation;
  UIKitNotification::post(
      UIApplicationDidChangeStatusBarOrientationNotification, self,
      Value::dict({{UIApplicationStatusBarOrientationUserInfoKey, static_cast<long>(old)}}));
}

void UIApplication::registerUserNotificationSettings(
    const std::shared_ptr<UIUserNotificationSettings>& s) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    notificationSettings_ = s;
  }
  // The system answers later, on the main queue.
  auto self = sharedSelf<UIApplication>();
  RunLoop::main().post([self, s] {
    if (auto d = self->delegate()) d->application(*self, s);
  });
}

std::shared_ptr<UIUserNotificationSettings> UIApplication::currentUserNotificationSettings() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return notificationSettings_;
}

void UIApplication::registerForRemoteNotifications() {
  std::lock_guard<std::mutex> lock(mutex_);
  remoteRegistered_ = true;
}

bool UIApplication::isRegisteredForRemoteNotifications() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return remoteRegistered_;
}

void UIApplication::scheduleLocalNotification(const std::shared_ptr<UILocalNotification>& n) {
  if (!n) return;
  std::lock_guard<std::mutex> lock(mutex_);
  scheduled_.push_back(n);
}

void UIApplication::presentLocalNotificationNow(const std::shared_ptr<UILocalNotification>& n) {
  if (!n) return;
  std::lock_guard<std::mutex> lock(mutex_);
  presented_.push_back(n);
}

void UIApplication::cancelLocalNotification(const std::shared_ptr<UILocalNotification>& n) {
  std::lock_guard<std::mutex> lock(mutex_);
  scheduled_.erase(std::remove(scheduled_.begin(), scheduled_.end(), n), scheduled_.end());
}

void UIApplication::cancelAllLocalNotifications() {
  std::lock_guard<std::mutex> lock(mutex_);
  scheduled_.clear();
}

std::vector<std::shared_ptr<UILocalNotification>> UIApplication::scheduledLocalNotifications()
    const {
  std::lock_guard<std::mutex> lock(mutex_);
  return scheduled_;
}

std::vector<std::shared_ptr<UILocalNotification>> UIApplication::presentedLocalNotifications()
    const {
  std::lock_guard<std::mutex> lock(mutex_);
  return presented_;
}

std::shared_ptr<UIWindow> UIApplication::keyWindow() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return keyWindow_.lock();
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::shared_ptr<UIWindow>> out;
  for (auto& w : windows_) {
    if (auto s = w.lock()) out.push_back(s);
  }
  return out;
}

void UIApplication::setKeyWindow(const std::shared_ptr<UIWindow>& w) {
  std::lock_guard<std::mutex> lock(mutex_);
  keyWindow_ = w;
  if (!w) return;
  for (auto& existing : windows_) {
    if (existing.lock() == w) return;
  }
  windows_.push_back(w);
}

void UIApplication::reset() {
  std::shared_ptr<UIApplicationDelegate> drop;  // released outside the lock
  std::lock_guard<std::mutex> lock(mutex_);
  drop = std::move(delegate_);
  keyWindow_.reset();
  windows_.clear();
  notificationSettings_.reset();
  scheduled_.clear();
  presented_.clear();
  state_ = UIApplicationStateInactive;
  badge_ = 0;
  remoteRegistered_ = false;
  networkIndicator_ = false;
  idleTimerDisabled_ = false;
  statusBarHidden_ = false;
  orientation_ = UIInterfaceOrientationPortrait;
}
