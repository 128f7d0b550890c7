#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/DBHelper.h"
#include "parley/PLApiRegister.h"
#include "parley/StatPL.h"
#include "parley/stats/PLOStat.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIViewController.h"
#include "shell/AppDelegate.h"
#include "shell/AppMain.h"
#include "support/AppFixture.h"

// Runs the whole app against the test's devserver, as a person starts and uses it. Shared by the
// shell, account and simulator tests.
class ShellTestFixture : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    // Every test starts as a new process on a fresh device of its own; relaunch() keeps the
    // device. The SDK's singletons that an earlier test left belong to another process.
    endSdkSingletons();
    Automation::resetPlatform(sandboxRoot() + "/Device");
    NSUserDefaults::resetStandardUserDefaults();
  }

  void TearDown() override {
    delegate_.reset();
    endSdkSingletons();
    Automation::resetPlatform();
    AppFixture::TearDown();
  }

  // Starts the app as on a later start: the guide has been seen.
  std::shared_ptr<AppDelegate> launch() {
    NSUserDefaults::standardUserDefaults().setObject(Value("NO"), "isFirstOpen");
    delegate_ = AppMain();
    pump();
    return delegate_;
  }

  // Ends the app as the end of its process would and starts it again on the same device: the
  // sandbox, pasteboards, installed apps, photo album and opened URLs stay.
  std::shared_ptr<AppDelegate> relaunch() {
    AppShutdown();
    delegate_ = AppMain();
    pump();
    return delegate_;
  }

  static void rememberLogin(const std::string& username, const std::string& password,
                            int autologin) {
    DBHelper db;
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.createTables());
    ASSERT_TRUE(db.saveLogin(username, password, autologin));
  }

  static std::optional<LoginRecord> newestLogin() {
    DBHelper db;
    if (!db.open()) return std::nullopt;
    return db.newestLogin();
  }

  // Taps the view that shows the text and lets the app settle; fails the test when none does.
  void tapText(const std::string& text) {
    ASSERT_TRUE(Automation::tapText(text)) << "nothing on screen shows \"" << text << "\"";
    pump();
  }

  static std::shared_ptr<UIViewController> top() { return Automation::topViewController(); }

  template <class T>
  static std::shared_ptr<T> topAs() {
    return std::dynamic_pointer_cast<T>(Automation::topViewController());
  }

  std::shared_ptr<AppDelegate> delegate_;

 private:
  // What AppShutdown ends of the SDK, for a test that never launched or has just ended.
  static void endSdkSingletons() {
    PLApiRegister::resetForTesting();
    StatPL::resetForTesting();
    PLOStat::resetForTesting();
  }
};
