#include "AppFixture.h"

#include <filesystem>

#include "core/Config.h"
#include "core/DBHelper.h"
#include "core/TempData.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/uikit/UIAlertView.h"

void AppFixture::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  watchdog_ = std::make_unique<Watchdog>(
      kWatchdogSeconds,
      info ? std::string(info->test_suite_name()) + "." + info->name() : "a test");

  sandboxRoot_ = Sandbox::makeTemporaryDirectory("tovira-test");
  Sandbox::setRoot(sandboxRoot_);
  NSBundle::mainBundle().setResourcePath(resourcesPath());
  RunLoop::main().reset();
  NSLogSink::clear();
  UIAlertView::resetRecorded();
  TempData::reset();
  Config::reset();

  server_ = std::make_unique<DevServer>();
  ASSERT_TRUE(server_->start()) << "devserver could not bind a loopback port";
  Config::setApiHost(server_->baseUrl());
  Config::setTimeout(kRequestTimeout);
}

void AppFixture::TearDown() {
  RunLoop::main().reset();
  if (server_) server_->stop();
  server_.reset();
  Config::reset();
  TempData::reset();
  UIAlertView::resetRecorded();
  std::error_code ec;
  if (!sandboxRoot_.empty()) std::filesystem::remove_all(sandboxRoot_, ec);
  watchdog_.reset();
}

std::string AppFixture::resourcesPath() { return TOVIRA_RESOURCES; }

void AppFixture::useDemoReplies() { ASSERT_TRUE(server_->loadDemo(resourcesPath() + "/demo")); }

std::string AppFixture::sent(const std::string& api) {
  const auto request = server_->lastRequest(api);
  return request ? sent(*request) : "(none)";
}

std::string AppFixture::sent(const DevRequest& request) {
  std::string out;
  for (const auto& [key, value] : request.params) {
    if (key == "api" || key == "tgid") continue;
    out += (out.empty() ? "" : "&") + key + "=" + value;
  }
  return out;
}

void AppFixture::rememberLogin(const std::string& username, const std::string& password,
                               int autologin) {
  DBHelper db;
  ASSERT_TRUE(db.open());
  ASSERT_TRUE(db.createTables());
  ASSERT_TRUE(db.saveLogin(username, password, autologin));
}

void AppFixture::pump() {
  ASSERT_TRUE(RunLoop::main().runUntilIdle()) << "the main run loop did not become idle";
}

void AppFixture::advance(double seconds) {
  ASSERT_TRUE(RunLoop::main().advance(seconds)) << "the main run loop did not become idle";
}
