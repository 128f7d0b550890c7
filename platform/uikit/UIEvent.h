#pragma once
// Touches and events as far as hit-testing and gesture delegates see them.

#include <memory>

#include "platform/uikit/CGGeometry.h"

class UIView;
class UIWindow;

class UIEvent {};

class UITouch {
 public:
  UITouch(std::shared_ptr<UIView> view, CGPoint locationInWindow, double timestamp)
      : view_(std::move(view)), location_(locationInWindow), timestamp_(timestamp) {}
  std::shared_ptr<UIView> view() const { return view_; }
  CGPoint locationInView(const std::shared_ptr<UIView>& view) const;  // nullptr: window coordinates
  double timestamp() const { return timestamp_; }
  long tapCount() const { return 1; }

 private:
  std::shared_ptr<UIView> view_;
  CGPoint location_;
  double timestamp_;
};
