#pragma once

// The common test fixture of the app's tests. Derive a test suite from it:
//
//   class LoginScreenTest : public AppFixture {};
//   TEST_F(LoginScreenTest, LogsTheDemoUserIn) {
//     server().reply("login", R"({"state":"ok","data":{"username":"demo"}})");
//     ... drive the app; pump(); advance(1.0); ...
//     EXPECT_EQ(server().lastRequest("login")->value("username"), "demo");
//   }
//
// Each test gets, in SetUp:
// - a watchdog that aborts the process (naming the test) after kWatchdogSeconds of real time;
// - a fresh temporary sandbox (Sandbox::setRoot), removed again in TearDown;
// - the main bundle pointed at the repository's resources/ folder;
// - a reset main run loop driven by the test's thread, with a VirtualClock (RunLoop::reset());
// - an empty log sink, no recorded alerts, empty TempData, default Config;
// - a DevServer on 127.0.0.1 at a free port, with no replies scripted (unscripted apis answer
//   {"state":"error","msg":"接口不存在"}); Config's API host points at it and the request timeout
//   is kRequestTimeout seconds. Call useDemoReplies() for the demo's replies.
// TearDown lets background work finish, drops pending main-queue work and timers, stops the
// server and restores Config and TempData. Suites that override SetUp/TearDown must call these.
//
// Everything here runs on the test's thread, which is the main thread of the app under test.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Watchdog.h"
#include "devserver/DevServer.h"

class AppFixture : public ::testing::Test {
 public:
  static constexpr double kWatchdogSeconds = 60;
  static constexpr double kRequestTimeout = 3;

 protected:
  void SetUp() override;
  void TearDown() override;

  DevServer& server() { return *server_; }
  // Root of this test's sandbox (Documents, Library/Caches, Library/Preferences, tmp).
  const std::string& sandboxRoot() const { return sandboxRoot_; }
  // The repository's resources/ folder.
  static std::string resourcesPath();
  // Scripts the demo server's replies (resources/demo) and serves its files under /files.
  void useDemoReplies();
  // The last request of `api` as its decoded "key=value" pairs joined by "&" in the order sent,
  // without the "api" and "tgid" that every call carries; "(none)" when none came. Compares a
  // request's exact keys and values in one statement.
  std::string sent(const std::string& api);
  static std::string sent(const DevRequest& request);
  // Leaves a remembered login in the local database, so that a re-login asks the server.
  static void rememberLogin(const std::string& username, const std::string& password,
                            int autologin = 1);

  // Runs the main loop until all is quiet (background work included); fails the test when the
  // loop's own watchdog expired.
  void pump();
  // Moves the virtual clock on, firing what falls due on the way.
  void advance(double seconds);

 private:
  std::unique_ptr<Watchdog> watchdog_;
  std::unique_ptr<DevServer> server_;
  std::string sandboxRoot_;
};
