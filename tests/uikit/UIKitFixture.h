#pragma once
// Fixture of the view-system tests: a fresh main run loop with a virtual clock, a temporary
// sandbox and device folder, the bundle on the repository's resources, and the view system's
// global state reset. A watchdog aborts a test that hangs.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/automation/Automation.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIKit.h"

class UIKitFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    startWatchdog();
    RunLoop::main().reset();
    RunLoop::main().setWatchdogSeconds(20);
    NSNotificationCenter::defaultCenter().removeAllObservers();
    root_ = Sandbox::makeTemporaryDirectory("uikit-test");
    Sandbox::setRoot(root_ + "/app");
    NSBundle::mainBundle().setResourcePath(TOVIRA_RESOURCES);
    Automation::resetPlatform(root_ + "/device");
  }

  void TearDown() override {
    RunLoop::main().reset();
    Automation::resetPlatform();
    NSNotificationCenter::defaultCenter().removeAllObservers();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    stopWatchdog();
  }

  void pump() { ASSERT_TRUE(RunLoop::main().runUntilIdle()); }
  void advance(double seconds) { ASSERT_TRUE(RunLoop::main().advance(seconds)); }

  // A key window (320 x 568) showing the controller.
  std::shared_ptr<UIWindow> show(const std::shared_ptr<UIViewController>& vc) {
    auto window = UIWindow::create(UIScreen::mainScreen()->bounds());
    window->setRootViewController(vc);
    window->makeKeyAndVisible();
    window_ = window;
    return window;
  }

  std::string root_;
  std::shared_ptr<UIWindow> window_;

 private:
  void startWatchdog() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    done_ = false;
    watchdog_ = std::thread([this, name] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!cv_.wait_for(lock, std::chrono::seconds(60), [this] { return done_; })) {
        std::fprintf(stderr, "watchdog: %s hung\n", name.c_str());
        std::abort();
      }
    });
  }
  void stopWatchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    if (watchdog_.joinable()) watchdog_.join();
  }
  std::thread watchdog_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
};
