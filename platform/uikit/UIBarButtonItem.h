#pragma once
// Bar button items: a title, an image, a system item or a custom view, with target-action.
// The toolbar shows each item as a button (or its custom view) so that it can be tapped.
//
// Styling (tint, title text attributes, background images and position adjustments, per
// control state, item style and bar metrics) comes from the item itself or from its class's
// appearance (UIBarButtonItem::appearance(), see UIAppearance.h). The appearance is applied
// when the item is first shown on a bar, to what the item has not set itself.

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/foundation/NSObject.h"
#include "platform/uikit/TargetAction.h"

class UIColor;
class UIFont;
class UIImage;
class UIView;

enum UIBarButtonSystemItem : long {
  UIBarButtonSystemItemDone = 0,
  UIBarButtonSystemItemCancel = 1,
  UIBarButtonSystemItemEdit = 2,
  UIBarButtonSystemItemSave = 3,
  UIBarButtonSystemItemAdd = 4,
  UIBarButtonSystemItemFlexibleSpace = 5,
  UIBarButtonSystemItemFixedSpace = 6,
};

enum UIBarButtonItemStyle : long {
  UIBarButtonItemStylePlain = 0,
  UIBarButtonItemStyleBordered = 1,
  UIBarButtonItemStyleDone = 2,
};

enum UIBarMetrics : long { UIBarMetricsDefault = 0, UIBarMetricsCompact = 1 };

using UIControlStateValue = unsigned long;  // the values of UIControlState (UIControl.h)

struct UIOffset {
  double horizontal = 0;
  double vertical = 0;
  bool operator==(const UIOffset&) const = default;
};
inline constexpr UIOffset UIOffsetZero{};

// Text attributes by name (NSForegroundColorAttributeName: a UIColor, NSFontAttributeName: a
// UIFont); empty means none.
using UITextAttributes = std::map<std::string, std::shared_ptr<NSObject>>;

// The appearance proxy of a bar-button item class: what it sets applies to the items of that
// class and its subclasses shown afterwards.
class UIBarButtonItemAppearance {
 public:
  explicit UIBarButtonItemAppearance(std::string className) : className_(std::move(className)) {}
  void setTintColor(std::shared_ptr<UIColor> color);
  void setTitlePositionAdjustment(UIOffset adjustment, UIBarMetrics metrics);
  void setTitleTextAttributes(const UITextAttributes& attributes, UIControlStateValue state);
  void setBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state,
                          UIBarMetrics metrics);
  void setBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state, long style,
                          UIBarMetrics metrics);
  void setBackgroundVerticalPositionAdjustment(double adjustment, UIBarMetrics metrics);
  void setBackButtonBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state,
                                    UIBarMetrics metrics);
  void setBackButtonTitlePositionAdjustment(UIOffset adjustment, UIBarMetrics metrics);
  void setBackButtonBackgroundVerticalPositionAdjustment(double adjustment, UIBarMetrics metrics);

 private:
  std::string className_;
};

class UIBarButtonItem : public NSObject {
  TOVIRA_CLASS(UIBarButtonItem)
 public:
  UIBarButtonItem() = default;
  // initWithTitle:style:target:action:
  template <class F>
  static std::shared_ptr<UIBarButtonItem> create(const std::string& title,
                                                 UIBarButtonItemStyle style, WeakTarget target,
                                                 F action) {
    auto item = std::make_shared<UIBarButtonItem>();
    item->title_ = title;
    item->style_ = style;
    item->setAction(std::move(target), std::move(action));
    return item;
  }
  // initWithBarButtonSystemItem:target:action: ("Done", "Cancel", ... as titles).
  template <class F>
  static std::shared_ptr<UIBarButtonItem> createSystem(UIBarButtonSystemItem item,
                                                       WeakTarget target, F action) {
    auto b = std::make_shared<UIBarButtonItem>();
    b->systemItem_ = item;
    b->isSystem_ = true;
    b->title_ = systemTitle(item);
    b->setAction(std::move(target), std::move(action));
    return b;
  }
  static std::shared_ptr<UIBarButtonItem> createSystem(UIBarButtonSystemItem item);
  // Makes the item show a system item (its title as createSystem gives it), for subclasses
  // that are made first and configured after.
  void setSystemItem(UIBarButtonSystemItem item) {
    systemItem_ = item;
    isSystem_ = true;
    title_ = systemTitle(item);
  }
  static std::shared_ptr<UIBarButtonItem> createWithCustomView(std::shared_ptr<UIView> view);
  // initWithImage:style:target:action:
  template <class F>
  static std::shared_ptr<UIBarButtonItem> createWithImage(std::shared_ptr<UIImage> image,
                                                          UIBarButtonItemStyle style,
                                                          WeakTarget target, F action) {
    auto item = std::make_shared<UIBarButtonItem>();
    item->image_ = std::move(image);
    item->style_ = style;
    item->setAction(std::move(target), std::move(action));
    return item;
  }

