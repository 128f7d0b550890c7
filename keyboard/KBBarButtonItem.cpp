#include "keyboard/KBBarButtonItem.h"

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
