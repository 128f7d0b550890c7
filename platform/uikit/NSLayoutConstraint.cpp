#include "platform/uikit/NSLayoutConstraint.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIView.h"

double UILayoutSupport::length() const {
  if (hasLength_) return length_;
  if (!top_) return 0;
  return UIApplication::sharedApplication()->isStatusBarHidden() ? 0 : 20;
}

std::shared_ptr<NSLayoutConstraint> NSLayoutConstraint::constraintWithItem(
    const std::shared_ptr<NSObject>& first, NSLayoutAttribute firstAttribute,
    NSLayoutRelation relation, const std::shared_ptr<NSObject>& second,
    NSLayoutAttribute secondAttribute, double multiplier, double constant) {
  auto c = std::make_shared<NSLayoutConstraint>();
  c->first_ = first;
  c->second_ = second;
  c->firstAttribute_ = firstAttribute;
  c->secondAttribute_ = secondAttribute;
  c->relation_ = relation;
  c->multiplier_ = multiplier;
  c->constant_ = constant;
  return c;
}

namespace {
bool isVertical(NSLayoutAttribute a) {
  return a == NSLayoutAttributeTop || a == NSLayoutAttributeBottom;
}

// Where a guide's edge lies in its owner view's coordinates.
double guideEdge(const UILayoutSupport& guide, NSLayoutAttribute attribute, const UIView& owner) {
  double h = owner.bounds().size.height;
  double top = guide.isTopGuide() ? 0 : h - guide.length();
  double bottom = guide.isTopGuide() ? guide.length() : h;
  return attribute == NSLayoutAttributeTop ? top : bottom;
}

void placeEdge(UIView& view, NSLayoutAttribute attribute, double value) {
  CGRect f = view.frame();
  f.origin.y = attribute == NSLayoutAttributeTop ? value : value - f.size.height;
  view.setFrame(f);
}
}  // namespace

bool NSLayoutConstraint::applyInView(UIView& owner) const {
  if (!active_ || !isVertical(firstAttribute_) || !isVertical(secondAttribute_)) return false;
  auto first = firstItem();
  auto second = secondItem();
  auto firstView = std::dynamic_pointer_cast<UIView>(first);
  auto secondView = std::dynamic_pointer_cast<UIView>(second);
  auto firstGuide = std::dynamic_pointer_cast<UILayoutSupport>(first);
  auto secondGuide = std::dynamic_pointer_cast<UILayoutSupport>(second);
  if (firstView && secondGuide && firstView->superview().get() == &owner) {
    placeEdge(*firstView, firstAttribute_,
              guideEdge(*secondGuide, secondAttribute_, owner) * multiplier_ + constant_);
    return true;
  }
  if (firstGuide && secondView && secondView->superview().get() == &owner && multiplier_ != 0) {
    placeEdge(*secondView, secondAttribute_,
              (guideEdge(*firstGuide, firstAttribute_, owner) - constant_) / multiplier_);
    return true;
  }
  return false;
}
