#include "keyboard/KBToolbar.h"

#include "keyboard/KBKeyboardManagerConstants.h"
#include "keyboard/KBTitleBarButtonItem.h"
#include "platform/uikit/UIColor.h"

std::shared_ptr<KBToolbar> KBToolbar::create() { return UIView::make<KBToolbar>(CGRectZero); }

void KBToolbar::initialize(const std::string& className) {
  auto appearance = UIToolbar::appearanceForClassName(className);
  appearance.setTintColor(nullptr);
  appearance.setBarTintColor(nullptr);  // every toolbar proxy here takes a bar tint
  for (long position = UIBarPositionAny; position <= UIBarPositionTopAttached; ++position) {
    appearance.setBackgroundImage(nullptr, static_cast<UIBarPosition>(position),
                                  UIBarMetricsDefault);
  }
  for (long position = UIBarPositionAny; position <= UIBarPositionTopAttached; ++position)
    appearance.setShadowImage(nullptr, static_cast<UIBarPosition>(position));
  appearance.setBackgroundColor(nullptr);
}

void KBToolbar::initWithFrame(CGRect frame) {
  UIToolbar::initWithFrame(frame);
  initialize();
}

void KBToolbar::initWithCoder(const NSCoder& coder) {
  UIToolbar::initWithCoder(coder);
  initialize();
}

void KBToolbar::initialize() {
  sizeToFit();
  setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
  setTranslucent(true);
  if (KBIsSystem7OrLater()) {
    setTintColor(UIColor::blackColor());
  } else {
    setBarStyle(static_cast<UIBarStyle>(2));  // black translucent
  }
}

CGSize KBToolbar::sizeThatFits(CGSize size) const {
  return CGSize{UIToolbar::sizeThatFits(size).width, 44.0};
}

void KBToolbar::setTintColor(std::shared_ptr<UIColor> color) {
  UIView::setTintColor(color);
  auto all = items();
  for (auto& item : all) item->setTintColor(color);
  if (!all.empty()) setItems(all);  // the item views are built with the tint
}

void KBToolbar::setTitleFont(std::shared_ptr<UIFont> font) {
  titleFont_ = font;
  for (auto& item : items())
    if (auto title = std::dynamic_pointer_cast<KBTitleBarButtonItem>(item)) title->setFont(font);
}

void KBToolbar::setTitle(const std::optional<std::string>& title) {
  title_ = title;
  for (auto& item : items())
    if (auto titleItem = std::dynamic_pointer_cast<KBTitleBarButtonItem>(item))
      titleItem->setTitle(title);
}
