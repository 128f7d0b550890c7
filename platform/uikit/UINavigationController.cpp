#include "platform/uikit/UINavigationController.h"

#include <algorithm>

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
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
  auto vcs = childViewControllers();
  std::function<void()> back;
  std::string backTitle;
  if (vcs.size() > 1) {
    backTitle = vcs[vcs.size() - 2]->title().empty() ? "Back" : vcs[vcs.size() - 2]->title();
    std::weak_ptr<UINavigationController> weak = sharedSelf<UINavigationController>();
    back = [weak] {
      if (auto nav = weak.lock()) nav->popViewControllerAnimated(true);
    };
  }
  bar->setTopItem(top ? top->navigationItem() : nullptr, backTitle, back);
  if (bar->superview() != v) v->addSubview(bar);
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::childrenForAppearance()
    const {
  auto top = topViewController();
  if (!top) return {};
  return {top};
}

void UINavigationBar::setTopItem(std::shared_ptr<UINavigationItem> item, std::string backTitle,
                                 std::function<void()> backAction) {
  if (topItem_ && topItem_ != item) topItem_->bar_.reset();
  topItem_ = std::move(item);
  if (topItem_) topItem_->bar_ = sharedSelf<UINavigationBar>();
  backTitle_ = std::move(backTitle);
  backAction_ = std::move(backAction);
  itemChanged();
}

std::shared_ptr<UIView> UINavigationBar::viewFor(const std::shared_ptr<UIBarButtonItem>& item) {
  if (!item) return nullptr;
  return item->makeBarView(tintColor());
}

void UINavigationBar::itemChanged() {
  if (leftView_) leftView_->removeFromSuperview();
  if (rightView_) rightView_->removeFromSuperview();
  leftView_.reset();
  rightView_.reset();
  if (!titleLabel_) {
    titleLabel_ = UILabel::create();
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(17));
    titleLabel_->setTextAlignment(NSTextAlignmentCenter);
    addSubview(titleLabel_);
  }
  titleLabel_->setText(topItem_ ? topItem_->title() : "");
  if (topItem_ && topItem_->leftBarButtonItem()) {
    leftView_ = viewFor(topItem_->leftBarButtonItem());
  } else if (backAction_ && !(topItem_ && topItem_->hidesBackButton())) {
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setTitle(backTitle_);
    button->setTitleColor(tintColor());
    auto action = backAction_;
    button->addTarget(
        nullptr, [action] { action(); }, UIControlEventTouchUpInside);
    leftView_ = button;
  }
  if (topItem_) rightView_ = viewFor(topItem_->rightBarButtonItem());
  if (leftView_) addSubview(leftView_);
  if (rightView_) addSubview(rightView_);
  layoutSubviews();
}

void UINavigationBar::setFrame(CGRect frame) {
  UIView::setFrame(frame);
  layoutSubviews();
}

void UINavigationBar::layoutSubviews() {
  CGRect b = bounds();
  auto widthOf = [](const std::shared_ptr<UIView>& v) {
    if (auto button = std::dynamic_pointer_cast<UIButton>(v)) {
      return std::max(44.0, button->sizeThatFits(CGSizeZero).width + 16);
    }
    return v->frame().size.width;
  };
  double left = 0, right = 0;
  if (leftView_) {
    left = widthOf(leftView_);
    double h = std::dynamic_pointer_cast<UIButton>(leftView_) ? b.size.height
                                                              : leftView_->frame().size.height;
    leftView_->setFrame(CGRectMake(8, (b.size.height - h) / 2, left, h));
    left += 8;
  }
  if (rightView_) {
    right = widthOf(rightView_);
    double h = std::dynamic_pointer_cast<UIButton>(rightView_) ? b.size.height
                                                               : rightView_->frame().size.height;
    rightView_->setFrame(CGRectMake(b.size.width - 8 - right, (b.size.height - h) / 2, right, h));
    right += 8;
  }
  if (titleLabel_) {
    double side = std::max(left, right) + 8;
    titleLabel_->setFrame(
        CGRectMake(side, 0, std::max(0.0, b.size.width - 2 * side), b.size.height));
  }
}
