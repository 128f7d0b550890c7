#include "platform/uikit/UIViewController.h"

#include <algorithm>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/NSLayoutConstraint.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UINavigationItem.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITabBarController.h"
#include "platform/uikit/UIWindow.h"

UIViewController::UIViewController() = default;

UIViewController::~UIViewController() {
  for (auto& c : children_) c->parent_.reset();
  if (presented_) presented_->presenting_.reset();
}

std::shared_ptr<UIViewController> UIViewController::create() {
  return std::make_shared<UIViewController>();
}

std::shared_ptr<UIView> UIViewController::view() {
  if (!view_ && !loading_) {
    loading_ = true;
    loadView();
    if (!view_) setView(UIView::create(UIScreen::mainScreen()->bounds()));
    loading_ = false;
    viewDidLoad();
  }
  return view_;
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
  if (view_ && view_ != view) view_->setViewDelegate(nullptr);
  view_ = std::move(view);
  if (view_) view_->setViewDelegate(sharedSelf<UIViewController>());
}

void UIViewController::setTitle(const std::string& t) {
  title_ = t;
  if (navigationItem_) navigationItem_->setTitle(t);
}

UIInterfaceOrientation UIViewController::interfaceOrientation() const {
  return UIApplication::sharedApplication()->statusBarOrientation();
}

std::shared_ptr<UILayoutSupport> UIViewController::topLayoutGuide() {
  if (!topLayoutGuide_) topLayoutGuide_ = std::make_shared<UILayoutSupport>(true);
  return topLayoutGuide_;
}

std::shared_ptr<UILayoutSupport> UIViewController::bottomLayoutGuide() {
  if (!bottomLayoutGuide_) bottomLayoutGuide_ = std::make_shared<UILayoutSupport>(false);
  return bottomLayoutGuide_;
}

std::shared_ptr<UINavigationItem> UIViewController::navigationItem() {
  if (!navigationItem_) navigationItem_ = UINavigationItem::create(title_);
  return navigationItem_;
}

void UIViewController::loadView() { setView(UIView::create(UIScreen::mainScreen()->bounds())); }

std::shared_ptr<UIViewController> UIViewController::presentationRoot() const {
  auto self = std::const_pointer_cast<UIViewController>(sharedSelf<UIViewController>());
  auto v = self;
  while (v) {
    auto p = v->parentViewController();
    if (!p) break;
    v = p;
  }
  return v;
}

std::shared_ptr<UIViewController> UIViewController::presentedViewController() const {
  if (presented_) return presented_;
  auto root = presentationRoot();
  return root ? root->presented_ : nullptr;
}

std::shared_ptr<UIViewController> UIViewController::presentingViewController() const {
  for (auto v = std::const_pointer_cast<UIViewController>(sharedSelf<UIViewController>()); v;
       v = v->parentViewController()) {
    if (auto p = v->presenting_.lock()) return p;
  }
  return nullptr;
}

void UIViewController::presentViewController(const std::shared_ptr<UIViewController>& vc,
                                             bool animated, std::function<void()> completion) {
  auto root = presentationRoot();
  if (!vc || !root) return;
  if (root->presented_) {
    NSLog("Warning: Attempt to present %@ on %@ which is already presenting %@", vc->className(),
          root->className(), root->presented_->className());
    return;
  }
  if (vc->presenting_.lock() || vc->parentViewController() || vc == root) {
    NSLog("Application tried to present modally an active controller %@.", vc->className());
    return;
  }
  root->presented_ = vc;
  vc->presenting_ = root;
  vc->presentedAnimated_ = animated;
  vc->dismissedAnimated_ = false;
  bool fullScreen = vc->modalStyle_ == UIModalPresentationFullScreen;
  auto view = vc->view();
  auto window = root->isViewLoaded() ? root->view()->window() : nullptr;
  if (window && view) {
    view->setFrame(window->bounds());
    window->addSubview(view);
  }
  if (fullScreen) root->beginAppearance(false, animated);
  vc->beginAppearance(true, animated);
  std::weak_ptr<UIViewController> weakVc = vc, weakRoot = root;
  RunLoop::main().post(
      [weakVc, weakRoot, animated, fullScreen, completion = std::move(completion)] {
        if (auto v = weakVc.lock()) v->endAppearance(true, animated);
        if (auto r = weakRoot.lock(); r && fullScreen) r->endAppearance(false, animated);
        if (completion) completion();
      });
}