  template <class F>
  void setAction(WeakTarget target, F action) {
    target_ = std::move(target);
    action_ = makeSenderAction<UIBarButtonItem>(std::move(action));
  }
  // Calls the action when enabled and the target is alive.
  void sendAction();
  // The view that shows the item on a bar: its custom view, or a button with its title, image,
  // font and tint (`barTint` when the item has none) that sends its action when tapped.
  std::shared_ptr<UIView> makeBarView(const std::shared_ptr<UIColor>& barTint);
  bool hasAction() const { return static_cast<bool>(action_); }
  const void* targetPointer() const { return target_.target.lock().get(); }

  const std::string& title() const { return title_; }
  void setTitle(const std::string& t) { title_ = t; }
  std::shared_ptr<UIImage> image() const { return image_; }
  void setImage(std::shared_ptr<UIImage> i) { image_ = std::move(i); }
  UIBarButtonItemStyle style() const { return style_; }
  void setStyle(UIBarButtonItemStyle s) { style_ = s; }
  bool isSystemItem() const { return isSystem_; }
  UIBarButtonSystemItem systemItem() const { return systemItem_; }
  double width() const { return width_; }
  void setWidth(double w) { width_ = w; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool e) { enabled_ = e; }
  long tag() const { return tag_; }
  void setTag(long t) { tag_ = t; }
  std::shared_ptr<UIView> customView() const { return customView_; }
  void setCustomView(std::shared_ptr<UIView> v) { customView_ = std::move(v); }
  std::shared_ptr<UIColor> tintColor() const { return tintColor_; }
  void setTintColor(std::shared_ptr<UIColor> c) {
    tintColor_ = std::move(c);
    ownStyles_.insert("tintColor");
  }
  std::shared_ptr<UIFont> font() const { return font_; }
  void setFont(std::shared_ptr<UIFont> f) { font_ = std::move(f); }

  static std::string systemTitle(UIBarButtonSystemItem item);

  // The appearance proxy of this class; appearanceForClassName for a class known by name (a
  // class-initialisation hook runs with the name of each subclass).
  static UIBarButtonItemAppearance appearance() {
    return UIBarButtonItemAppearance("UIBarButtonItem");
  }
  static UIBarButtonItemAppearance appearanceForClassName(const std::string& name) {
    return UIBarButtonItemAppearance(name);
  }

  // Styling; each setter also makes the value the item's own (the appearance leaves it).
  UIOffset titlePositionAdjustment(UIBarMetrics metrics) const;
  void setTitlePositionAdjustment(UIOffset adjustment, UIBarMetrics metrics);
  UITextAttributes titleTextAttributes(UIControlStateValue state) const;
  void setTitleTextAttributes(const UITextAttributes& attributes, UIControlStateValue state);
  std::shared_ptr<UIImage> backgroundImage(UIControlStateValue state, UIBarMetrics metrics) const;
  void setBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state,
                          UIBarMetrics metrics);
  std::shared_ptr<UIImage> backgroundImage(UIControlStateValue state, long style,
                                           UIBarMetrics metrics) const;
  void setBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state, long style,
                          UIBarMetrics metrics);
  double backgroundVerticalPositionAdjustment(UIBarMetrics metrics) const;
  void setBackgroundVerticalPositionAdjustment(double adjustment, UIBarMetrics metrics);
  std::shared_ptr<UIImage> backButtonBackgroundImage(UIControlStateValue state,
                                                     UIBarMetrics metrics) const;
  void setBackButtonBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state,
                                    UIBarMetrics metrics);
  UIOffset backButtonTitlePositionAdjustment(UIBarMetrics metrics) const;
  void setBackButtonTitlePositionAdjustment(UIOffset adjustment, UIBarMetrics metrics);
  double backButtonBackgroundVerticalPositionAdjustment(UIBarMetrics metrics) const;
  void setBackButtonBackgroundVerticalPositionAdjustment(double adjustment, UIBarMetrics metrics);

  // Takes the class's appearance for what the item has not set itself; once, when the item is
  // first shown (makeBarView calls it).
  void applyAppearance();

  // Made from an archived interface: "UITitle", "UIStyle", "UITag", "UIEnabled" (YES when
  // absent) and, when present, "UISystemItem".
  void initWithCoder(const NSCoder& coder) override;

 private:
  template <class T>
  T styled(const std::string& key) const {
    auto it = styles_.find(key);
    if (it == styles_.end()) return T{};
    const T* value = std::any_cast<T>(&it->second);
    return value ? *value : T{};
  }
  void setStyled(const std::string& key, std::any value) {
    styles_[key] = std::move(value);
    ownStyles_.insert(key);
  }
  std::map<std::string, std::any> styles_;  // by appearance key
  std::set<std::string> ownStyles_;         // keys the item set itself
  bool appearanceApplied_ = false;

  WeakTarget target_;
  std::function<void(UIBarButtonItem&)> action_;
  std::string title_;
  std::shared_ptr<UIImage> image_;
  std::shared_ptr<UIView> customView_;
  std::shared_ptr<UIColor> tintColor_;
  std::shared_ptr<UIFont> font_;
  UIBarButtonItemStyle style_ = UIBarButtonItemStylePlain;
  UIBarButtonSystemItem systemItem_ = UIBarButtonSystemItemDone;
  double width_ = 0;
  long tag_ = 0;
  bool isSystem_ = false;
  bool enabled_ = true;
};
