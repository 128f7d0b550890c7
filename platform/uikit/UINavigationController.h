#pragma once
// Navigation controllers: a stack of children, the top one on screen below a 64-point bar
// (20 status + 44). Push and pop are immediate; the animated flag is recorded.

#include <memory>
#include <vector>

#include "platform/uikit/UIViewController.h"

class UINavigationBar : public UIView {
  TOVIRA_CLASS(UINavigationBar)
 public:
  static std::shared_ptr<UINavigationBar> create(CGRect frame) {
    return make<UINavigationBar>(frame);
  }
  std::shared_ptr<UIColor> barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::shared_ptr<UIColor> c) { barTintColor_ = std::move(c); }

 private:
  std::shared_ptr<UIColor> barTintColor_;
};

class UINavigationController : public UIViewController {
  TOVIRA_CLASS(UINavigationController)
 public:
  static std::shared_ptr<UINavigationController> create(
      const std::shared_ptr<UIViewController>& root);  // initWithRootViewController:

  std::vector<std::shared_ptr<UIViewController>> viewControllers() const {
    return childViewControllers();
  }
  std::shared_ptr<UIViewController> topViewController() const;
  std::shared_ptr<UIViewController> visibleViewController() const;
  void pushViewController(const std::shared_ptr<UIViewController>& vc, bool animated);
  std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);
  void popToRootViewControllerAnimated(bool animated);
  bool lastTransitionAnimated() const { return lastAnimated_; }
  std::shared_ptr<UINavigationBar> navigationBar();
  bool isNavigationBarHidden() const { return barHidden_; }
  void setNavigationBarHidden(bool hidden, bool animated = false);

  void loadView() override;

 protected:
  std::vector<std::shared_ptr<UIViewController>> childrenForAppearance() const override;

 private:
  void showTop();
  std::shared_ptr<UINavigationBar> bar_;
  bool barHidden_ = false;
  bool lastAnimated_ = false;
};
