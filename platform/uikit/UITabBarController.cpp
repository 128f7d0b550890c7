#include "platform/uikit/UITabBarController.h"

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIScreen.h"

std::shared_ptr<UITabBarController> UITabBarController::create() {
  return std::make_shared<UITabBarController>();
}

void UITabBarController::loadView() {
  auto v = UIView::create(UIScreen::mainScreen()->bounds());
  v->setBackgroundColor(UIColor::whiteColor());
  setView(v);
  tabBar();
  showSelected();
}

std::shared_ptr<UITabBar> UITabBarController::tabBar() {
  if (!tabBar_) {
    CGRect b = UIScreen::mainScreen()->bounds();
    tabBar_ = UITabBar::create(CGRectMake(0, b.size.height - 49, b.size.width, 49));
  }
  return tabBar_;
}

void UITabBarController::setViewControllers(
    const std::vector<std::shared_ptr<UIViewController>>& vcs) {
  auto keep = sharedSelf<UITabBarController>();
  // A new controller at the selected position appears, and the one it replaces disappears.
  auto before = selectedViewController();
  const bool visible = isVisible();
  for (auto& old : childViewControllers()) {
    if (old->isViewLoaded()) old->view()->removeFromSuperview();
    old->removeFromParentViewController();
  }
  for (auto& vc : vcs) addChildViewController(vc);
  selectedIndex_ = vcs.empty() ? 0 : std::min<long>(selectedIndex_, (long)vcs.size() - 1);
  if (isViewLoaded()) showSelected();
  auto after = selectedViewController();
  if (visible && after != before) {
    if (before) before->beginAppearance(false, false);
    if (after) after->beginAppearance(true, false);
    if (before) before->endAppearance(false, false);
    if (after) after->endAppearance(true, false);
  }
}

std::shared_ptr<UIViewController> UITabBarController::selectedViewController() const {
  auto vcs = childViewControllers();
  if (selectedIndex_ < 0 || selectedIndex_ >= (long)vcs.size()) return nullptr;
  return vcs[selectedIndex_];
}

void UITabBarController::setSelectedIndex(long index) {
  auto vcs = childViewControllers();
  if (index < 0 || index >= (long)vcs.size()) return;
  if (index == selectedIndex_ && selectedViewController() &&
      selectedViewController()->isViewLoaded() && selectedViewController()->view()->superview())
    return;
  auto keep = sharedSelf<UITabBarController>();
  auto old = selectedViewController();
  bool visible = isVisible();
  if (old && visible && index != selectedIndex_) old->beginAppearance(false, false);
  if (old && old->isViewLoaded() && index != selectedIndex_) old->view()->removeFromSuperview();
  selectedIndex_ = index;
  if (isViewLoaded()) showSelected();
  auto now = selectedViewController();
  if (visible && now) {
    now->beginAppearance(true, false);
    std::weak_ptr<UIViewController> wOld = old, wNow = now;
    if (old && old != now) old->endAppearance(false, false);
    now->endAppearance(true, false);
  }
}

void UITabBarController::setSelectedViewController(const std::shared_ptr<UIViewController>& vc) {
  long i = indexOfViewController(vc);
  if (i >= 0) setSelectedIndex(i);
}

std::shared_ptr<UIViewController> UITabBarController::viewControllerOfClass(
    const std::string& name) const {
  for (auto& vc : childViewControllers()) {
    if (vc->isKindOfClass(name)) return vc;
  }
  return nullptr;
}

long UITabBarController::indexOfViewController(const std::shared_ptr<UIViewController>& vc) const {
  auto vcs = childViewControllers();
  for (size_t i = 0; i < vcs.size(); ++i) {
    if (vcs[i] == vc) return static_cast<long>(i);
  }
  return -1;
}

void UITabBarController::showSelected() {
  auto vc = selectedViewController();
  auto v = view();
  if (vc) {
    auto child = vc->view();
    child->setFrame(v->bounds());
    if (child->superview() != v) v->insertSubview(child, 0);
  }
  if (tabBar_ && tabBar_->superview() != v) v->addSubview(tabBar_);
  if (tabBar_) v->bringSubviewToFront(tabBar_);
}

std::vector<std::shared_ptr<UIViewController>> UITabBarController::childrenForAppearance() const {
  auto vc = selectedViewController();
  if (!vc) return {};
  return {vc};
}
