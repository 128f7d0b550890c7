#pragma once
// Controls: enabled/selected/highlighted state and target-action. Actions run on the main
// thread, synchronously inside sendActionsForControlEvents, in the order they were added; a
// target that is gone is skipped.

#include <functional>
#include <memory>
#include <vector>

#include "platform/uikit/TargetAction.h"
#include "platform/uikit/UIView.h"

using UIControlEvents = unsigned long;
inline constexpr UIControlEvents UIControlEventTouchDown = 1 << 0;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1 << 6;
inline constexpr UIControlEvents UIControlEventValueChanged = 1 << 12;
inline constexpr UIControlEvents UIControlEventEditingDidBegin = 1 << 16;
inline constexpr UIControlEvents UIControlEventEditingChanged = 1 << 17;
inline constexpr UIControlEvents UIControlEventEditingDidEnd = 1 << 18;
inline constexpr UIControlEvents UIControlEventEditingDidEndOnExit = 1 << 19;
inline constexpr UIControlEvents UIControlEventAllEvents = 0xFFFFFFFF;

using UIControlState = unsigned long;
inline constexpr UIControlState UIControlStateNormal = 0;
inline constexpr UIControlState UIControlStateHighlighted = 1 << 0;
inline constexpr UIControlState UIControlStateDisabled = 1 << 1;
inline constexpr UIControlState UIControlStateSelected = 1 << 2;

enum UIControlContentHorizontalAlignment : long {
  UIControlContentHorizontalAlignmentCenter = 0,
  UIControlContentHorizontalAlignmentLeft = 1,
  UIControlContentHorizontalAlignmentRight = 2,
  UIControlContentHorizontalAlignmentFill = 3,
};

class UIControl : public UIView {
  TOVIRA_CLASS(UIControl)
 public:
  static std::shared_ptr<UIControl> create(CGRect frame = CGRectZero);

  // `action` takes the sender as UIControl&, as its own class (UIButton&, ...), or nothing.
  template <class F>
  void addTarget(WeakTarget target, F action, UIControlEvents events) {
    addTargetErased(std::move(target), makeSenderAction<UIControl>(std::move(action)), events);
  }
  void addTargetErased(WeakTarget target, std::function<void(UIControl&)> action,
                       UIControlEvents events);
  // Removes the target's actions for these events (a null target: every action).
  void removeTarget(const void* target, UIControlEvents events = UIControlEventAllEvents);
  size_t actionCount(UIControlEvents events) const;
  void sendActionsForControlEvents(UIControlEvents events);

  bool isEnabled() const { return enabled_; }
  virtual void setEnabled(bool e);
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool s);
  bool isHighlighted() const { return highlighted_; }
  virtual void setHighlighted(bool h);
  UIControlState state() const;
  UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return hAlign_; }
  void setContentHorizontalAlignment(UIControlContentHorizontalAlignment a) {
    hAlign_ = a;
    setNeedsLayout();
  }

  // A finger lifted inside the control at a point in its bounds. The default sends
  // touch-up-inside when enabled; segmented controls and fields override it.
  virtual void touchUpInside(CGPoint point);

 protected:
  virtual void stateDidChange() {}

 private:
  struct Entry {
    WeakTarget target;
    std::function<void(UIControl&)> action;
    UIControlEvents events;
  };
  std::vector<Entry> actions_;
  bool enabled_ = true;
  bool selected_ = false;
  bool highlighted_ = false;
  UIControlContentHorizontalAlignment hAlign_ = UIControlContentHorizontalAlignmentCenter;
};
