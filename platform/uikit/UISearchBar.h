#pragma once
// Search bars: a text field inside a 44-high bar.

#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class UITextField;

class UISearchBar : public UIView {
  TOVIRA_CLASS(UISearchBar)
 public:
  static std::shared_ptr<UISearchBar> create(CGRect frame = CGRectZero);
  void initWithFrame(CGRect frame) override;
  std::string text() const;
  void setText(const std::string& t);
  std::string placeholder() const;
  void setPlaceholder(const std::string& p);
  std::shared_ptr<UITextField> searchField() const { return field_; }
  void layoutSubviews() override;

 private:
  std::shared_ptr<UITextField> field_;
};
