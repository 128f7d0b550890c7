#include "keyboard/KBBarButtonItem.h"

#include "platform/uikit/UIControl.h"

void KBBarButtonItem::initialize(const std::string& className) {
  auto appearance = UIBarButtonItem::appearanceForClassName(className);
  const UIBarMetrics metrics = UIBarMetricsDefault;
  // Normal, highlighted, disabled, selected, and the application's and the system's reserved
  // state bits.
  const UIControlState states[] = {UIControlStateNormal,   UIControlStateHighlighted,
                                   UIControlStateDisabled, UIControlStateSelected,
                                   0x00FF0000UL,           0xFF000000UL};
  const long styles[] = {UIBarButtonItemStyleBordered, UIBarButtonItemStyleDone,
                         UIBarButtonItemStylePlain};
  appearance.setTintColor(nullptr);
  appearance.setTitlePositionAdjustment(UIOffsetZero, metrics);
  for (auto state : states) appearance.setTitleTextAttributes({}, state);
  for (auto state : states) {
    appearance.setBackgroundImage(nullptr, state, metrics);
    for (auto style : styles) appearance.setBackgroundImage(nullptr, state, style, metrics);
  }
  appearance.setBackgroundVerticalPositionAdjustment(0, metrics);
  for (auto state : states) appearance.setBackButtonBackgroundImage(nullptr, state, metrics);
  appearance.setBackButtonTitlePositionAdjustment(UIOffsetZero, metrics);
  appearance.setBackButtonBackgroundVerticalPositionAdjustment(0, metrics);
}

std::shared_ptr<KBBarButtonItem> KBBarButtonItem::createSpace(UIBarButtonSystemItem item,
                                                              double width) {
  auto b = std::make_shared<KBBarButtonItem>();
  b->setSystemItem(item);
  b->setWidth(width);
  return b;
}

std::shared_ptr<KBBarButtonItem> KBBarButtonItem::createWithCustomView(
    std::shared_ptr<UIView> view) {
  auto b = std::make_shared<KBBarButtonItem>();
  b->setCustomView(std::move(view));
  return b;
}
