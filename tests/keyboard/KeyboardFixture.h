#pragma once
// Fixture of the keyboard manager's tests: a fresh main run loop with a virtual clock, a
// temporary sandbox and device folder, the bundle on the repository's resources (the toolbar's
// arrow images), the view system reset, and a fresh keyboard manager switched on as the app's
// start-up does. A watchdog fails a test that hangs.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "keyboard/KBKeyboardManager.h"
#include "keyboard/KBTextView.h"
#include "keyboard/KBTitleBarButtonItem.h"
#include "keyboard/KBToolbar.h"
#include "keyboard/KBToolbarAddition.h"
#include "keyboard/KBViewHierarchy.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIKit.h"
#include "support/Watchdog.h"

// A placeholder text view that counts how often its placeholder is refreshed. Registered by name
// (in the archive tests), so that an archive can make one.
class CountingTextView : public KBTextView {
  TOVIRA_CLASS(CountingTextView)
 public:
  void refreshPlaceholder() const override {
    ++refreshes;
    KBTextView::refreshPlaceholder();
  }
  mutable int refreshes = 0;
};

class KeyboardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    watchdog_ = std::make_unique<Watchdog>(
        60, ::testing::UnitTest::GetInstance()->current_test_info()->name());
    RunLoop::main().reset();
    RunLoop::main().setWatchdogSeconds(20);
    root_ = Sandbox::makeTemporaryDirectory("keyboard-test");
    Sandbox::setRoot(root_ + "/app");
    NSBundle::mainBundle().setResourcePath(TOVIRA_RESOURCES);
    Automation::resetPlatform();
    SimulatedDevice::shared().reset(root_ + "/device");
    KBKeyboardManager::resetSharedManagerForTesting();
    KBKeyboardManager::load();
    manager = KBKeyboardManager::sharedManager();
  }

  void TearDown() override {
    UIResponder::clearFirstResponderForTesting();
    RunLoop::main().reset();
    KBKeyboardManager::resetSharedManagerForTesting();
    Automation::resetPlatform();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    watchdog_.reset();
  }

  void pump() { ASSERT_TRUE(RunLoop::main().runUntilIdle()); }
  void advance(double seconds) { ASSERT_TRUE(RunLoop::main().advance(seconds)); }

  // Shows the controller in a key window (320 x 568) and returns it.
  template <class Controller>
  std::shared_ptr<Controller> show(const std::shared_ptr<Controller>& vc) {
    window = UIWindow::create(UIScreen::mainScreen()->bounds());
    window->setRootViewController(vc);
    window->makeKeyAndVisible();
    pump();
    return vc;
  }

  // A screen with text fields at the given frames, in that subview order.
  std::shared_ptr<UIViewController> form(const std::vector<CGRect>& frames) {
    auto vc = UIViewController::create();
    fields.clear();
    for (auto f : frames) {
      auto field = UITextField::create(f);
      vc->view()->addSubview(field);
      fields.push_back(field);
    }
    return vc;
  }

  // Focuses a view and lets the keyboard come up.
  void focus(const std::shared_ptr<UIResponder>& r) {
    ASSERT_TRUE(r->becomeFirstResponder());
    pump();
  }
  // Ends editing and lets the keyboard go down.
  void dismiss() {
    if (auto r = UIResponder::currentFirstResponder()) r->resignFirstResponder();
    pump();
  }

  std::shared_ptr<KBToolbar> barOf(const std::shared_ptr<UIView>& v) {
    return std::dynamic_pointer_cast<KBToolbar>(v->inputAccessoryView());
  }
  // The items of the view's bar in order, one word each: "<" and ">" the arrows, "[text]" the
  // title, "~" a flexible and "_23" a fixed space, a system button's title ("Done", "Cancel"),
  // a text button's title ("'好'", "'好'!" in the Done style). A disabled item ends in "-"; an
  // item of a class other than the bar-button class starts with "?".
  std::string itemsOf(const std::shared_ptr<UIView>& v) {
    auto bar = barOf(v);
    if (!bar) return "(no bar)";
    std::string out;
    for (const auto& item : bar->items()) {
      std::string word = item->isKindOfClass("KBBarButtonItem") ? "" : "?";
      if (KBIsPreviousItem(item)) {
        word += "<";
      } else if (KBIsNextItem(item)) {
        word += ">";
      } else if (auto title = std::dynamic_pointer_cast<KBTitleBarButtonItem>(item)) {
        word += "[" + title->titleLabel()->text() + "]";
      } else if (!item->isSystemItem()) {
        word += "'" + item->title() + "'" + (item->style() == UIBarButtonItemStyleDone ? "!" : "");
      } else if (item->systemItem() == UIBarButtonSystemItemFlexibleSpace) {
        word += "~";
      } else if (item->systemItem() == UIBarButtonSystemItemFixedSpace) {
        word += "_" + std::to_string(static_cast<int>(item->width()));
      } else {
        word += UIBarButtonItem::systemTitle(item->systemItem());
      }
      if (!item->isEnabled()) word += "-";
      out += (out.empty() ? "" : " ") + word;
    }
    return out;
  }
  CGRect inWindow(const std::shared_ptr<UIView>& v) {
    return v->superview()->convertRect(v->frame(), nullptr);
  }

  std::shared_ptr<KBKeyboardManager> manager;
  std::shared_ptr<UIWindow> window;
  std::vector<std::shared_ptr<UITextField>> fields;

 private:
  std::unique_ptr<Watchdog> watchdog_;
  std::string root_;
};
