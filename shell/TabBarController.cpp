#include "shell/TabBarController.h"

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"
#include "shell/PlaceholderController.h"
#include "shell/TabBarHelper.h"

TOVIRA_REGISTER_CLASS(TabBarController, UITabBarController)

namespace {
std::shared_ptr<UIColor> selectedColour() { return UIColor::rgb(81, 158, 19); }
std::shared_ptr<UIColor> normalColour() { return UIColor::grayColor(); }
}  // namespace

std::shared_ptr<TabBarController> TabBarController::create() {
  return std::make_shared<TabBarController>();
}

const std::vector<std::string>& TabBarController::tabClassNames() {
  static const std::vector<std::string> names = {"ShopController",       "LibaoController",
                                                 "YaoqingController",    "MeController",
                                                 "BindToviraController", "GameCenterController"};
  return names;
}

const std::vector<std::string>& TabBarController::buttonTitles() {
  static const std::vector<std::string> titles = {"首页", "商城", "礼包", "邀请", "我的"};
  return titles;
}

void TabBarController::ensureTabClasses() {
  // Tab screens that this build does not have yet are plain placeholders. A real screen that is
  // registered by now always wins over them.
  PlaceholderController::registerIfMissing("ShopController", "商城", false);
  PlaceholderController::registerIfMissing("LibaoController", "礼包", false);
  PlaceholderController::registerIfMissing("YaoqingController", "邀请", false);
  PlaceholderController::registerIfMissing("BindToviraController", "绑定账号", false);
}

void TabBarController::viewDidLoad() {
  UITabBarController::viewDidLoad();
  ensureTabClasses();

  std::vector<std::shared_ptr<UIViewController>> children;
  for (const auto& name : tabClassNames()) {
    auto child = std::dynamic_pointer_cast<UIViewController>(ClassRegistry::create(name));
    if (!child) {
      // A registered class without a plain factory, or one that is no screen: leave it out
      // rather than hold a null child.
      NSLog("TabBarController: cannot make a tab of class %@", name);
      continue;
    }
    children.push_back(child);
  }
  setViewControllers(children);

  auto root = view();
  if (auto platformBar = tabBar()) platformBar->setHidden(true);
  const CGRect bounds = root->bounds();
  bar_ =
      UIView::create(CGRectMake(0, bounds.size.height - kBarHeight, bounds.size.width, kBarHeight));
  bar_->setBackgroundColor(UIColor::whiteColor());
  const auto& titles = buttonTitles();
  const double buttonWidth = bounds.size.width / static_cast<double>(titles.size());
  std::weak_ptr<TabBarController> weakSelf = sharedSelf<TabBarController>();
  for (size_t i = 0; i < titles.size(); ++i) {
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(buttonWidth * static_cast<double>(i), 0, buttonWidth, kBarHeight));
    button->setTitle(titles[i]);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(13));
    button->setTag(kButtonTagBase + static_cast<long>(i));
    const long index = static_cast<long>(i);
    button->addTarget(
        weakSelf,
        [weakSelf, index] {
          if (auto self = weakSelf.lock()) self->barButtonClick(index);
        },
        UIControlEventTouchUpInside);
    bar_->addSubview(button);
    buttons_.push_back(button);
  }
  root->addSubview(bar_);
  setSelectedIndex(0);
  updateBarButtons();
}

std::shared_ptr<UIButton> TabBarController::barButton(long index) const {
  if (index < 0 || static_cast<size_t>(index) >= buttons_.size()) return nullptr;
  return buttons_[static_cast<size_t>(index)];
}

void TabBarController::barButtonClick(long index) {
  if (index == 0) {
    dismissViewControllerAnimated(true);
    return;
  }
  // Buttons 1 to 4 stand for the screens that hold positions 0 to 3 at first; switching by
  // class brings a screen back to its button after another tab was swapped into its place.
  const auto& names = tabClassNames();
  const size_t position = static_cast<size_t>(index - 1);
  if (position >= names.size()) return;
  TabBarHelper::qiehuanTabBarViewControllers(sharedSelf<TabBarController>(), names[position]);
}

void TabBarController::updateBarButtons() {
  const long selected = selectedIndex();
  for (size_t i = 1; i < buttons_.size(); ++i) {
    const bool on = static_cast<long>(i) - 1 == selected;
    buttons_[i]->setTitleColor(on ? selectedColour() : normalColour());
    buttons_[i]->setSelected(on);
  }
  if (!buttons_.empty()) buttons_[0]->setTitleColor(normalColour());
  if (bar_ && isViewLoaded()) view()->bringSubviewToFront(bar_);
}
