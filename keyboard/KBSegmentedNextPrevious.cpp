#include "keyboard/KBSegmentedNextPrevious.h"

#include "keyboard/KBKeyboardManagerConstants.h"
#include "platform/foundation/NSBundle.h"
#include "platform/uikit/UIColor.h"

std::shared_ptr<KBSegmentedNextPrevious> KBSegmentedNextPrevious::create(
    std::shared_ptr<void> target, Selector previousAction, Selector nextAction) {
  auto control = UIView::make<KBSegmentedNextPrevious>(CGRectZero);
  auto& bundle = NSBundle::mainBundle();
  if (!bundle.pathForResource("KBKeyboardManager", "bundle").empty()) {
    const std::string table = "KBKeyboardManager.bundle/KBKeyboardManager";
    control->insertSegmentWithTitle(bundle.localizedStringForKey("Previous", "", table), 0, false);
    control->insertSegmentWithTitle(bundle.localizedStringForKey("Next", "", table), 1, false);
  }
  control->setFrame(CGRectMake(0, 0, 136, 30));
  if (!KBIsSystem7OrLater()) control->setSegmentedControlStyle(UISegmentedControlStyleBar);
  control->setMomentary(true);
  control->setTintColor(UIColor::blackColor());
  std::weak_ptr<KBSegmentedNextPrevious> weak = control;
  control->addTarget(
      control,
      [weak](UISegmentedControl& sender) {
        if (auto self = weak.lock()) self->segmentedControlHandler(sender);
      },
      UIControlEventValueChanged);
  control->buttonTarget_ = std::move(target);
  control->previousSelector_ = std::move(previousAction);
  control->nextSelector_ = std::move(nextAction);
  return control;
}

void KBSegmentedNextPrevious::segmentedControlHandler(UISegmentedControl& control) {
  auto target = buttonTarget_;
  switch (control.selectedSegmentIndex()) {
    case 0:
      if (previousSelector_) previousSelector_(target);
      break;
    case 1:
      if (nextSelector_) nextSelector_(target);
      break;
    default:
      break;
  }
}
