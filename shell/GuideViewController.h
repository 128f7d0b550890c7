#pragma once

#include <memory>

#include "platform/uikit/UIViewController.h"

// The first-launch guide: shown as the window's root on the first start only. Its button
// "立即体验" makes a new home screen the window's root. Main thread only.
class GuideViewController : public UIViewController {
  TOVIRA_CLASS(GuideViewController)
  static constexpr const char* kStartTitle = "立即体验";

  static std::shared_ptr<GuideViewController> create();
  void viewDidLoad() override;
  // The button's action: hands the window to the home screen.
  void startclick();
};
