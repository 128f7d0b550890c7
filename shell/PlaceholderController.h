#pragma once

#include <memory>
#include <string>

#include "platform/uikit/UIViewController.h"

// A plain screen that stands in for a screen class that this build does not have yet: it shows
// its title and, when it is shown modally, a "返回" button that dismisses it. It answers the
// class name it was registered under, so that tab switches and kind-of tests by name find it
// as they would find the real screen.
//
// Main thread only, like every screen.
class PlaceholderController : public UIViewController {
 public:
  PlaceholderController(std::string registeredName, std::string title, bool closable);

  std::string className() const override { return registeredName_; }
  void viewDidLoad() override;

  // Registers a placeholder under `name` (subclass of UIViewController) unless the class
  // registry already knows that name, so that a real screen, once linked in, always wins.
  // `closable` screens are presented modally and get the "返回" button.
  static void registerIfMissing(const std::string& name, const std::string& title, bool closable);

 private:
  std::string registeredName_;
  bool closable_;
};