void UIViewController::dismissViewControllerAnimated(bool animated,
                                                     std::function<void()> completion) {
  auto root = presentationRoot();
  if (!root) return;
  std::shared_ptr<UIViewController> presenter;
  if (root->presented_) {
    presenter = root;
  } else {
    presenter = root->presenting_.lock();
  }
  if (!presenter || !presenter->presented_) {
    if (completion) RunLoop::main().post(std::move(completion));
    return;
  }
  // The chain of controllers presented from here on, bottom to top.
  std::vector<std::shared_ptr<UIViewController>> chain;
  for (auto v = presenter->presented_; v; v = v->presented_) chain.push_back(v);
  auto top = chain.back();
  top->dismissedAnimated_ = animated;
  bool fullScreen = chain.front()->modalStyle_ == UIModalPresentationFullScreen;
  top->beginAppearance(false, animated);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    auto& v = *it;
    if (v->isViewLoaded()) v->view()->removeFromSuperview();
    v->presented_.reset();
    v->presenting_.reset();
  }
  presenter->presented_.reset();
  if (fullScreen) presenter->beginAppearance(true, animated);
  std::weak_ptr<UIViewController> weakPresenter = presenter;
  // The dismissed controllers stay alive until their did-disappear has been delivered.
  RunLoop::main().post(
      [chain, weakPresenter, animated, fullScreen, completion = std::move(completion)] {
        chain.back()->endAppearance(false, animated);
        if (auto p = weakPresenter.lock(); p && fullScreen) p->endAppearance(true, animated);
        if (completion) completion();
      });
}

void UIViewController::addChildViewController(const std::shared_ptr<UIViewController>& child) {
  auto self = sharedSelf<UIViewController>();
  if (!child || child == self) return;
  if (child->parentViewController() == self) return;
  if (child->parentViewController()) child->removeFromParentViewController();
  child->willMoveToParentViewController(self);
  children_.push_back(child);
  child->parent_ = self;
}

void UIViewController::removeFromParentViewController() {
  auto parent = parentViewController();
  if (!parent) return;
  auto self = sharedSelf<UIViewController>();
  auto& siblings = parent->children_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
  parent_.reset();
  didMoveToParentViewController(nullptr);
}

std::shared_ptr<UITabBarController> UIViewController::tabBarController() const {
  for (auto v = parentViewController(); v; v = v->parentViewController()) {
    if (auto t = std::dynamic_pointer_cast<UITabBarController>(v)) return t;
  }
  return nullptr;
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const {
  for (auto v = parentViewController(); v; v = v->parentViewController()) {
    if (auto n = std::dynamic_pointer_cast<UINavigationController>(v)) return n;
  }
  return nullptr;
}

std::shared_ptr<UIResponder> UIViewController::nextResponder() const {
  if (view_) {
    if (auto s = view_->superview()) return s;
  }
  return parentViewController();
}

std::vector<std::shared_ptr<UIViewController>> UIViewController::childrenForAppearance() const {
  std::vector<std::shared_ptr<UIViewController>> out;
  if (!view_) return out;
  for (auto& c : children_) {
    if (c->isViewLoaded() && c->view()->isDescendantOfView(view_)) out.push_back(c);
  }
  return out;
}

void UIViewController::beginAppearance(bool appearing, bool animated) {
  auto keep = sharedSelf<UIViewController>();
  if (appeared_ == appearing) return;
  appeared_ = appearing;
  didAppear_ = false;
  if (appearing) {
    view();  // a controller appears with its view loaded
    viewWillAppear(animated);
  } else {
    viewWillDisappear(animated);
  }
  for (auto& c : childrenForAppearance()) c->beginAppearance(appearing, animated);
}

void UIViewController::endAppearance(bool appearing, bool animated) {
  auto keep = sharedSelf<UIViewController>();
  if (appeared_ != appearing || didAppear_) return;
  didAppear_ = true;
  if (appearing)
    viewDidAppear(animated);
  else
    viewDidDisappear(animated);
  for (auto& c : childrenForAppearance()) c->endAppearance(appearing, animated);
}
