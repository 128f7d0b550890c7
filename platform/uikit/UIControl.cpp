#include "platform/uikit/UIControl.h"

#include <algorithm>

std::shared_ptr<UIControl> UIControl::create(CGRect frame) { return make<UIControl>(frame); }

void UIControl::addTargetErased(WeakTarget target, std::function<void(UIControl&)> action,
                                UIControlEvents events) {
  if (!action || events == 0) return;
  actions_.push_back(Entry{std::move(target), std::move(action), events});
}

void UIControl::removeTarget(const void* target, UIControlEvents events) {
  for (auto& e : actions_) {
    if (!target || e.target.is(target)) e.events &= ~events;
  }
  actions_.erase(std::remove_if(actions_.begin(), actions_.end(),
                                [](const Entry& e) { return e.events == 0; }),
                 actions_.end());
}

size_t UIControl::actionCount(UIControlEvents events) const {
  return static_cast<size_t>(std::count_if(actions_.begin(), actions_.end(), [&](const Entry& e) {
    return (e.events & events) != 0 && e.target.alive();
  }));
}

void UIControl::sendActionsForControlEvents(UIControlEvents events) {
  // The actions may remove this control from its superview, or drop the last reference to it.
  auto keep = sharedSelf<UIControl>();
  auto entries = actions_;
  for (auto& e : entries) {
    if ((e.events & events) != 0 && e.target.alive()) e.action(*this);
  }
}

void UIControl::setEnabled(bool e) {
  if (enabled_ == e) return;
  enabled_ = e;
  stateDidChange();
}

void UIControl::setSelected(bool s) {
  if (selected_ == s) return;
  selected_ = s;
  stateDidChange();
}

void UIControl::setHighlighted(bool h) {
  if (highlighted_ == h) return;
  highlighted_ = h;
  stateDidChange();
}

UIControlState UIControl::state() const {
  UIControlState s = UIControlStateNormal;
  if (highlighted_) s |= UIControlStateHighlighted;
  if (!enabled_) s |= UIControlStateDisabled;
  if (selected_) s |= UIControlStateSelected;
  return s;
}

void UIControl::touchUpInside(CGPoint) {
  if (enabled_) sendActionsForControlEvents(UIControlEventTouchUpInside);
}
