#pragma once
// What a controller shows in the navigation bar while it is on top of a navigation stack: a
// title and optional left and right bar button items. The bar shows changes at once.

#include <memory>
#include <string>

#include "platform/foundation/NSObject.h"

class UIBarButtonItem;
class UINavigationBar;

class UINavigationItem : public NSObject {
  TOVIRA_CLASS(UINavigationItem)
 public:
  static std::shared_ptr<UINavigationItem> create(const std::string& title = "") {
    auto item = std::make_shared<UINavigationItem>();
    item->title_ = title;
    return item;
  }
  const std::string& title() const { return title_; }
  void setTitle(const std::string& t);
  std::shared_ptr<UIBarButtonItem> leftBarButtonItem() const { return left_; }
  void setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool animated = false);
  std::shared_ptr<UIBarButtonItem> rightBarButtonItem() const { return right_; }
  void setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool animated = false);
  bool hidesBackButton() const { return hidesBackButton_; }
  void setHidesBackButton(bool h);

 private:
  friend class UINavigationBar;
  void changed();
  std::string title_;
  std::shared_ptr<UIBarButtonItem> left_;
  std::shared_ptr<UIBarButtonItem> right_;
  std::weak_ptr<UINavigationBar> bar_;  // the bar showing this item, if any
  bool hidesBackButton_ = false;
};
