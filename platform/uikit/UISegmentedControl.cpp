#include "platform/uikit/UISegmentedControl.h"

#include <algorithm>

#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"

UISegmentedControl::UISegmentedControl() = default;

std::shared_ptr<UISegmentedControl> UISegmentedControl::create(
    const std::vector<std::string>& items) {
  auto s = make<UISegmentedControl>(CGRectMake(0, 0, 60.0 * items.size(), 29));
  s->titles_ = items;
  s->layer().setBorderWidth(1);
  s->layer().setCornerRadius(4);
  s->rebuild();
  return s;
}

void UISegmentedControl::setSelectedSegmentIndex(long index) {
  if (index < UISegmentedControlNoSegment || index >= numberOfSegments()) return;
  selected_ = index;
  layoutSubviews();
}

std::string UISegmentedControl::titleForSegmentAtIndex(long index) const {
  if (index < 0 || index >= numberOfSegments()) return "";
  return titles_[index];
}

void UISegmentedControl::setTitle(const std::string& title, long segment) {
  if (segment < 0 || segment >= numberOfSegments()) return;
  titles_[segment] = title;
  rebuild();
}

void UISegmentedControl::insertSegmentWithTitle(const std::string& title, long segment, bool) {
  if (segment < 0) segment = 0;
  if (segment > numberOfSegments()) segment = numberOfSegments();
  titles_.insert(titles_.begin() + segment, title);
  if (selected_ >= segment) ++selected_;
  rebuild();
}

void UISegmentedControl::setEnabledForSegmentAtIndex(bool enabled, long segment) {
  if (segment < 0 || segment >= numberOfSegments()) return;
  std::erase(disabledSegments_, segment);
  if (!enabled) disabledSegments_.push_back(segment);
}

bool UISegmentedControl::isEnabledForSegmentAtIndex(long segment) const {
  if (segment < 0 || segment >= numberOfSegments()) return false;
  return std::find(disabledSegments_.begin(), disabledSegments_.end(), segment) ==
         disabledSegments_.end();
}

void UISegmentedControl::removeAllSegments() {
  disabledSegments_.clear();
  titles_.clear();
  selected_ = UISegmentedControlNoSegment;
  rebuild();
}

void UISegmentedControl::setTitleTextColor(std::shared_ptr<UIColor> color, UIControlState state) {
  if (state & UIControlStateSelected)
    selectedColor_ = std::move(color);
  else
    normalColor_ = std::move(color);
  layoutSubviews();
}

std::shared_ptr<UIColor> UISegmentedControl::titleTextColor(UIControlState state) const {
  if (state & UIControlStateSelected)
    return selectedColor_ ? selectedColor_ : UIColor::whiteColor();
  return normalColor_ ? normalColor_ : tintColor();
}

void UISegmentedControl::rebuild() {
  for (auto& l : labels_) l->removeFromSuperview();
  labels_.clear();
  for (const auto& t : titles_) {
    auto l = UILabel::create();
    l->setText(t);
    l->setFont(UIFont::systemFontOfSize(13));
    l->setTextAlignment(NSTextAlignmentCenter);
    addSubview(l);
    labels_.push_back(l);
  }
  layoutSubviews();
}

void UISegmentedControl::setFrame(CGRect frame) {
  UIControl::setFrame(frame);
  layoutSubviews();
}

void UISegmentedControl::layoutSubviews() {
  long n = numberOfSegments();
  if (n == 0) return;
  double w = bounds().size.width / n;
  layer().setBorderColor(tintColor());
  for (long i = 0; i < n; ++i) {
    auto& l = labels_[i];
    l->setFrame(CGRectMake(i * w, 0, w, bounds().size.height));
    bool on = i == selected_;
    l->setBackgroundColor(on ? tintColor() : nullptr);
    l->setTextColor(titleTextColor(on ? UIControlStateSelected : UIControlStateNormal));
  }
}

void UISegmentedControl::touchUpInside(CGPoint point) {
  if (!isEnabled() || numberOfSegments() == 0) return;
  auto keep = sharedSelf<UISegmentedControl>();
  double w = bounds().size.width / numberOfSegments();
  long index = w > 0 ? static_cast<long>(point.x / w) : 0;
  if (index < 0) index = 0;
  if (index >= numberOfSegments()) index = numberOfSegments() - 1;
  if (!isEnabledForSegmentAtIndex(index)) return;
  if (momentary_) {
    selected_ = index;
    sendActionsForControlEvents(UIControlEventValueChanged);
    selected_ = UISegmentedControlNoSegment;
    layoutSubviews();
    return;
  }
  if (index == selected_) return;
  setSelectedSegmentIndex(index);
  sendActionsForControlEvents(UIControlEventValueChanged);
}
