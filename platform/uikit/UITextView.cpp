#include "platform/uikit/UITextView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextEditing.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIKitNotification.h"

const std::string UITextViewTextDidBeginEditingNotification =
    "UITextViewTextDidBeginEditingNotification";
const std::string UITextViewTextDidEndEditingNotification =
    "UITextViewTextDidEndEditingNotification";
const std::string UITextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";

UITextView::UITextView() {
  font_ = UIFont::systemFontOfSize(12);
  textColor_ = UIColor::blackColor();
}

std::shared_ptr<UITextView> UITextView::create(CGRect frame) { return make<UITextView>(frame); }

void UITextView::initWithCoder(const NSCoder& coder) {
  UIScrollView::initWithCoder(coder);
  if (coder.containsValueForKey("UIText")) setText(coder.decodeStringForKey("UIText"));
}

void UITextView::setText(const std::string& text) {
  text_ = text;
  attributedText_.reset();
  selectedRange_ = NSRange{NSString::length(text_), 0};
  updateContentSize();
}

std::shared_ptr<NSAttributedString> UITextView::attributedText() const {
  return attributedText_ ? attributedText_->copy() : NSAttributedString::create(text_);
}

void UITextView::setAttributedText(const std::shared_ptr<NSAttributedString>& text) {
  setText(text ? text->string() : "");  // subclasses see the change as a text change
  if (text) attributedText_ = text->copy();
}

namespace {

// The longest range around index over which the attribute is the same object.
NSRange effectiveRange(const NSAttributedString& text, const std::string& name, size_t index) {
  const auto value = text.attributeAtIndex(name, index);
  size_t start = index, end = index + 1;
  while (start > 0 && text.attributeAtIndex(name, start - 1) == value) --start;
  while (end < text.length() && text.attributeAtIndex(name, end) == value) ++end;
  return NSRange{start, end - start};
}

// The attributes of an edited text: each run keeps its characters, shifted past the edit;
// text typed inside a run takes its attributes; runs whose characters were all replaced go.
std::shared_ptr<NSAttributedString> keepAttributes(const NSAttributedString& before,
                                                   const std::string& after, NSRange edit,
                                                   const std::string& replacement) {
  const size_t inserted = NSString::length(replacement);
  const size_t editEnd = NSMaxRange(edit);
  auto map = [&](size_t p) {
    if (p <= edit.location) return p;
    if (p >= editEnd) return p - edit.length + inserted;
    return edit.location;
  };
  auto out = NSMutableAttributedString::create(after);
  for (const auto& run : before.runs()) {
    const size_t start = map(run.range.location), end = map(NSMaxRange(run.range));
    if (end > start) out->addAttribute(run.name, run.value, NSRange{start, end - start});
  }
  return out;
}

}  // namespace

bool UITextView::tapCharacterAtIndex(size_t index) {
  auto keep = sharedSelf<UITextView>();
  // Links and attachments take taps only where the text is read, not edited.
  if (!attributedText_ || editable_ || !selectable_ || index >= attributedText_->length())
    return false;
  const auto text = attributedText_;  // the delegate may change the text
  if (auto link = std::dynamic_pointer_cast<NSLinkAttribute>(
          text->attributeAtIndex(NSLinkAttributeName, index));
      link && link->url) {
    const NSRange range = effectiveRange(*text, NSLinkAttributeName, index);
    auto d = delegate();
    if (!d || d->shouldInteractWithURL(*this, link->url, range))
      UIApplication::sharedApplication()->openURL(link->url);
    return true;
  }
  if (auto attachment = std::dynamic_pointer_cast<NSTextAttachment>(
          text->attributeAtIndex(NSAttachmentAttributeName, index))) {
    const NSRange range = effectiveRange(*text, NSAttachmentAttributeName, index);
    if (auto d = delegate()) d->shouldInteractWithTextAttachment(*this, attachment, range);
    return true;
  }
  return false;
}

void UITextView::setFont(std::shared_ptr<UIFont> f) {
  font_ = f ? std::move(f) : UIFont::systemFontOfSize(12);
  updateContentSize();
}

