#include "platform/uikit/UISearchBar.h"

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UITextField.h"

std::shared_ptr<UISearchBar> UISearchBar::create(CGRect frame) { return make<UISearchBar>(frame); }

void UISearchBar::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  setBackgroundColor(UIColor::rgb(201, 201, 206));
  field_ = UITextField::create();
  field_->setBackgroundColor(UIColor::whiteColor());
  field_->setBorderStyle(UITextBorderStyleRoundedRect);
  addSubview(field_);
  layoutSubviews();
}

std::string UISearchBar::text() const { return field_ ? field_->text() : ""; }
void UISearchBar::setText(const std::string& t) {
  if (field_) field_->setText(t);
}
std::string UISearchBar::placeholder() const { return field_ ? field_->placeholder() : ""; }
void UISearchBar::setPlaceholder(const std::string& p) {
  if (field_) field_->setPlaceholder(p);
}

void UISearchBar::layoutSubviews() {
  if (field_) field_->setFrame(CGRectInset(bounds(), 8, 7));
}
