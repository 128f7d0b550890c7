#include "platform/uikit/UINavigationController.h"

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIScreen.h"

std::shared_ptr<UINavigationController> UINavigationController::create(
    const std::shared_ptr<UIViewController>& root) {
  auto nav = std::make_shared<UINavigationController>();
  if (root) nav->addChildViewController(root);
  return nav;
}

void UINavigationController::loadView() {
  auto v = UIView::create(UIScreen::mainScreen()->bounds());
  v->setBackgroundColor(UIColor::whiteColor());
  setView(v);
  navigationBar();
  showTop();
}

std::shared_ptr<UINavigationBar> UINavigationController::navigationBar() {
  if (!bar_)
    bar_ =
        UINavigationBar::create(CGRectMake(0, 20, UIScreen::mainScreen()->bounds().size.width, 44));
  return bar_;
}

void UINavigationController::setNavigationBarHidden(bool hidden, bool) {
  barHidden_ = hidden;
  if (isViewLoaded()) showTop();
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const {
  auto vcs = childViewControllers();
  return vcs.empty() ? nullptr : vcs.back();
}

std::shared_ptr<UIViewController> UINavigationController::visibleViewController() const {
  auto top = topViewController();
  if (top && top->presentedViewController()) return top->presentedViewController();
  return top;
}

void UINavigationController::pushViewController(const std::shared_ptr<UIViewController>& vc,
                                                bool animated) {
  if (!vc) return;
  auto keep = sharedSelf<UINavigationController>();
  lastAnimated_ = animated;
  auto old = topViewController();
  bool visible = isVisible();
  if (old && visible) old->beginAppearance(false, animated);
  if (old && old->isViewLoaded()) old->view()->removeFromSuperview();
  addChildViewController(vc);
  if (isViewLoaded()) showTop();
  if (visible) {
    vc->beginAppearance(true, animated);
    if (old) old->endAppearance(false, animated);
    vc->endAppearance(true, animated);
  }
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
  auto vcs = childViewControllers();
  if (vcs.size() < 2) return nullptr;
  auto keep = sharedSelf<UINavigationController>();
  lastAnimated_ = animated;
  auto top = vcs.back();
  bool visible = isVisible();
  if (visible) top->beginAppearance(false, animated);
  if (top->isViewLoaded()) top->view()->removeFromSuperview();
  top->removeFromParentViewController();
  if (isViewLoaded()) showTop();
  auto now = topViewController();
  if (visible && now) {
    now->beginAppearance(true, animated);
    top->endAppearance(false, animated);
    now->endAppearance(true, animated);
  }
  return top;
}

void UINavigationController::popToRootViewControllerAnimated(bool animated) {
  while (childViewControllers().size() > 1) popViewControllerAnimated(animated);
}

void UINavigationController::showTop() {
  auto v = view();
  auto top = topViewController();
  CGRect b = v->bounds();
  double y = barHidden_ ? 0 : 64;
  if (top) {
    auto child = top->view();
    child->setFrame(CGRectMake(0, y, b.size.width, b.size.height - y));
    if (child->superview() != v) v->insertSubview(child, 0);
  }
  auto bar = navigationBar();
  bar->setHidden(barHidden_);
  if (bar->superview() != v) v->addSubview(bar);
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::childrenForAppearance()
    const {
  auto top = topViewController();
  if (!top) return {};
  return {top};
}
