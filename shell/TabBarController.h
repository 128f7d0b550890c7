#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UITabBarController.h"

class UIButton;
class UIView;

// The tab bar controller presented from the home screen. Its children are the tab screens,
// made by class name from the class registry: ShopController, LibaoController,
// YaoqingController, MeController, BindToviraController and GameCenterController, in that order;
// the last two are reached by a switch by class name only. It hides the
// platform's tab bar and draws its own bar of five buttons, 49 points high, along the bottom
// of its view: "首页" dismisses the controller back to the home screen, "商城", "礼包", "邀请"
// and "我的" select positions 0 to 3 by the class that stands there at first.
//
// The bar stays above the tab screens, so a screen's mask that leaves the bottom 49 points
// uncovered keeps the bar usable. Main thread only.
class TabBarController : public UITabBarController {
  TOVIRA_CLASS(TabBarController)
  static constexpr double kBarHeight = 49;
  // Bar buttons reach child positions 0 to kLastButtonPosition.
  static constexpr long kLastButtonPosition = 3;
  static constexpr long kButtonTagBase = 100;  // the bar's buttons carry tags 100 to 104

  static std::shared_ptr<TabBarController> create();

  // The class names of the children, in their first order.
  static const std::vector<std::string>& tabClassNames();
  // The five button titles, "首页" first.
  static const std::vector<std::string>& buttonTitles();

  void viewDidLoad() override;
  // Paints the button of the selected position green and the others grey, and keeps the bar
  // above the tab screens. TabBarHelper calls it after every switch.
  void updateBarButtons();

  std::shared_ptr<UIView> bar() const { return bar_; }
  std::shared_ptr<UIButton> barButton(long index) const;  // 0 is "首页"

 private:
  void barButtonClick(long index);
  void ensureTabClasses();

  std::shared_ptr<UIView> bar_;
  std::vector<std::shared_ptr<UIButton>> buttons_;
};
