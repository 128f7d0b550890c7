#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "parley/PLApiDelegate.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIResponder.h"

class PaylumePayApi;
class UIWindow;

// The application delegate: starts the app and answers the URLs that other apps open in it.
//
// Start-up (didFinishLaunchingWithOptions, main thread): sets the icon badge to 0; makes a
// window whose root is the home screen, or the first-launch guide while the user default
// "isFirstOpen" is not "NO" (then stores "NO"); opens the local database, creates its tables;
// creates the image-cache folder; when the newest remembered login has autologin 1, logs it in
// (blocking, as every server call) and keeps the reply's "data" as UserData on "ok"; closes the
// database; registers for badge, sound and alert notifications; and registers the app with
// Parley once.
class AppDelegate : public UIResponder, public UIApplicationDelegate, public PLApiDelegate {
  TOVIRA_CLASS(AppDelegate)
  static constexpr const char* kFirstOpenKey = "isFirstOpen";
  // The scheme under which the payment app returns to us.
  static constexpr const char* kPayReturnScheme = "DWKMarrowpay";

  static std::shared_ptr<AppDelegate> create();

  // application:didFinishLaunchingWithOptions:
  bool application(UIApplication& application, const Value& launchOptions) override;
  // application:openURL:sourceApplication:annotation: answers YES for every URL. A payment
  // return URL is decoded and logged and its result read ("SUCCESS" or not) without further
  // action; nothing is passed to Parley.
  bool application(UIApplication& application, const std::shared_ptr<NSURL>& url,
                   const std::string& sourceApplication, const Value& annotation) override;
  using UIApplicationDelegate::application;

  // Parley's callbacks: the app only sends, so there is nothing to do.
  void onReq(const std::shared_ptr<BaseReq>& req) override;
  void onResp(const std::shared_ptr<BaseResp>& resp) override;

  std::shared_ptr<UIWindow> window() const override { return window_; }
  // The payment launcher taken by the last payment return URL (nullptr before).
  std::shared_ptr<PaylumePayApi> payApi() const;
  // Whether the last payment return URL reported "SUCCESS".
  bool lastPaymentSucceeded() const;

 private:
  void autoLogin();

  std::shared_ptr<UIWindow> window_;
  mutable std::mutex mutex_;
  std::shared_ptr<PaylumePayApi> payApi_;
  bool lastPaymentSucceeded_ = false;
};
