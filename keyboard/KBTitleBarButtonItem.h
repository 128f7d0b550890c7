#pragma once
// The disabled item in the middle of the keyboard toolbar that shows the field's placeholder
// as a centred title.

#include <memory>
#include <optional>
#include <string>

#include "keyboard/KBBarButtonItem.h"
#include "platform/uikit/CGGeometry.h"

class UIFont;
class UILabel;
class UIView;

class KBTitleBarButtonItem : public KBBarButtonItem {
  TOVIRA_CLASS(KBTitleBarButtonItem)
 public:
  // initWithFrame:title: (no title: nullopt).
  static std::shared_ptr<KBTitleBarButtonItem> create(CGRect frame,
                                                      const std::optional<std::string>& title);

  std::shared_ptr<UIView> titleView() const { return titleView_; }
  std::shared_ptr<UILabel> titleLabel() const { return titleLabel_; }
  std::shared_ptr<UIFont> font() const { return font_; }
  void setFont(std::shared_ptr<UIFont> font);
  // The item's title and the label's text; nullopt clears both.
  void setTitle(const std::optional<std::string>& title);

 private:
  std::shared_ptr<UIView> titleView_;
  std::shared_ptr<UILabel> titleLabel_;
  std::shared_ptr<UIFont> font_;
};
