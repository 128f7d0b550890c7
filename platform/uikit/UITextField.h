#pragma once
// Single-line text fields. Editing goes through the delegate exactly as on the device:
// becoming first responder asks textFieldShouldBeginEditing, each typed character asks
// shouldChangeCharactersInRange, Return asks textFieldShouldReturn, leaving asks
// textFieldShouldEndEditing and then tells textFieldDidEndEditing. setText alone asks nobody.
// Begin/end editing post UITextFieldTextDidBeginEditingNotification /
// UITextFieldTextDidEndEditingNotification (object: the field) and show / hide the keyboard.
// The delegate is held weakly. Main thread only.

#include <memory>
#include <string>

#include "platform/uikit/UIControl.h"
#include "platform/uikit/UILabel.h"

class UIFont;
class UIColor;
class UIImage;
class UITextField;

extern const std::string UITextFieldTextDidBeginEditingNotification;
extern const std::string UITextFieldTextDidEndEditingNotification;
extern const std::string UITextFieldTextDidChangeNotification;

enum UIKeyboardType : long {
  UIKeyboardTypeDefault = 0,
  UIKeyboardTypeASCIICapable = 1,
  UIKeyboardTypeNumbersAndPunctuation = 2,
  UIKeyboardTypeURL = 3,
  UIKeyboardTypeNumberPad = 4,
  UIKeyboardTypePhonePad = 5,
  UIKeyboardTypeNamePhonePad = 6,
  UIKeyboardTypeEmailAddress = 7,
  UIKeyboardTypeDecimalPad = 8,
};

enum UIReturnKeyType : long {
  UIReturnKeyDefault = 0,
  UIReturnKeyGo = 1,
  UIReturnKeyGoogle = 2,
  UIReturnKeyJoin = 3,
  UIReturnKeyNext = 4,
  UIReturnKeyRoute = 5,
  UIReturnKeySearch = 6,
  UIReturnKeySend = 7,
  UIReturnKeyYahoo = 8,
  UIReturnKeyDone = 9,
  UIReturnKeyEmergencyCall = 10,
};

enum UIKeyboardAppearance : long {
  UIKeyboardAppearanceDefault = 0,
  UIKeyboardAppearanceDark = 1,
  UIKeyboardAppearanceLight = 2,
};

enum UITextFieldViewMode : long {
  UITextFieldViewModeNever = 0,
  UITextFieldViewModeWhileEditing = 1,
  UITextFieldViewModeUnlessEditing = 2,
  UITextFieldViewModeAlways = 3,
};

enum UITextBorderStyle : long {
  UITextBorderStyleNone = 0,
  UITextBorderStyleLine = 1,
  UITextBorderStyleBezel = 2,
  UITextBorderStyleRoundedRect = 3,
};

class UITextFieldDelegate {
 public:
  virtual ~UITextFieldDelegate() = default;
  virtual bool textFieldShouldBeginEditing(UITextField&) { return true; }
  virtual void textFieldDidBeginEditing(UITextField&) {}
  virtual bool textFieldShouldEndEditing(UITextField&) { return true; }
  virtual void textFieldDidEndEditing(UITextField&) {}
  // textField:shouldChangeCharactersInRange:replacementString: (range in UTF-16 units)
  virtual bool shouldChangeCharactersInRange(UITextField&, NSRange, const std::string&) {
    return true;
  }
  virtual bool textFieldShouldClear(UITextField&) { return true; }
  virtual bool textFieldShouldReturn(UITextField&) { return true; }
};

class UITextField : public UIControl {
  TOVIRA_CLASS(UITextField)
 public:
  UITextField();
  static std::shared_ptr<UITextField> create(CGRect frame = CGRectZero);

