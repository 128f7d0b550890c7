#include "platform/uikit/UILabel.h"

#include <cmath>

#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"

UILabel::UILabel() {
  setUserInteractionEnabled(false);
  font_ = UIFont::defaultFont();
  textColor_ = UIColor::blackColor();
}

std::shared_ptr<UILabel> UILabel::create(CGRect frame) { return make<UILabel>(frame); }

void UILabel::setText(const std::string& text) {
  text_ = text;
  attributedText_.reset();
}

void UILabel::setAttributedText(std::shared_ptr<NSAttributedString> text) {
  if (!text) {
    attributedText_.reset();
    text_.clear();
    return;
  }
  attributedText_ = text->copy();
  text_ = attributedText_->string();
}

void UILabel::setFont(std::shared_ptr<UIFont> font) {
  font_ = font ? std::move(font) : UIFont::defaultFont();
}

void UILabel::setTextColor(std::shared_ptr<UIColor> c) {
  textColor_ = c ? std::move(c) : UIColor::blackColor();
}

double UILabel::lineSpacing() const { return attributedText_ ? attributedText_->lineSpacing() : 0; }

CGSize UILabel::sizeThatFits(CGSize size) const {
  double maxWidth = numberOfLines_ == 1 ? 0 : size.width;
  CGSize s = TextMeasure::sizeOfText(text_, font_, maxWidth, numberOfLines_, lineSpacing());
  return CGSize{std::ceil(s.width), std::ceil(s.height)};
}

std::vector<std::string> UILabel::visibleLines() const {
  double maxWidth = numberOfLines_ == 1 ? 0 : frame().size.width;
  auto ls = TextMeasure::lines(text_, font_, maxWidth, numberOfLines_);
  if (frame().size.height > 0) {
    // Lines that do not fit in the height are cut (the first line is always drawn).
    size_t fit = TextMeasure::linesInHeight(frame().size.height, font_, lineSpacing());
    if (fit < 1) fit = 1;
    if (ls.size() > fit) ls.resize(fit);
  }
  return ls;
}

std::vector<double> UILabel::visibleLineTops() const {
  const size_t count = visibleLines().size();
  const double step = TextMeasure::lineHeight(font_) + lineSpacing();
  std::vector<double> tops;
  for (size_t k = 0; k < count; ++k) tops.push_back(static_cast<double>(k) * step);
  return tops;
}
