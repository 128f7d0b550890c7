#include "platform/uikit/UIWindow.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIViewController.h"

const std::string UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
const std::string UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
const std::string UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
const std::string UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
const std::string UIKeyboardWillChangeFrameNotification = "UIKeyboardWillChangeFrameNotification";
const std::string UIKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
const std::string UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
const std::string UIKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
const std::string UIKeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";

std::shared_ptr<UIWindow> UIWindow::create(CGRect frame) { return make<UIWindow>(frame); }

void UIWindow::setRootViewController(const std::shared_ptr<UIViewController>& vc) {
  auto keep = sharedSelf<UIWindow>();
  if (vc == root_) return;
  bool visible = isKeyWindow();
  auto old = root_;
  if (old) {
    if (visible) old->beginAppearance(false, false);
    if (old->isViewLoaded()) old->view()->removeFromSuperview();
  }
  root_ = vc;
  if (vc) {
    auto v = vc->view();
    v->setFrame(bounds());
    insertSubview(v, 0);
    if (visible) vc->beginAppearance(true, false);
  }
  if (visible) {
    std::weak_ptr<UIViewController> wOld = old, wNew = vc;
    RunLoop::main().post([wOld, wNew] {
      if (auto o = wOld.lock()) o->endAppearance(false, false);
      if (auto n = wNew.lock()) n->endAppearance(true, false);
    });
  }
}

void UIWindow::makeKeyWindow() {
  UIApplication::sharedApplication()->setKeyWindow(sharedSelf<UIWindow>());
}

void UIWindow::makeKeyAndVisible() {
  setHidden(false);
  makeKeyWindow();
  if (root_ && !root_->isVisible()) {
    root_->beginAppearance(true, false);
    std::weak_ptr<UIViewController> w = root_;
    RunLoop::main().post([w] {
      if (auto r = w.lock()) r->endAppearance(true, false);
    });
  }
}

bool UIWindow::isKeyWindow() const {
  auto key = UIApplication::sharedApplication()->keyWindow();
  return key && key.get() == this;
}

std::shared_ptr<UIWindow> UIWindow::keyWindow() {
  return UIApplication::sharedApplication()->keyWindow();
}

std::shared_ptr<UIWindow> UIWindow::window() const {
  return std::const_pointer_cast<UIWindow>(sharedSelf<UIWindow>());
}

std::shared_ptr<UIResponder> UIWindow::nextResponder() const {
  return UIApplication::sharedApplication();
}
