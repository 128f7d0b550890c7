#pragma once
// Layout constraints as far as code reads and changes their constant; no solver runs.
//
// Constraints added to a view (UIView::addConstraint) that tie the top or bottom of one of its
// subviews to a controller's layout guide are applied when that view lays out
// (setNeedsLayout, layoutIfNeeded): the subview is moved so that the relation holds, its size
// kept. Other constraints are only stored. Items are held weakly. Main thread only.

#include <memory>

#include "platform/foundation/NSObject.h"

class UIView;

enum NSLayoutAttribute : long {
  NSLayoutAttributeNotAnAttribute = 0,
  NSLayoutAttributeLeft = 1,
  NSLayoutAttributeRight = 2,
  NSLayoutAttributeTop = 3,
  NSLayoutAttributeBottom = 4,
  NSLayoutAttributeLeading = 5,
  NSLayoutAttributeTrailing = 6,
  NSLayoutAttributeWidth = 7,
  NSLayoutAttributeHeight = 8,
  NSLayoutAttributeCenterX = 9,
  NSLayoutAttributeCenterY = 10,
};

enum NSLayoutRelation : long {
  NSLayoutRelationLessThanOrEqual = -1,
  NSLayoutRelationEqual = 0,
  NSLayoutRelationGreaterThanOrEqual = 1,
};

// A controller's top or bottom layout guide: a horizontal band of `length` points at the top
// of its view (below the status bar) or at its bottom.
class UILayoutSupport : public NSObject {
  TOVIRA_CLASS(UILayoutSupport)
 public:
  explicit UILayoutSupport(bool top = true) : top_(top) {}
  bool isTopGuide() const { return top_; }
  // Top: the status bar's height (20, or 0 while it is hidden); bottom: 0; unless set.
  double length() const;
  void setLength(double length) {
    length_ = length;
    hasLength_ = true;
  }

 private:
  bool top_ = true;
  bool hasLength_ = false;
  double length_ = 0;
};

class NSLayoutConstraint : public NSObject {
  TOVIRA_CLASS(NSLayoutConstraint)
 public:
  static std::shared_ptr<NSLayoutConstraint> create(double constant = 0) {
    auto c = std::make_shared<NSLayoutConstraint>();
    c->constant_ = constant;
    return c;
  }
  // constraintWithItem:attribute:relatedBy:toItem:attribute:multiplier:constant:
  // first.attribute = second.attribute * multiplier + constant.
  static std::shared_ptr<NSLayoutConstraint> constraintWithItem(
      const std::shared_ptr<NSObject>& first, NSLayoutAttribute firstAttribute,
      NSLayoutRelation relation, const std::shared_ptr<NSObject>& second,
      NSLayoutAttribute secondAttribute, double multiplier, double constant);

  double constant() const { return constant_; }
  void setConstant(double c) { constant_ = c; }
  bool isActive() const { return active_; }
  void setActive(bool a) { active_ = a; }
  std::shared_ptr<NSObject> firstItem() const { return first_.lock(); }
  std::shared_ptr<NSObject> secondItem() const { return second_.lock(); }
  NSLayoutAttribute firstAttribute() const { return firstAttribute_; }
  NSLayoutAttribute secondAttribute() const { return secondAttribute_; }
  NSLayoutRelation relation() const { return relation_; }
  double multiplier() const { return multiplier_; }

  // Moves the subview of `owner` that this constraint ties to a layout guide of owner's
  // controller (see the header comment); answers whether it did.
  bool applyInView(UIView& owner) const;

 private:
  std::weak_ptr<NSObject> first_;
  std::weak_ptr<NSObject> second_;
  NSLayoutAttribute firstAttribute_ = NSLayoutAttributeNotAnAttribute;
  NSLayoutAttribute secondAttribute_ = NSLayoutAttributeNotAnAttribute;
  NSLayoutRelation relation_ = NSLayoutRelationEqual;
  double multiplier_ = 1;
  double constant_ = 0;
  bool active_ = true;
};
