#pragma once
// Navigation controllers: a stack of children, the top one on screen below a 64-point bar
// (20 status + 44). Push and pop are immediate; the animated flag is recorded.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationItem.h"
#include "platform/uikit/UIViewController.h"

// The bar of a navigation controller: the top item's title in the middle, its left item (or a
// back button when there is a controller to go back to) and its right item as buttons.
class UINavigationBar : public UIView {
  TOVIRA_CLASS(UINavigationBar)
 public:
  static std::shared_ptr<UINavigationBar> create(CGRect frame) {
    return make<UINavigationBar>(frame);
  }
  std::shared_ptr<UIColor> barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::shared_ptr<UIColor> c) { barTintColor_ = std::move(c); }
  std::shared_ptr<UINavigationItem> topItem() const { return topItem_; }
  // Shows the item; backAction (empty: no back button) is what the back button does.
  void setTopItem(std::shared_ptr<UINavigationItem> item, std::string backTitle,
                  std::function<void()> backAction);
  // The views showing the items (nullptr when not shown).
  std::shared_ptr<UIView> leftItemView() const { return leftView_; }
  std::shared_ptr<UIView> rightItemView() const { return rightView_; }
  std::shared_ptr<UILabel> titleLabel() const { return titleLabel_; }
  void itemChanged();
  void layoutSubviews() override;
  void setFrame(CGRect frame) override;

 private:
  std::shared_ptr<UIView> viewFor(const std::shared_ptr<UIBarButtonItem>& item);
  std::shared_ptr<UIColor> barTintColor_;
  std::shared_ptr<UINavigationItem> topItem_;
  std::string backTitle_;
  std::function<void()> backAction_;
  std::shared_ptr<UIView> leftView_;
  std::shared_ptr<UIView> rightView_;
  std::shared_ptr<UILabel> titleLabel_;
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
