#pragma once
// Table rows. A cell holds a content view with optional text labels and image view; the
// table places cells as its subviews, so they can be seen and tapped.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class UIImageView;
class UILabel;
class UITableView;

enum UITableViewCellStyle : long {
  UITableViewCellStyleDefault = 0,
  UITableViewCellStyleValue1 = 1,
  UITableViewCellStyleValue2 = 2,
  UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellSelectionStyle : long {
  UITableViewCellSelectionStyleNone = 0,
  UITableViewCellSelectionStyleBlue = 1,
  UITableViewCellSelectionStyleGray = 2,
  UITableViewCellSelectionStyleDefault = 3,
};

enum UITableViewCellAccessoryType : long {
  UITableViewCellAccessoryNone = 0,
  UITableViewCellAccessoryDisclosureIndicator = 1,
  UITableViewCellAccessoryDetailDisclosureButton = 2,
  UITableViewCellAccessoryCheckmark = 3,
};

class UITableViewCell : public UIView {
  TOVIRA_CLASS(UITableViewCell)
 public:
  UITableViewCell();
  static std::shared_ptr<UITableViewCell> create(UITableViewCellStyle style,
                                                 const std::string& reuseIdentifier);
  template <class T = UITableViewCell>
  static std::shared_ptr<T> make(UITableViewCellStyle style, const std::string& reuseIdentifier) {
    auto c = std::make_shared<T>();
    c->initWithStyle(style, reuseIdentifier);
    return c;
  }
  // Second phase of construction (after initWithFrame with a 320 x 44 frame).
  virtual void initWithStyle(UITableViewCellStyle style, const std::string& reuseIdentifier);

  const std::string& reuseIdentifier() const { return reuseIdentifier_; }
  UITableViewCellStyle style() const { return style_; }
  std::shared_ptr<UIView> contentView() const { return contentView_; }
  // Made on first use and added to the content view, as the platform does.
  std::shared_ptr<UILabel> textLabel();
  std::shared_ptr<UILabel> detailTextLabel();
  std::shared_ptr<UIImageView> imageView();

  UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
  void setSelectionStyle(UITableViewCellSelectionStyle s) { selectionStyle_ = s; }
  UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
  void setAccessoryType(UITableViewCellAccessoryType t) { accessoryType_ = t; }
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected, bool animated = false);
  std::shared_ptr<UIView> backgroundView() const { return backgroundView_; }
  void setBackgroundView(std::shared_ptr<UIView> v);

  virtual void prepareForReuse() {}
  void layoutSubviews() override;
  void setFrame(CGRect frame) override;

  // The table that shows the cell (nullptr when none).
  std::shared_ptr<UITableView> tableView() const;

 private:
  std::string reuseIdentifier_;
  UITableViewCellStyle style_ = UITableViewCellStyleDefault;
  std::shared_ptr<UIView> contentView_;
  std::shared_ptr<UILabel> textLabel_;
  std::shared_ptr<UILabel> detailTextLabel_;
  std::shared_ptr<UIImageView> imageView_;
  std::shared_ptr<UIView> backgroundView_;
  UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyleDefault;
  UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryNone;
  bool selected_ = false;
};
