#include "platform/uikit/UIButton.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

UIButton::UIButton() = default;

std::shared_ptr<UIButton> UIButton::buttonWithType(UIButtonType type) {
  auto b = std::make_shared<UIButton>();
  b->type_ = type;
  b->initWithFrame(CGRectZero);
  return b;
}

std::shared_ptr<UIButton> UIButton::create(CGRect frame) { return make<UIButton>(frame); }

void UIButton::initWithFrame(CGRect frame) {
  UIControl::initWithFrame(frame);
  backgroundImageView_ = UIImageView::create();
  imageView_ = UIImageView::create();
  titleLabel_ = UILabel::create();
  titleLabel_->setFont(UIFont::systemFontOfSize(type_ == UIButtonTypeCustom ? 15 : 15));
  titleLabel_->setTextAlignment(NSTextAlignmentCenter);
  addSubview(backgroundImageView_);
  addSubview(imageView_);
  addSubview(titleLabel_);
  refresh();
}

template <class T>
T UIButton::lookup(const std::map<UIControlState, T>& m, UIControlState s) {
  auto it = m.find(s);
  if (it != m.end() && it->second) return it->second;
  // Selected and highlighted together fall back to selected before normal.
  if (s & UIControlStateSelected) {
    it = m.find(UIControlStateSelected);
    if (it != m.end() && it->second) return it->second;
  }
  it = m.find(UIControlStateNormal);
  return it != m.end() ? it->second : T{};
}

template <>
std::string UIButton::lookup(const std::map<UIControlState, std::string>& m, UIControlState s) {
  auto it = m.find(s);
  if (it != m.end()) return it->second;
  if (s & UIControlStateSelected) {
    it = m.find(UIControlStateSelected);
    if (it != m.end()) return it->second;
  }
  it = m.find(UIControlStateNormal);
  return it != m.end() ? it->second : std::string();
}

void UIButton::setTitle(const std::string& title, UIControlState state) {
  titles_[state] = title;
  refresh();
}

std::string UIButton::titleForState(UIControlState state) const { return lookup(titles_, state); }

void UIButton::setAttributedTitle(std::shared_ptr<NSAttributedString> title, UIControlState state) {
  attributedTitles_[state] = std::move(title);
  refresh();
}

std::shared_ptr<NSAttributedString> UIButton::attributedTitleForState(UIControlState state) const {
  return lookup(attributedTitles_, state);
}

void UIButton::setTitleColor(std::shared_ptr<UIColor> color, UIControlState state) {
  titleColors_[state] = std::move(color);
  refresh();
}

std::shared_ptr<UIColor> UIButton::titleColorForState(UIControlState state) const {
  auto c = lookup(titleColors_, state);
  if (c) return c;
  // Custom buttons default to white titles, system buttons to the tint colour.
  return type_ == UIButtonTypeCustom ? UIColor::whiteColor() : tintColor();
}

void UIButton::setImage(std::shared_ptr<UIImage> image, UIControlState state) {
  images_[state] = std::move(image);
  refresh();
}

std::shared_ptr<UIImage> UIButton::imageForState(UIControlState state) const {
  return lookup(images_, state);
}

void UIButton::setBackgroundImage(std::shared_ptr<UIImage> image, UIControlState state) {
  backgroundImages_[state] = std::move(image);
  refresh();
}

std::shared_ptr<UIImage> UIButton::backgroundImageForState(UIControlState state) const {
  return lookup(backgroundImages_, state);
}

std::string UIButton::currentTitle() const {
  if (auto a = attributedTitleForState(state())) return a->string();
  return titleForState(state());
}
std::shared_ptr<UIColor> UIButton::currentTitleColor() const { return titleColorForState(state()); }
std::shared_ptr<UIImage> UIButton::currentImage() const { return imageForState(state()); }
std::shared_ptr<UIImage> UIButton::currentBackgroundImage() const {
  return backgroundImageForState(state());
}

