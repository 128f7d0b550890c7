#pragma once
// Tab bar controllers: children side by side, one on screen. The selected child's view fills
// the controller's view (the tab bar, 49 high at the bottom, is a plain view on top that an
// app may hide or draw over). Switching tabs moves appearance calls to the new child.

#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIViewController.h"

class UITabBar : public UIView {
  TOVIRA_CLASS(UITabBar)
 public:
  static std::shared_ptr<UITabBar> create(CGRect frame) { return make<UITabBar>(frame); }
  std::shared_ptr<UIColor> barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::shared_ptr<UIColor> c) { barTintColor_ = std::move(c); }

 private:
  std::shared_ptr<UIColor> barTintColor_;
};

class UITabBarController : public UIViewController {
  TOVIRA_CLASS(UITabBarController)
 public:
  static std::shared_ptr<UITabBarController> create();

  std::vector<std::shared_ptr<UIViewController>> viewControllers() const {
    return childViewControllers();
  }
  void setViewControllers(const std::vector<std::shared_ptr<UIViewController>>& vcs);
  long selectedIndex() const { return selectedIndex_; }
  void setSelectedIndex(long index);
  std::shared_ptr<UIViewController> selectedViewController() const;
  void setSelectedViewController(const std::shared_ptr<UIViewController>& vc);
  // The first child that is kind of the class (registry name), or nullptr.
  std::shared_ptr<UIViewController> viewControllerOfClass(const std::string& className) const;
  long indexOfViewController(const std::shared_ptr<UIViewController>& vc) const;
  std::shared_ptr<UITabBar> tabBar();

  void loadView() override;

 protected:
  std::vector<std::shared_ptr<UIViewController>> childrenForAppearance() const override;

 private:
  void showSelected();
  std::shared_ptr<UITabBar> tabBar_;
  long selectedIndex_ = 0;
};
