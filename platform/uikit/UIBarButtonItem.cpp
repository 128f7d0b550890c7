#include "platform/uikit/UIBarButtonItem.h"

#include "platform/uikit/UIView.h"

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::createSystem(UIBarButtonSystemItem item) {
  return createSystem(item, nullptr, [] {});
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::createWithCustomView(
    std::shared_ptr<UIView> view) {
  auto item = std::make_shared<UIBarButtonItem>();
  item->customView_ = std::move(view);
  return item;
}

void UIBarButtonItem::sendAction() {
  auto keep = std::static_pointer_cast<UIBarButtonItem>(shared_from_this());
  if (!enabled_ || !action_ || !target_.alive()) return;
  auto action = action_;  // the action may replace itself
  action(*this);
}

std::string UIBarButtonItem::systemTitle(UIBarButtonSystemItem item) {
  switch (item) {
    case UIBarButtonSystemItemDone:
      return "Done";
    case UIBarButtonSystemItemCancel:
      return "Cancel";
    case UIBarButtonSystemItemEdit:
      return "Edit";
    case UIBarButtonSystemItemSave:
      return "Save";
    case UIBarButtonSystemItemAdd:
      return "+";
    default:
      return "";
  }
}
