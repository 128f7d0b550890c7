#include "platform/uikit/UIKeyboard.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIKitNotification.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UITextView.h"
#include "platform/uikit/UIWindow.h"

namespace {
bool isTextInput(const std::shared_ptr<UIResponder>& r) {
  return std::dynamic_pointer_cast<UITextField>(r) || std::dynamic_pointer_cast<UITextView>(r);
}
}  // namespace

UIKeyboard& UIKeyboard::shared() {
  static UIKeyboard keyboard;
  return keyboard;
}

namespace {
CGRect alongBottomEdge(double depth) {
  CGRect screen = UIScreen::mainScreen()->bounds();
  double w = screen.size.width, h = screen.size.height;
  switch (UIApplication::sharedApplication()->statusBarOrientation()) {
    case UIInterfaceOrientationPortraitUpsideDown:
      return CGRectMake(0, 0, w, depth);
    case UIInterfaceOrientationLandscapeRight:
      return CGRectMake(0, 0, depth, h);
    case UIInterfaceOrientationLandscapeLeft:
      return CGRectMake(w - depth, 0, depth, h);
    default:
      return CGRectMake(0, h - depth, w, depth);
  }
}
}  // namespace

CGRect UIKeyboard::frame() const { return alongBottomEdge(height_ + accessoryHeight_); }

CGRect UIKeyboard::keysFrame() const { return alongBottomEdge(height_); }

void UIKeyboard::setHeight(double h) {
  if (h == height_) return;
  height_ = h;
  if (visible_) {
    visible_ = false;
    show();
    placeAccessory(UIResponder::currentFirstResponder());
  }
}

void UIKeyboard::inputDidBeginEditing(const std::shared_ptr<UIResponder>& input) {
  hidePending_ = false;
  double oldAccessory = accessoryHeight_;
  placeAccessory(input);
  if (!visible_) {
    show();
  } else if (accessoryHeight_ != oldAccessory) {
    show();  // the keyboard's reported frame changed with the accessory
  }
}

void UIKeyboard::inputDidEndEditing(const std::shared_ptr<UIResponder>&) {
  removeAccessory();
  // The keyboard stays up when another field takes over right away; decide on the next turn.
  if (hidePending_) return;
  hidePending_ = true;
  RunLoop::main().post([] {
    auto& kb = UIKeyboard::shared();
    if (!kb.hidePending_) return;
    kb.hidePending_ = false;
    if (isTextInput(UIResponder::currentFirstResponder())) return;
    if (kb.visible_) kb.hide();
  });
}

void UIKeyboard::reloadInputViews(const std::shared_ptr<UIResponder>& input) {
  double oldAccessory = accessoryHeight_;
  removeAccessory();
  if (!visible_) return;
  placeAccessory(input);
  if (accessoryHeight_ != oldAccessory) show();
}

void UIKeyboard::show() {
  CGRect end = frame();
  CGRect begin = CGRectOffset(end, 0, end.size.height);
  visible_ = true;
  Value info = Value::dict({{UIKeyboardFrameBeginUserInfoKey, NSStringFromCGRect(begin)},
                            {UIKeyboardFrameEndUserInfoKey, NSStringFromCGRect(end)},
                            {UIKeyboardAnimationDurationUserInfoKey, animationDuration()},
                            {UIKeyboardAnimationCurveUserInfoKey, animationCurve()}});
  UIKitNotification::post(UIKeyboardWillShowNotification, nullptr, info);
  RunLoop::main().post([info] {
    if (UIKeyboard::shared().visible_)
      UIKitNotification::post(UIKeyboardDidShowNotification, nullptr, info);
  });
}

void UIKeyboard::hide() {
  CGRect begin = frame();
  CGRect end = CGRectOffset(begin, 0, begin.size.height);
  visible_ = false;
  removeAccessory();
  Value info = Value::dict({{UIKeyboardFrameBeginUserInfoKey, NSStringFromCGRect(begin)},
                            {UIKeyboardFrameEndUserInfoKey, NSStringFromCGRect(end)},
                            {UIKeyboardAnimationDurationUserInfoKey, animationDuration()},
                            {UIKeyboardAnimationCurveUserInfoKey, animationCurve()}});
  UIKitNotification::post(UIKeyboardWillHideNotification, nullptr, info);
  RunLoop::main().post([info] {
    if (!UIKeyboard::shared().visible_)
      UIKitNotification::post(UIKeyboardDidHideNotification, nullptr, info);
  });
}

void UIKeyboard::placeAccessory(const std::shared_ptr<UIResponder>& input) {
  removeAccessory();
  if (!input) return;
  auto accessory = input->inputAccessoryView();
  auto window = UIApplication::sharedApplication()->keyWindow();
  if (!accessory || !window) return;
  CGRect kb = window->convertRectFromView(keysFrame(), nullptr);
  double h = accessory->frame().size.height > 0 ? accessory->frame().size.height : 44;
  accessory->setFrame(CGRectMake(0, kb.origin.y - h, window->bounds().size.width, h));
  window->addSubview(accessory);
  accessory_ = accessory;
  accessoryHeight_ = h;
}

void UIKeyboard::removeAccessory() {
  if (auto a = accessory_.lock()) a->removeFromSuperview();
  accessory_.reset();
  accessoryHeight_ = 0;
}

void UIKeyboard::reset() {
  removeAccessory();
  visible_ = false;
  hidePending_ = false;
  height_ = 216;
  accessoryHeight_ = 0;
}
