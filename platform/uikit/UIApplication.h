#pragma once
// The application object: URL opening through the simulated device, badge, notifications,
// the key window and the app delegate's life-cycle hooks. Main thread only, except openURL
// and canOpenURL, which may be called from any thread (they only consult and record).

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/NSURL.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/CGGeometry.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIViewController.h"

class UIApplication;
class UIWindow;

extern const std::string UIApplicationDidFinishLaunchingNotification;
extern const std::string UIApplicationDidEnterBackgroundNotification;
extern const std::string UIApplicationWillEnterForegroundNotification;
extern const std::string UIApplicationDidBecomeActiveNotification;
extern const std::string UIApplicationWillResignActiveNotification;
extern const std::string UIApplicationWillTerminateNotification;
extern const std::string UIApplicationWillChangeStatusBarOrientationNotification;
extern const std::string UIApplicationDidChangeStatusBarOrientationNotification;
// User info of both orientation notifications: the new orientation (will) or the old (did).
extern const std::string UIApplicationStatusBarOrientationUserInfoKey;

using UIUserNotificationType = unsigned long;
inline constexpr UIUserNotificationType UIUserNotificationTypeNone = 0;
inline constexpr UIUserNotificationType UIUserNotificationTypeBadge = 1 << 0;
inline constexpr UIUserNotificationType UIUserNotificationTypeSound = 1 << 1;
inline constexpr UIUserNotificationType UIUserNotificationTypeAlert = 1 << 2;

class UIUserNotificationSettings : public NSObject {
  TOVIRA_CLASS(UIUserNotificationSettings)
 public:
  explicit UIUserNotificationSettings(UIUserNotificationType t) : types_(t) {}
  static std::shared_ptr<UIUserNotificationSettings> settingsForTypes(UIUserNotificationType t) {
    return std::make_shared<UIUserNotificationSettings>(t);
  }
  UIUserNotificationType types() const { return types_; }

 private:
  UIUserNotificationType types_;
};

class UILocalNotification : public NSObject {
  TOVIRA_CLASS(UILocalNotification)
 public:
  static std::shared_ptr<UILocalNotification> create() {
    return std::make_shared<UILocalNotification>();
  }
  double fireDate = 0;  // seconds since 1970
  std::string timeZone;
  std::string alertBody;
  std::string alertAction;
  std::string soundName;
  long applicationIconBadgeNumber = 0;
  long repeatInterval = 0;
  Value userInfo;
};

enum UIApplicationState : long {
  UIApplicationStateActive = 0,
  UIApplicationStateInactive = 1,
  UIApplicationStateBackground = 2,
};

// The app delegate. Selectors that share the first keyword "application" are overloads.
class UIApplicationDelegate {
 public:
  virtual ~UIApplicationDelegate() = default;
  // application:didFinishLaunchingWithOptions:
  virtual bool application(UIApplication&, const Value& /*launchOptions*/) { return true; }
  // application:openURL:sourceApplication:annotation:
  virtual bool application(UIApplication&, const std::shared_ptr<NSURL>& /*url*/,
                           const std::string& /*sourceApplication*/, const Value& /*annotation*/) {
    return false;
  }
  // application:didRegisterUserNotificationSettings:
  virtual void application(UIApplication&,
                           const std::shared_ptr<UIUserNotificationSettings>& /*settings*/) {}
  // application:didReceiveLocalNotification:
  virtual void application(UIApplication&, const std::shared_ptr<UILocalNotification>&) {}
  virtual void applicationDidEnterBackground(UIApplication&) {}
  virtual void applicationWillEnterForeground(UIApplication&) {}
  virtual void applicationDidBecomeActive(UIApplication&) {}
  virtual void applicationWillResignActive(UIApplication&) {}
  virtual void applicationWillTerminate(UIApplication&) {}
  virtual std::shared_ptr<UIWindow> window() const { return nullptr; }
};

class UIApplication : public UIResponder {
  TOVIRA_CLASS(UIApplication)
 public:
  static std::shared_ptr<UIApplication> sharedApplication();