void UIButton::setTitleEdgeInsets(UIEdgeInsets i) {
  titleEdgeInsets_ = i;
  refresh();
}
void UIButton::setImageEdgeInsets(UIEdgeInsets i) {
  imageEdgeInsets_ = i;
  refresh();
}
void UIButton::setContentEdgeInsets(UIEdgeInsets i) {
  contentEdgeInsets_ = i;
  refresh();
}

void UIButton::stateDidChange() { refresh(); }

void UIButton::setFrame(CGRect frame) {
  UIControl::setFrame(frame);
  if (titleLabel_) layoutSubviews();
}

// Applies the current state's content to the subviews and lays them out at once, so that
// what a test reads right after a change is what would be drawn.
void UIButton::refresh() {
  if (!titleLabel_) return;
  if (auto a = attributedTitleForState(state())) {
    titleLabel_->setAttributedText(a);
  } else {
    titleLabel_->setText(titleForState(state()));
  }
  titleLabel_->setTextColor(currentTitleColor());
  imageView_->setImage(currentImage());
  backgroundImageView_->setImage(currentBackgroundImage());
  layoutSubviews();
}

void UIButton::layoutSubviews() {
  if (!titleLabel_) return;
  CGRect content = UIEdgeInsetsInsetRect(bounds(), contentEdgeInsets_);
  backgroundImageView_->setFrame(bounds());
  backgroundImageView_->setHidden(!backgroundImageView_->image());
  auto image = imageView_->image();
  CGSize imageSize = image ? image->size() : CGSizeZero;
  const std::string& title = titleLabel_->text();
  double titleWidth = title.empty() ? 0 : TextMeasure::widthOfText(title, titleLabel_->font());
  double titleHeight = title.empty() ? 0 : TextMeasure::lineHeight(titleLabel_->font());
  // Image then title, side by side and centred together (or aligned as asked).
  double avail = content.size.width;
  double titleSpace =
      std::max(0.0, avail - imageSize.width - titleEdgeInsets_.left - titleEdgeInsets_.right);
  double shownTitleWidth = std::min(titleWidth, titleSpace);
  double total = imageSize.width + shownTitleWidth;
  double x;
  switch (contentHorizontalAlignment()) {
    case UIControlContentHorizontalAlignmentLeft:
    case UIControlContentHorizontalAlignmentFill:
      x = content.origin.x;
      break;
    case UIControlContentHorizontalAlignmentRight:
      x = content.origin.x + avail - total;
      break;
    default:
      x = content.origin.x + (avail - total) / 2;
  }
  double midY = content.origin.y + content.size.height / 2;
  imageView_->setFrame(
      CGRectMake(x + imageEdgeInsets_.left - imageEdgeInsets_.right,
                 midY - imageSize.height / 2 + imageEdgeInsets_.top - imageEdgeInsets_.bottom,
                 imageSize.width, imageSize.height));
  imageView_->setHidden(!image);
  titleLabel_->setFrame(
      CGRectMake(x + imageSize.width + titleEdgeInsets_.left - titleEdgeInsets_.right,
                 midY - titleHeight / 2 + titleEdgeInsets_.top - titleEdgeInsets_.bottom,
                 shownTitleWidth, titleHeight));
  titleLabel_->setHidden(title.empty());
}

CGSize UIButton::sizeThatFits(CGSize) const {
  auto image = currentImage();
  CGSize imageSize = image ? image->size() : CGSizeZero;
  std::string title = currentTitle();
  double tw = title.empty() ? 0 : TextMeasure::widthOfText(title, titleLabel_->font());
  double th = title.empty() ? 0 : TextMeasure::lineHeight(titleLabel_->font());
  return CGSize{
      std::ceil(imageSize.width + tw + contentEdgeInsets_.left + contentEdgeInsets_.right),
      std::ceil(std::max(imageSize.height, th) + contentEdgeInsets_.top +
                contentEdgeInsets_.bottom)};
}
