#pragma once
// The app's screens as a player meets them, without starting the app itself: a home screen in the
// key window with the screen under test presented over it, and the devserver behind the API.
// Derive a suite's fixture from it and add that suite's replies and ways in:
//
//   class MyScreenTest : public ScreenFixture {};
//   TEST_F(MyScreenTest, ShowsItsTitle) {
//     openTabs();
//     EXPECT_TRUE(shown("商城"));
//   }
//
// SetUp adds to AppFixture's: the view system's state of a new process on a fresh device in the
// sandbox (Automation::resetPlatform), and the
// UIKit, shell, account and wallet classes registered by name (suites that reach the games'
// screens register those themselves). TearDown drops the window, the home screen and the tab bar
// controller before ending the app's process and leaving the device; suites that hold screens of
// their own drop them first, then call ScreenFixture::TearDown.

#include <memory>
#include <source_location>
#include <string>
#include <vector>

#include "support/AppFixture.h"

class TabBarController;
class UILabel;
class UIView;
class UIViewController;
class UIWindow;

class ScreenFixture : public AppFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new key window whose root is an empty home screen (window_, home_).
  void showHome();
  // The tab bar controller (tabs_) presented over a new home screen, its first tab loaded.
  void openTabs();
  // Presents `screen` over a new home screen and lets it load.
  void presentOverHome(const std::shared_ptr<UIViewController>& screen, bool animated);
  template <class T>
  std::shared_ptr<T> present(std::shared_ptr<T> screen, bool animated = false) {
    presentOverHome(screen, animated);
    return screen;
  }

  // The helpers below that can fail report the line of the test that called them.
  using Where = std::source_location;

  // The visible label (or button title) with exactly this text; fails the test when missing.
  std::shared_ptr<UIView> shown(const std::string& text, Where where = Where::current());
  std::shared_ptr<UILabel> shownLabel(const std::string& text, Where where = Where::current());
  // The label or button inside `root` (the root included) that reads exactly this text; fails
  // the test when there is none.
  static std::shared_ptr<UIView> inside(const std::shared_ptr<UIView>& root,
                                        const std::string& text, Where where = Where::current());
  // Fails the test unless the login screen is on top, then closes it.
  void closeLogin(Where where = Where::current());
  // The views' frames, "(x,y,w,h)" each and "nil" for a missing view, joined by spaces: a layout
  // compared in one statement.
  static std::string frames(const std::vector<std::shared_ptr<UIView>>& views);
  // "location+length=rgb(r,g,b)" for each coloured range of the label's attributed text.
  static std::string colouredRanges(const std::shared_ptr<UILabel>& label);
  // The title | message | [buttons] of the current alert, then presses its first button.
  std::string takeAlert();
  // What takeAlert() reads of the transport's alert when no usable reply came.
  static constexpr const char* kNetworkAlert =
      "获取网络数据失败 | 获取网络数据失败，请检查您的手机的网络。 | [确定]";

  std::shared_ptr<UIWindow> window_;
  std::shared_ptr<UIViewController> home_;
  std::shared_ptr<TabBarController> tabs_;
};
