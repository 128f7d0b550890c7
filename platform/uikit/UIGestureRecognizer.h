#pragma once
// Gesture recognizers: tap, swipe and long press. A recognizer belongs to one view (the view
// owns it) and calls its actions on the main thread when the automation drives a gesture
// over that view. Targets and the delegate are held weakly.

#include <functional>
#include <memory>
#include <vector>

#include "platform/foundation/NSObject.h"
#include "platform/uikit/CGGeometry.h"
#include "platform/uikit/TargetAction.h"

class UIView;
class UITouch;
class UIGestureRecognizer;

enum UIGestureRecognizerState : long {
  UIGestureRecognizerStatePossible = 0,
  UIGestureRecognizerStateBegan = 1,
  UIGestureRecognizerStateChanged = 2,
  UIGestureRecognizerStateEnded = 3,
  UIGestureRecognizerStateRecognized = 3,
  UIGestureRecognizerStateCancelled = 4,
  UIGestureRecognizerStateFailed = 5,
};

class UIGestureRecognizerDelegate {
 public:
  virtual ~UIGestureRecognizerDelegate() = default;
  virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer&) { return true; }
  virtual bool shouldRecognizeSimultaneouslyWithGestureRecognizer(UIGestureRecognizer&,
                                                                  UIGestureRecognizer&) {
    return false;
  }
  virtual bool shouldReceiveTouch(UIGestureRecognizer&, const UITouch&) { return true; }
};

class UIGestureRecognizer : public NSObject {
  TOVIRA_CLASS(UIGestureRecognizer)
 public:
  UIGestureRecognizer() = default;
  template <class F>
  UIGestureRecognizer(WeakTarget target, F action) {
    addTarget(std::move(target), std::move(action));
  }

  template <class F>
  void addTarget(WeakTarget target, F action) {
    addTargetErased(std::move(target), makeSenderAction<UIGestureRecognizer>(std::move(action)));
  }
  void addTargetErased(WeakTarget target, std::function<void(UIGestureRecognizer&)> action);
  void removeTarget(const void* target);

  std::shared_ptr<UIView> view() const { return view_.lock(); }
  UIGestureRecognizerState state() const { return state_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool e) { enabled_ = e; }
  bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
  void setCancelsTouchesInView(bool c) { cancelsTouchesInView_ = c; }
  std::shared_ptr<UIGestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIGestureRecognizerDelegate> d) { delegate_ = std::move(d); }
  // Where the gesture is, in the given view's coordinates (nullptr: window).
  CGPoint locationInView(const std::shared_ptr<UIView>& view) const;

  // Used by the automation: true when the recognizer is enabled and its delegate lets the
  // touch through and lets it begin.
  bool acceptsTouch(const UITouch& touch);
  // Moves to the state and calls every live target's action.
  void fire(UIGestureRecognizerState state, CGPoint locationInWindow);

 private:
  friend class UIView;
  struct Entry {
    WeakTarget target;
    std::function<void(UIGestureRecognizer&)> action;
  };
  std::vector<Entry> targets_;
  std::weak_ptr<UIView> view_;
  std::weak_ptr<UIGestureRecognizerDelegate> delegate_;
  UIGestureRecognizerState state_ = UIGestureRecognizerStatePossible;
  CGPoint location_{};
  bool enabled_ = true;
  bool cancelsTouchesInView_ = true;
};

class UITapGestureRecognizer : public UIGestureRecognizer {
  TOVIRA_CLASS(UITapGestureRecognizer)
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  template <class F>
  static std::shared_ptr<UITapGestureRecognizer> create(WeakTarget target, F action) {
    return std::make_shared<UITapGestureRecognizer>(std::move(target), std::move(action));
  }
  long numberOfTapsRequired() const { return taps_; }
  void setNumberOfTapsRequired(long n) { taps_ = n; }

 private:
  long taps_ = 1;
};

enum UISwipeGestureRecognizerDirection : unsigned long {
  UISwipeGestureRecognizerDirectionRight = 1 << 0,
  UISwipeGestureRecognizerDirectionLeft = 1 << 1,
  UISwipeGestureRecognizerDirectionUp = 1 << 2,
  UISwipeGestureRecognizerDirectionDown = 1 << 3,
};

class UISwipeGestureRecognizer : public UIGestureRecognizer {
  TOVIRA_CLASS(UISwipeGestureRecognizer)
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  template <class F>
  static std::shared_ptr<UISwipeGestureRecognizer> create(WeakTarget target, F action) {
    return std::make_shared<UISwipeGestureRecognizer>(std::move(target), std::move(action));
  }
  unsigned long direction() const { return direction_; }  // default right
  void setDirection(unsigned long d) { direction_ = d; }

 private:
  unsigned long direction_ = UISwipeGestureRecognizerDirectionRight;
};

class UILongPressGestureRecognizer : public UIGestureRecognizer {
  TOVIRA_CLASS(UILongPressGestureRecognizer)
 public:
  using UIGestureRecognizer::UIGestureRecognizer;
  template <class F>
  static std::shared_ptr<UILongPressGestureRecognizer> create(WeakTarget target, F action) {
    return std::make_shared<UILongPressGestureRecognizer>(std::move(target), std::move(action));
  }
  // Seconds on the run loop's clock that a press must last: 0.5 by default.
  double minimumPressDuration() const { return minimumPressDuration_; }
  void setMinimumPressDuration(double d) { minimumPressDuration_ = d; }

 private:
  double minimumPressDuration_ = 0.5;
};
