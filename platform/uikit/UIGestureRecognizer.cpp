#include "platform/uikit/UIGestureRecognizer.h"

#include <algorithm>

#include "platform/uikit/UIEvent.h"
#include "platform/uikit/UIView.h"

void UIGestureRecognizer::addTargetErased(WeakTarget target,
                                          std::function<void(UIGestureRecognizer&)> action) {
  if (!action) return;
  targets_.push_back(Entry{std::move(target), std::move(action)});
}

void UIGestureRecognizer::removeTarget(const void* target) {
  targets_.erase(
      std::remove_if(targets_.begin(), targets_.end(),
                     [target](const Entry& e) { return !target || e.target.is(target); }),
      targets_.end());
}

CGPoint UIGestureRecognizer::locationInView(const std::shared_ptr<UIView>& view) const {
  if (!view) return location_;
  return view->convertPointFromView(location_, nullptr);
}

bool UIGestureRecognizer::acceptsTouch(const UITouch& touch) {
  if (!enabled_) return false;
  if (auto d = delegate()) {
    if (!d->shouldReceiveTouch(*this, touch)) return false;
    if (!d->gestureRecognizerShouldBegin(*this)) return false;
  }
  return true;
}

void UIGestureRecognizer::fire(UIGestureRecognizerState state, CGPoint locationInWindow) {
  auto keep = std::static_pointer_cast<UIGestureRecognizer>(shared_from_this());
  state_ = state;
  location_ = locationInWindow;
  auto entries = targets_;  // an action may add or remove targets
  for (auto& e : entries) {
    if (e.target.alive()) e.action(*this);
  }
}
