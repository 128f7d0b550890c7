#pragma once
// Labels: plain or attributed text in one font. Labels do not take touches by default.
// Setting text replaces the attributed text and the reverse (the plain text is then the
// attributed string's text). Sizes come from TextMeasure. An attributed text's paragraph style
// spaces its lines: each line after the first starts lineSpacing points below the line before.

#include <memory>
#include <string>
#include <vector>

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

  // The spacing between lines: the attributed text's paragraph style's; 0 for plain text.
  double lineSpacing() const;
  // The text's size wrapped to the given width (numberOfLines and the line spacing honoured).
  CGSize sizeThatFits(CGSize size) const override;
  // The lines shown in the current frame: wrapped to the width, cut at numberOfLines and at
  // the frame's height (the first line is always shown).
  std::vector<std::string> visibleLines() const;
  // The top of each visible line in the label's own coordinates, the block laid out from the
  // label's top: line k starts k x (line height + line spacing) down.
  std::vector<double> visibleLineTops() const;

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
