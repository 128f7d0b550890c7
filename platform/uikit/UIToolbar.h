#pragma once
// Toolbars: a row of bar button items, laid out left to right (flexible spaces share the spare
// width, fixed spaces take their width, other items their title's width + 20, at least 44) as
// buttons or custom views, so that they can be seen and tapped. When the items are too wide,
// custom views of flexible width shrink to make them fit.

#include <memory>
#include <vector>

#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UIView.h"

class UIButton;

enum UIBarStyle : long { UIBarStyleDefault = 0, UIBarStyleBlack = 1 };

class UIToolbar : public UIView {
  TOVIRA_CLASS(UIToolbar)
 public:
  static std::shared_ptr<UIToolbar> create(CGRect frame = CGRectZero);
  std::vector<std::shared_ptr<UIBarButtonItem>> items() const { return items_; }
  void setItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items, bool animated = false);
  UIBarStyle barStyle() const { return barStyle_; }
  void setBarStyle(UIBarStyle s) { barStyle_ = s; }
  bool isTranslucent() const { return translucent_; }
  void setTranslucent(bool t) { translucent_ = t; }
  std::shared_ptr<UIColor> barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::shared_ptr<UIColor> c) { barTintColor_ = std::move(c); }
  // The view that shows an item (nullptr for spaces).
  std::shared_ptr<UIView> viewForItem(const std::shared_ptr<UIBarButtonItem>& item) const;
  CGSize sizeThatFits(CGSize size) const override;  // 44 high; the screen's width when 0
  void layoutSubviews() override;
  void setFrame(CGRect frame) override;

 private:
  void rebuild();
  std::vector<std::shared_ptr<UIBarButtonItem>> items_;
  std::vector<std::shared_ptr<UIView>> itemViews_;
  std::shared_ptr<UIColor> barTintColor_;
  UIBarStyle barStyle_ = UIBarStyleDefault;
  bool translucent_ = true;
};
