#include "platform/uikit/UIBarButtonItem.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
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

std::shared_ptr<UIView> UIBarButtonItem::makeBarView(const std::shared_ptr<UIColor>& barTint) {
  if (auto custom = customView()) return custom;
  auto button = UIButton::buttonWithType(UIButtonTypeSystem);
  button->setTitle(title());
  if (image()) button->setImage(image());
  if (font()) button->titleLabel()->setFont(font());
  button->setTitleColor(tintColor() ? tintColor() : barTint);
  button->setEnabled(isEnabled());
  std::weak_ptr<NSObject> weakItem = weak_from_this();
  button->addTarget(
      nullptr,
      [weakItem] {
        if (auto i = weakItem.lock()) static_cast<UIBarButtonItem&>(*i).sendAction();
      },
      UIControlEventTouchUpInside);
  return button;
}
