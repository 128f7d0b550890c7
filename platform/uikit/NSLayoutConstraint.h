#pragma once
// Layout constraints as far as code reads and changes their constant; no solver runs.

#include <memory>

#include "platform/foundation/NSObject.h"

class NSLayoutConstraint : public NSObject {
  TOVIRA_CLASS(NSLayoutConstraint)
 public:
  static std::shared_ptr<NSLayoutConstraint> create(double constant = 0) {
    auto c = std::make_shared<NSLayoutConstraint>();
    c->constant_ = constant;
    return c;
  }
  double constant() const { return constant_; }
  void setConstant(double c) { constant_ = c; }
  bool isActive() const { return active_; }
  void setActive(bool a) { active_ = a; }

 private:
  double constant_ = 0;
  bool active_ = true;
};
