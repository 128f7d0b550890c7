#include "platform/uikit/UINavigationItem.h"

#include "platform/uikit/UINavigationController.h"

void UINavigationItem::setTitle(const std::string& t) {
  title_ = t;
  changed();
}

void UINavigationItem::setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool) {
  left_ = std::move(item);
  changed();
}

void UINavigationItem::setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool) {
  right_ = std::move(item);
  changed();
}

void UINavigationItem::setHidesBackButton(bool h) {
  hidesBackButton_ = h;
  changed();
}

void UINavigationItem::changed() {
  if (auto bar = bar_.lock()) bar->itemChanged();
}
