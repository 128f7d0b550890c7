#pragma once
// The bar-button item of every button, space and group on the keyboard toolbar. Its class
// initialisation clears the class's appearance, so these items never take the app's global
// bar-item appearance.

#include <memory>
#include <string>

#include "platform/uikit/UIBarButtonItem.h"

class KBBarButtonItem : public UIBarButtonItem {
  TOVIRA_CLASS(KBBarButtonItem)
 public:
  KBBarButtonItem() = default;
  // Class initialisation, for this class and each subclass (registered by
  // registerKeyboardClasses): on the class's appearance, clears the tint, the title text
  // attributes and every background image (plain, by style, back button) of each control state,
  // and sets the title and background position adjustments to zero, all for the default
  // metrics.
  static void initialize(const std::string& className);

  // initWithBarButtonSystemItem:target:action: (Done, Cancel, spaces).
  template <class F>
  static std::shared_ptr<KBBarButtonItem> createSystem(UIBarButtonSystemItem item,
                                                       WeakTarget target, F action) {
    auto b = std::make_shared<KBBarButtonItem>();
    b->setSystemItem(item);
    b->setAction(std::move(target), std::move(action));
    return b;
  }
  static std::shared_ptr<KBBarButtonItem> createSpace(UIBarButtonSystemItem item, double width = 0);
  // initWithTitle:style:target:action:
  template <class F>
  static std::shared_ptr<KBBarButtonItem> createWithTitle(const std::string& title,
                                                          UIBarButtonItemStyle style,
                                                          WeakTarget target, F action) {
    auto b = std::make_shared<KBBarButtonItem>();
    b->setTitle(title);
    b->setStyle(style);
    b->setAction(std::move(target), std::move(action));
    return b;
  }
  // initWithImage:style:target:action:
  template <class F>
  static std::shared_ptr<KBBarButtonItem> createWithImage(std::shared_ptr<UIImage> image,
                                                          UIBarButtonItemStyle style,
                                                          WeakTarget target, F action) {
    auto b = std::make_shared<KBBarButtonItem>();
    b->setImage(std::move(image));
    b->setStyle(style);
    b->setAction(std::move(target), std::move(action));
    return b;
  }
  static std::shared_ptr<KBBarButtonItem> createWithCustomView(std::shared_ptr<UIView> view);
};
