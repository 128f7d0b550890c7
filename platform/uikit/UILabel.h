#pragma once
// Labels: plain or attributed text in one font. Labels do not take touches by default.
// Setting text replaces the attributed text and the reverse (the plain text is then the
// attributed string's text). Sizes come from TextMeasure.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class NSAttributedString;
class UIColor;
class UIFont;

enum NSTextAlignment : long {
  NSTextAlignmentLeft = 0,
  NSTextAlignmentCenter = 1,
  NSTextAlignmentRight = 2,
  NSTextAlignmentJustified = 3,
  NSTextAlignmentNatural = 4,
};

enum NSLineBreakMode : long {
  NSLineBreakByWordWrapping = 0,
  NSLineBreakByCharWrapping = 1,
  NSLineBreakByClipping = 2,
  NSLineBreakByTruncatingHead = 3,
  NSLineBreakByTruncatingTail = 4,
  NSLineBreakByTruncatingMiddle = 5,
};

class UILabel : public UIView {
  TOVIRA_CLASS(UILabel)
 public:
  UILabel();
  static std::shared_ptr<UILabel> create(CGRect frame = CGRectZero);

  const std::string& text() const { return text_; }
  void setText(const std::string& text);
  std::shared_ptr<NSAttributedString> attributedText() const { return attributedText_; }
  void setAttributedText(std::shared_ptr<NSAttributedString> text);  // copied
  std::shared_ptr<UIFont> font() const { return font_; }
  void setFont(std::shared_ptr<UIFont> font);  // nullptr: the default font
  std::shared_ptr<UIColor> textColor() const { return textColor_; }
  void setTextColor(std::shared_ptr<UIColor> c);  // nullptr: black
  NSTextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(NSTextAlignment a) { alignment_ = a; }
  long numberOfLines() const { return numberOfLines_; }  // 1 by default; 0: no limit
  void setNumberOfLines(long n) { numberOfLines_ = n; }
  NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
  void setLineBreakMode(NSLineBreakMode m) { lineBreakMode_ = m; }
  bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
  void setAdjustsFontSizeToFitWidth(bool a) { adjustsFontSize_ = a; }

  // The text's size wrapped to the given width (numberOfLines honoured).
  CGSize sizeThatFits(CGSize size) const override;
  // The lines shown in the current frame: wrapped to the width, cut at numberOfLines and at
  // the frame's height.
  std::vector<std::string> visibleLines() const;

 private:
  std::string text_;
  std::shared_ptr<NSAttributedString> attributedText_;
  std::shared_ptr<UIFont> font_;
  std::shared_ptr<UIColor> textColor_;
  NSTextAlignment alignment_ = NSTextAlignmentLeft;
  long numberOfLines_ = 1;
  NSLineBreakMode lineBreakMode_ = NSLineBreakByTruncatingTail;
  bool adjustsFontSize_ = false;
};
