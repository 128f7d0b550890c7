#pragma once

#include <memory>

#include "platform/uikit/UIViewController.h"

class TabBarController;

// The home screen: the platform's name and the entry into the tab bar. Its entry button
// presents a new TabBarController modally, animated; the bar's "首页" dismisses it again.
// Main thread only.
class HomeViewController : public UIViewController {
  TOVIRA_CLASS(HomeViewController)
  static constexpr const char* kPlatformName = "Tovira手游";
  static constexpr const char* kEntryTitle = "进入平台";

  static std::shared_ptr<HomeViewController> create();
  void viewDidLoad() override;
  // The entry button's action.
  void enterclick();
};
