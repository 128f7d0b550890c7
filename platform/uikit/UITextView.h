#pragma once
// Multi-line text views (a scroll view of text). Editing goes through the delegate as for
// text fields; begin/end/change post UITextViewTextDidBeginEditingNotification,
// UITextViewTextDidEndEditingNotification and UITextViewTextDidChangeNotification (object: the
// view). The caret rectangle follows TextMeasure's wrapping of the text to the content width.

#include <memory>
#include <string>

#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"

class NSAttributedString;
class NSTextAttachment;
class NSURL;
class UITextView;

extern const std::string UITextViewTextDidBeginEditingNotification;
extern const std::string UITextViewTextDidEndEditingNotification;
extern const std::string UITextViewTextDidChangeNotification;

class UITextViewDelegate : public virtual UIScrollViewDelegate {
 public:
  virtual bool textViewShouldBeginEditing(UITextView&) { return true; }
  virtual void textViewDidBeginEditing(UITextView&) {}
  virtual bool textViewShouldEndEditing(UITextView&) { return true; }
  virtual void textViewDidEndEditing(UITextView&) {}
  // textView:shouldChangeTextInRange:replacementText:
  virtual bool shouldChangeTextInRange(UITextView&, NSRange, const std::string&) { return true; }
  virtual void textViewDidChange(UITextView&) {}
  virtual void textViewDidChangeSelection(UITextView&) {}
  // textView:shouldInteractWithURL:inRange: a tapped link (YES opens it).
  virtual bool shouldInteractWithURL(UITextView&, const std::shared_ptr<NSURL>&, NSRange) {
    return true;
  }
  // textView:shouldInteractWithTextAttachment:inRange: a tapped attachment.
  virtual bool shouldInteractWithTextAttachment(UITextView&,
                                                const std::shared_ptr<NSTextAttachment>&, NSRange) {
    return true;
  }
};

class UITextView : public UIScrollView {
  TOVIRA_CLASS(UITextView)
 public:
  UITextView();
  static std::shared_ptr<UITextView> create(CGRect frame = CGRectZero);
  // Made from an archived interface: the view's fields, then its text ("UIText").
  void initWithCoder(const NSCoder& coder) override;

  const std::string& text() const { return text_; }
  // setText, setFont and delegate are virtual so that subclasses see every change and read.
  virtual void setText(const std::string& text);
  // The text with its attributes (links, attachments, colours). Setting it sets the text;
  // setting the text leaves plain text; editing keeps each run on its characters.
  std::shared_ptr<NSAttributedString> attributedText() const;
  void setAttributedText(const std::shared_ptr<NSAttributedString>& text);
  // A tap on the character at a UTF-16 index. In a text view that is selectable and not
  // editable, a link there is offered to the delegate (shouldInteractWithURL, YES when there is
  // no delegate) and opened with the application's openURL when the answer is YES; an
  // attachment is offered alike (shouldInteractWithTextAttachment) and nothing further happens.
  // The range passed is the whole run of the link or attachment. Answers whether the character
  // held a link or an attachment that was offered.
  bool tapCharacterAtIndex(size_t index);
  std::shared_ptr<UIFont> font() const { return font_; }
  virtual void setFont(std::shared_ptr<UIFont> f);
  std::shared_ptr<UIColor> textColor() const { return textColor_; }
  void setTextColor(std::shared_ptr<UIColor> c) { textColor_ = std::move(c); }
  NSTextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(NSTextAlignment a) { alignment_ = a; }
  bool isEditable() const { return editable_; }
  void setEditable(bool e) { editable_ = e; }
  bool isSelectable() const { return selectable_; }
  void setSelectable(bool s) { selectable_ = s; }
  UIKeyboardType keyboardType() const { return keyboardType_; }
  void setKeyboardType(UIKeyboardType t) { keyboardType_ = t; }
  UIReturnKeyType returnKeyType() const { return returnKeyType_; }
  void setReturnKeyType(UIReturnKeyType t) { returnKeyType_ = t; }
  UIKeyboardAppearance keyboardAppearance() const { return keyboardAppearance_; }
  void setKeyboardAppearance(UIKeyboardAppearance a) { keyboardAppearance_ = a; }
  UIEdgeInsets textContainerInset() const { return textContainerInset_; }
  void setTextContainerInset(UIEdgeInsets i) { textContainerInset_ = i; }
  NSRange selectedRange() const { return selectedRange_; }
  void setSelectedRange(NSRange r);
  // The caret at a UTF-16 position, in the view's content coordinates (2 points wide).
  CGRect caretRectForPosition(size_t position) const;

  virtual std::shared_ptr<UITextViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UITextViewDelegate> d);
  bool isEditing() const { return editing_; }

  std::shared_ptr<UIView> inputAccessoryView() const override { return inputAccessoryView_; }
  void setInputAccessoryView(std::shared_ptr<UIView> v) { inputAccessoryView_ = std::move(v); }

  bool canBecomeFirstResponder() const override;
  bool becomeFirstResponder() override;
  bool resignFirstResponder() override;

  bool insertText(const std::string& text);
  bool replaceCharactersInRange(NSRange range, const std::string& replacement);
  bool deleteBackward();

 private:
  void updateContentSize();
  std::string text_;
  std::shared_ptr<NSAttributedString> attributedText_;  // nullptr: plain text
  std::shared_ptr<UIFont> font_;
  std::shared_ptr<UIColor> textColor_;
  std::shared_ptr<UIView> inputAccessoryView_;
  std::weak_ptr<UITextViewDelegate> delegate_;
  NSTextAlignment alignment_ = NSTextAlignmentLeft;
  UIKeyboardType keyboardType_ = UIKeyboardTypeDefault;
  UIReturnKeyType returnKeyType_ = UIReturnKeyDefault;
  UIKeyboardAppearance keyboardAppearance_ = UIKeyboardAppearanceDefault;
  UIEdgeInsets textContainerInset_{8, 0, 8, 0};
  NSRange selectedRange_{};
  bool editable_ = true;
  bool selectable_ = true;
  bool editing_ = false;
};