  const std::string& text() const { return text_; }
  void setText(const std::string& text);
  const std::string& placeholder() const { return placeholder_; }
  void setPlaceholder(const std::string& p) { placeholder_ = p; }
  std::shared_ptr<NSAttributedString> attributedPlaceholder() const {
    return attributedPlaceholder_;
  }
  void setAttributedPlaceholder(std::shared_ptr<NSAttributedString> p);
  std::shared_ptr<UIFont> font() const { return font_; }
  void setFont(std::shared_ptr<UIFont> f);
  std::shared_ptr<UIColor> textColor() const { return textColor_; }
  void setTextColor(std::shared_ptr<UIColor> c) { textColor_ = std::move(c); }
  NSTextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(NSTextAlignment a) { alignment_ = a; }
  UITextBorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(UITextBorderStyle s) { borderStyle_ = s; }
  UIKeyboardType keyboardType() const { return keyboardType_; }
  void setKeyboardType(UIKeyboardType t) { keyboardType_ = t; }
  UIReturnKeyType returnKeyType() const { return returnKeyType_; }
  void setReturnKeyType(UIReturnKeyType t) { returnKeyType_ = t; }
  UIKeyboardAppearance keyboardAppearance() const { return keyboardAppearance_; }
  void setKeyboardAppearance(UIKeyboardAppearance a) { keyboardAppearance_ = a; }
  bool isSecureTextEntry() const { return secure_; }
  void setSecureTextEntry(bool s) { secure_ = s; }
  UITextFieldViewMode clearButtonMode() const { return clearButtonMode_; }
  void setClearButtonMode(UITextFieldViewMode m) { clearButtonMode_ = m; }
  bool clearsOnBeginEditing() const { return clearsOnBeginEditing_; }
  void setClearsOnBeginEditing(bool c) { clearsOnBeginEditing_ = c; }
  std::shared_ptr<UIView> leftView() const { return leftView_; }
  void setLeftView(std::shared_ptr<UIView> v);
  UITextFieldViewMode leftViewMode() const { return leftViewMode_; }
  void setLeftViewMode(UITextFieldViewMode m) { leftViewMode_ = m; }
  std::shared_ptr<UIImage> background() const { return background_; }
  void setBackground(std::shared_ptr<UIImage> b) { background_ = std::move(b); }

  std::shared_ptr<UITextFieldDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UITextFieldDelegate> d) { delegate_ = std::move(d); }
  bool isEditing() const { return editing_; }
  // The caret's position (UTF-16 units); the end of the text after typing.
  NSRange selectedRange() const { return selectedRange_; }
  void setSelectedRange(NSRange r);

  std::shared_ptr<UIView> inputAccessoryView() const override { return inputAccessoryView_; }
  void setInputAccessoryView(std::shared_ptr<UIView> v) { inputAccessoryView_ = std::move(v); }
  std::shared_ptr<UIView> inputView() const override { return inputView_; }
  void setInputView(std::shared_ptr<UIView> v) { inputView_ = std::move(v); }

  bool canBecomeFirstResponder() const override;
  bool becomeFirstResponder() override;
  bool resignFirstResponder() override;

  // Editing as the keyboard does it, through the delegate. Each returns whether the change
  // happened. insertText replaces the selection with the text (one delegate call); the
  // automation types one character at a time.
  bool insertText(const std::string& text);
  bool replaceCharactersInRange(NSRange range, const std::string& replacement);
  bool deleteBackward();
  bool pressClearButton();  // asks textFieldShouldClear, then empties the field
  bool pressReturn();       // asks textFieldShouldReturn; sends EditingDidEndOnExit when YES

  // A tap on the field begins editing.
  void touchUpInside(CGPoint point) override;

 private:
  void endEditingNow();
  std::string text_;
  std::string placeholder_;
  std::shared_ptr<NSAttributedString> attributedPlaceholder_;
  std::shared_ptr<UIFont> font_;
  std::shared_ptr<UIColor> textColor_;
  std::shared_ptr<UIView> leftView_;
  std::shared_ptr<UIImage> background_;
  std::shared_ptr<UIView> inputAccessoryView_;
  std::shared_ptr<UIView> inputView_;
  std::weak_ptr<UITextFieldDelegate> delegate_;
  NSTextAlignment alignment_ = NSTextAlignmentLeft;
  UITextBorderStyle borderStyle_ = UITextBorderStyleNone;
  UIKeyboardType keyboardType_ = UIKeyboardTypeDefault;
  UIReturnKeyType returnKeyType_ = UIReturnKeyDefault;
  UIKeyboardAppearance keyboardAppearance_ = UIKeyboardAppearanceDefault;
  UITextFieldViewMode clearButtonMode_ = UITextFieldViewModeNever;
  UITextFieldViewMode leftViewMode_ = UITextFieldViewModeNever;
  NSRange selectedRange_{};
  bool secure_ = false;
  bool clearsOnBeginEditing_ = false;
  bool editing_ = false;
};