void UITextView::setDelegate(std::weak_ptr<UITextViewDelegate> d) {
  delegate_ = d;
  UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(d.lock()));
}

void UITextView::setSelectedRange(NSRange r) {
  size_t n = NSString::length(text_);
  if (r.location > n) r.location = n;
  if (r.length > n - r.location) r.length = n - r.location;
  selectedRange_ = r;
  if (auto d = delegate()) d->textViewDidChangeSelection(*this);
}

void UITextView::updateContentSize() {
  double width = bounds().size.width - textContainerInset_.left - textContainerInset_.right - 10;
  CGSize s = TextMeasure::sizeOfText(text_, font_, std::max(width, 1.0));
  setContentSize(CGSize{bounds().size.width, std::ceil(s.height + textContainerInset_.top +
                                                       textContainerInset_.bottom)});
}

CGRect UITextView::caretRectForPosition(size_t position) const {
  double width = bounds().size.width - textContainerInset_.left - textContainerInset_.right - 10;
  std::string before = NSString::substring(text_, 0, position);
  auto ls = TextMeasure::lines(before, font_, std::max(width, 1.0));
  double lh = TextMeasure::lineHeight(font_);
  double x = 0;
  size_t lineIndex = 0;
  if (!ls.empty()) {
    lineIndex = ls.size() - 1;
    x = TextMeasure::widthOfText(ls.back(), font_);
    // A caret right after a newline starts the next line (which the wrapping already gives
    // as an empty last line).
    if (!before.empty() && before.back() == '\n' && !ls.back().empty()) {
      lineIndex = ls.size();
      x = 0;
    }
  }
  return CGRectMake(textContainerInset_.left + 5 + x, textContainerInset_.top + lineIndex * lh, 2,
                    lh);
}

bool UITextView::canBecomeFirstResponder() const { return editable_ || selectable_; }

bool UITextView::becomeFirstResponder() {
  if (isFirstResponder()) return true;
  if (!canBecomeFirstResponder()) return false;
  auto self = sharedSelf<UITextView>();
  if (!self) return false;
  if (auto d = delegate()) {
    if (!d->textViewShouldBeginEditing(*this)) return false;
  }
  if (!UIResponder::becomeFirstResponder()) return false;
  editing_ = true;
  if (auto d = delegate()) d->textViewDidBeginEditing(*this);
  UIKitNotification::post(UITextViewTextDidBeginEditingNotification, self);
  if (isFirstResponder()) UIKeyboard::shared().inputDidBeginEditing(self);
  return true;
}

bool UITextView::resignFirstResponder() {
  if (!isFirstResponder()) return true;
  auto self = sharedSelf<UITextView>();
  if (auto d = delegate()) {
    if (!d->textViewShouldEndEditing(*this)) return false;
  }
  if (!UIResponder::resignFirstResponder()) return false;
  editing_ = false;
  if (auto d = delegate()) d->textViewDidEndEditing(*this);
  UIKitNotification::post(UITextViewTextDidEndEditingNotification, self);
  UIKeyboard::shared().inputDidEndEditing(self);
  return true;
}

bool UITextView::replaceCharactersInRange(NSRange range, const std::string& replacement) {
  auto keep = sharedSelf<UITextView>();
  if (!editable_) return false;
  range = TextEditing::clamp(text_, range);
  if (auto d = delegate()) {
    if (!d->shouldChangeTextInRange(*this, range, replacement)) return false;
  }
  size_t caret = 0;
  text_ = TextEditing::replace(text_, range, replacement, caret);
  if (attributedText_)
    attributedText_ = keepAttributes(*attributedText_, text_, range, replacement);
  selectedRange_ = NSRange{caret, 0};
  updateContentSize();
  if (auto d = delegate()) d->textViewDidChange(*this);
  UIKitNotification::post(UITextViewTextDidChangeNotification, keep);
  return true;
}

bool UITextView::insertText(const std::string& text) {
  return replaceCharactersInRange(selectedRange_, text);
}

bool UITextView::deleteBackward() {
  const NSRange r = TextEditing::deletionRange(text_, selectedRange_);
  if (r.length == 0) return false;
  return replaceCharactersInRange(r, "");
}