  std::shared_ptr<UIApplicationDelegate> delegate() const;
  void setDelegate(std::shared_ptr<UIApplicationDelegate> d);  // held strongly

  // Life cycle, driven by the simulator and tests. launch sets the delegate, calls
  // didFinishLaunchingWithOptions and then didBecomeActive; the others call the matching
  // hook and post the matching notification.
  bool launch(std::shared_ptr<UIApplicationDelegate> delegate, const Value& options = {});
  void enterBackground();
  void enterForeground();
  void terminate();
  UIApplicationState applicationState() const;
  // Another app opened one of this app's URLs: calls the delegate's openURL hook on the
  // main thread and answers its result.
  bool handleOpenURL(const std::shared_ptr<NSURL>& url, const std::string& sourceApplication);

  // The simulated device decides: NO when no installed app handles the scheme (compared
  // without regard to case); otherwise the URL is recorded at once and handed to that app's
  // handler on the main run loop after this call returns. A null URL is NO.
  bool openURL(const std::shared_ptr<NSURL>& url);
  bool canOpenURL(const std::shared_ptr<NSURL>& url) const;

  long applicationIconBadgeNumber() const;
  void setApplicationIconBadgeNumber(long n);
  bool isNetworkActivityIndicatorVisible() const { return networkIndicator_; }
  void setNetworkActivityIndicatorVisible(bool v) { networkIndicator_ = v; }
  bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
  void setIdleTimerDisabled(bool d) { idleTimerDisabled_ = d; }
  // 20 points deep along the interface's top edge, in the screen's fixed portrait coordinates:
  // across the top in portrait, the bottom upside down, the right edge in landscape right and
  // the left edge in landscape left; zero when hidden.
  CGRect statusBarFrame() const;
  bool isStatusBarHidden() const { return statusBarHidden_; }
  void setStatusBarHidden(bool h) { statusBarHidden_ = h; }
  UIInterfaceOrientation statusBarOrientation() const { return orientation_; }
  // Rotates the interface: posts the will-change notification (object: the application),
  // changes the orientation, then posts the did-change notification. The same orientation
  // again does nothing. Main thread only.
  void setStatusBarOrientation(UIInterfaceOrientation orientation, bool animated = false);

  // Notifications, recorded.
  void registerUserNotificationSettings(const std::shared_ptr<UIUserNotificationSettings>& s);
  std::shared_ptr<UIUserNotificationSettings> currentUserNotificationSettings() const;
  void registerForRemoteNotifications();
  bool isRegisteredForRemoteNotifications() const;
  void scheduleLocalNotification(const std::shared_ptr<UILocalNotification>& n);
  void presentLocalNotificationNow(const std::shared_ptr<UILocalNotification>& n);
  void cancelLocalNotification(const std::shared_ptr<UILocalNotification>& n);
  void cancelAllLocalNotifications();
  std::vector<std::shared_ptr<UILocalNotification>> scheduledLocalNotifications() const;
  std::vector<std::shared_ptr<UILocalNotification>> presentedLocalNotifications() const;

  // Windows: every window that was made visible, and the key one.
  std::shared_ptr<UIWindow> keyWindow() const;
  std::vector<std::shared_ptr<UIWindow>> windows() const;
  void setKeyWindow(const std::shared_ptr<UIWindow>& w);

  // Tests: back to a freshly started application (no delegate, no windows, nothing recorded).
  void reset();

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<UIApplicationDelegate> delegate_;
  std::weak_ptr<UIWindow> keyWindow_;
  std::vector<std::weak_ptr<UIWindow>> windows_;
  std::shared_ptr<UIUserNotificationSettings> notificationSettings_;
  std::vector<std::shared_ptr<UILocalNotification>> scheduled_;
  std::vector<std::shared_ptr<UILocalNotification>> presented_;
  UIApplicationState state_ = UIApplicationStateInactive;
  long badge_ = 0;
  bool remoteRegistered_ = false;
  bool networkIndicator_ = false;
  bool idleTimerDisabled_ = false;
  bool statusBarHidden_ = false;
  UIInterfaceOrientation orientation_ = UIInterfaceOrientationPortrait;
};
