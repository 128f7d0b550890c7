#pragma once

#include <memory>
#include <string>

class UIViewController;

// Switches the tab bar controller's tabs by class name, for the tab bar itself and for any
// screen that sends the player to another tab.
class TabBarHelper {
 public:
  // Selects the child of `tabBarController` whose class is `className` (kind-of, so a subclass
  // counts). A child standing at position 4 or later is first swapped with the child at
  // position 3, because the bar's buttons reach positions 0 to 3 only. Then, when the
  // controller is a TabBarController, its own bar's buttons are recoloured. Does nothing for a
  // null controller, one that is not a tab bar controller, or a class it does not hold.
  // Main thread.
  static void qiehuanTabBarViewControllers(
      const std::shared_ptr<UIViewController>& tabBarController, const std::string& className);
};
