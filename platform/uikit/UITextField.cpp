#include "platform/uikit/UITextField.h"

#include "platform/foundation/NSString.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextEditing.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIKitNotification.h"

const std::string UITextFieldTextDidBeginEditingNotification =
    "UITextFieldTextDidBeginEditingNotification";
const std::string UITextFieldTextDidEndEditingNotification =
    "UITextFieldTextDidEndEditingNotification";
const std::string UITextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";

UITextField::UITextField() {
  font_ = UIFont::defaultFont();
  textColor_ = UIColor::blackColor();
}

std::shared_ptr<UITextField> UITextField::create(CGRect frame) { return make<UITextField>(frame); }

void UITextField::setText(const std::string& text) {
  text_ = text;
  size_t n = NSString::length(text_);
  selectedRange_ = NSRange{n, 0};
}

void UITextField::setAttributedPlaceholder(std::shared_ptr<NSAttributedString> p) {
  attributedPlaceholder_ = p ? p->copy() : nullptr;
  if (attributedPlaceholder_) placeholder_ = attributedPlaceholder_->string();
}

void UITextField::setFont(std::shared_ptr<UIFont> f) {
  font_ = f ? std::move(f) : UIFont::defaultFont();
}

void UITextField::setLeftView(std::shared_ptr<UIView> v) {
  if (leftView_) leftView_->removeFromSuperview();
  leftView_ = std::move(v);
  if (leftView_) addSubview(leftView_);
}

void UITextField::setSelectedRange(NSRange r) {
  size_t n = NSString::length(text_);
  if (r.location > n) r.location = n;
  if (r.length > n - r.location) r.length = n - r.location;
  selectedRange_ = r;
}

bool UITextField::canBecomeFirstResponder() const { return isEnabled(); }

bool UITextField::becomeFirstResponder() {
  if (isFirstResponder()) return true;
  if (!canBecomeFirstResponder()) return false;
  auto self = sharedSelf<UITextField>();
  if (!self) return false;
  if (auto d = delegate()) {
    if (!d->textFieldShouldBeginEditing(*this)) return false;
  }
  if (!UIResponder::becomeFirstResponder()) return false;
  editing_ = true;
  if (clearsOnBeginEditing_) setText("");
  selectedRange_ = NSRange{NSString::length(text_), 0};
  if (auto d = delegate()) d->textFieldDidBeginEditing(*this);
  UIKitNotification::post(UITextFieldTextDidBeginEditingNotification, self);
  sendActionsForControlEvents(UIControlEventEditingDidBegin);
  if (isFirstResponder()) UIKeyboard::shared().inputDidBeginEditing(self);
  return true;
}

bool UITextField::resignFirstResponder() {
  if (!isFirstResponder()) return true;
  auto self = sharedSelf<UITextField>();
  if (auto d = delegate()) {
    if (!d->textFieldShouldEndEditing(*this)) return false;
  }
  if (!UIResponder::resignFirstResponder()) return false;
  endEditingNow();
  return true;
}

void UITextField::endEditingNow() {
  auto self = sharedSelf<UITextField>();
  editing_ = false;
  if (auto d = delegate()) d->textFieldDidEndEditing(*this);
  UIKitNotification::post(UITextFieldTextDidEndEditingNotification, self);
  sendActionsForControlEvents(UIControlEventEditingDidEnd);
  UIKeyboard::shared().inputDidEndEditing(self);
}

bool UITextField::replaceCharactersInRange(NSRange range, const std::string& replacement) {
  auto keep = sharedSelf<UITextField>();
  range = TextEditing::clamp(text_, range);
  if (auto d = delegate()) {
    if (!d->shouldChangeCharactersInRange(*this, range, replacement)) return false;
  }
  size_t caret = 0;
  text_ = TextEditing::replace(text_, range, replacement, caret);
  selectedRange_ = NSRange{caret, 0};
  UIKitNotification::post(UITextFieldTextDidChangeNotification, keep);
  sendActionsForControlEvents(UIControlEventEditingChanged);
  return true;
}

bool UITextField::insertText(const std::string& text) {
  return replaceCharactersInRange(selectedRange_, text);
}

bool UITextField::deleteBackward() {
  const NSRange r = TextEditing::deletionRange(text_, selectedRange_);
  if (r.length == 0) return false;
  return replaceCharactersInRange(r, "");
}

bool UITextField::pressClearButton() {
  auto keep = sharedSelf<UITextField>();
  if (auto d = delegate()) {
    if (!d->textFieldShouldClear(*this)) return false;
  }
  setText("");
  UIKitNotification::post(UITextFieldTextDidChangeNotification, keep);
  sendActionsForControlEvents(UIControlEventEditingChanged);
  return true;
}

bool UITextField::pressReturn() {
  auto keep = sharedSelf<UITextField>();
  bool answer = true;
  if (auto d = delegate()) answer = d->textFieldShouldReturn(*this);
  if (answer) sendActionsForControlEvents(UIControlEventEditingDidEndOnExit);
  return answer;
}

void UITextField::touchUpInside(CGPoint) {
  if (!isEnabled()) return;
  becomeFirstResponder();
}
