#pragma once
// Toolbars: a row of bar button items, laid out left to right (flexible spaces share the spare
// width, fixed spaces take their width, other items their title's width + 20, at least 44) as
// buttons or custom views, so that they can be seen and tapped. When the items are too wide,
// custom views of flexible width shrink to make them fit.
//
// A new toolbar takes its class's appearance (UIToolbar::appearance(), see UIAppearance.h)
// when it is initialised, before a subclass's own set-up, which may then change it.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UIView.h"

class UIButton;

enum UIBarStyle : long { UIBarStyleDefault = 0, UIBarStyleBlack = 1 };

enum UIBarPosition : long {
  UIBarPositionAny = 0,
  UIBarPositionBottom = 1,
  UIBarPositionTop = 2,
  UIBarPositionTopAttached = 3,
};

// The appearance proxy of a toolbar class: what it sets applies to the toolbars of that class
// and its subclasses made afterwards.
class UIToolbarAppearance {
 public:
  explicit UIToolbarAppearance(std::string className) : className_(std::move(className)) {}
  void setTintColor(std::shared_ptr<UIColor> color);
  void setBarTintColor(std::shared_ptr<UIColor> color);
  void setBackgroundColor(std::shared_ptr<UIColor> color);
  void setBarStyle(UIBarStyle style);
  void setTranslucent(bool translucent);
  void setBackgroundImage(std::shared_ptr<UIImage> image, UIBarPosition position,
                          UIBarMetrics metrics);
  void setShadowImage(std::shared_ptr<UIImage> image, UIBarPosition position);

 private:
  std::string className_;
};

class UIToolbar : public UIView {
  TOVIRA_CLASS(UIToolbar)
 public:
  static std::shared_ptr<UIToolbar> create(CGRect frame = CGRectZero);
  // Both take the class's appearance after the view's own initialisation.
  void initWithFrame(CGRect frame) override;
  // Made from an archived interface: also "UIBarStyle", "UITranslucent" and the items
  // ("UIItems", in order).
  void initWithCoder(const NSCoder& coder) override;
  // The appearance proxy of this class; appearanceForClassName for a class known by name (a
  // class-initialisation hook runs with the name of each subclass).
  static UIToolbarAppearance appearance() { return UIToolbarAppearance("UIToolbar"); }
  static UIToolbarAppearance appearanceForClassName(const std::string& name) {
    return UIToolbarAppearance(name);
  }
  std::vector<std::shared_ptr<UIBarButtonItem>> items() const { return items_; }
  void setItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items, bool animated = false);
  UIBarStyle barStyle() const { return barStyle_; }
  void setBarStyle(UIBarStyle s) { barStyle_ = s; }
  bool isTranslucent() const { return translucent_; }
  void setTranslucent(bool t) { translucent_ = t; }
  std::shared_ptr<UIColor> barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::shared_ptr<UIColor> c) { barTintColor_ = std::move(c); }
  std::shared_ptr<UIImage> backgroundImageForToolbarPosition(UIBarPosition position,
                                                             UIBarMetrics metrics) const;
  void setBackgroundImage(std::shared_ptr<UIImage> image, UIBarPosition position,
                          UIBarMetrics metrics);
  std::shared_ptr<UIImage> shadowImageForToolbarPosition(UIBarPosition position) const;
  void setShadowImage(std::shared_ptr<UIImage> image, UIBarPosition position);
  // The view that shows an item (nullptr for spaces).
  std::shared_ptr<UIView> viewForItem(const std::shared_ptr<UIBarButtonItem>& item) const;
  CGSize sizeThatFits(CGSize size) const override;  // 44 high; the screen's width when 0
  void layoutSubviews() override;
  void setFrame(CGRect frame) override;

 private:
  void applyAppearance();
  void rebuild();
  std::map<std::string, std::shared_ptr<UIImage>> images_;  // by appearance key
  std::vector<std::shared_ptr<UIBarButtonItem>> items_;
  std::vector<std::shared_ptr<UIView>> itemViews_;
  std::shared_ptr<UIColor> barTintColor_;
  UIBarStyle barStyle_ = UIBarStyleDefault;
  bool translucent_ = true;
};
