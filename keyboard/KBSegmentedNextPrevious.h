#pragma once
// The two-segment "Previous"/"Next" control that stands for the arrow buttons on systems
// before 7.0. It keeps its target strongly and performs the previous or next action on it
// when a segment is tapped.

#include <functional>
#include <memory>

#include "platform/uikit/UISegmentedControl.h"

class KBSegmentedNextPrevious : public UISegmentedControl {
  TOVIRA_CLASS(KBSegmentedNextPrevious)
 public:
  using Selector = std::function<void(const std::shared_ptr<void>& target)>;
  // initWithTarget:previousAction:nextAction:. The titles come from the resource bundle's
  // strings table; without the bundle the control has no segments.
  static std::shared_ptr<KBSegmentedNextPrevious> create(std::shared_ptr<void> target,
                                                         Selector previousAction,
                                                         Selector nextAction);
  std::shared_ptr<void> buttonTarget() const { return buttonTarget_; }
  // Its own value-changed action: segment 0 performs the previous action, 1 the next one.
  void segmentedControlHandler(UISegmentedControl& control);

 private:
  std::shared_ptr<void> buttonTarget_;
  Selector previousSelector_;
  Selector nextSelector_;
};
