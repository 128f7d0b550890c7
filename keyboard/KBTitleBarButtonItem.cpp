#include "keyboard/KBTitleBarButtonItem.h"

#include "keyboard/KBKeyboardManagerConstants.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"

std::shared_ptr<KBTitleBarButtonItem> KBTitleBarButtonItem::create(
    CGRect frame, const std::optional<std::string>& title) {
  auto item = std::make_shared<KBTitleBarButtonItem>();
  item->titleView_ = UIView::create(frame);
  item->titleView_->setBackgroundColor(UIColor::clearColor());
  item->titleView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);

  item->titleLabel_ = UILabel::create(item->titleView_->bounds());
  item->titleLabel_->setTextColor(KBIsSystem7OrLater() ? UIColor::lightGrayColor()
                                                       : UIColor::whiteColor());
  item->titleLabel_->setBackgroundColor(UIColor::clearColor());
  item->titleLabel_->setTextAlignment(NSTextAlignmentCenter);
  item->titleLabel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
  item->setTitle(title);
  item->setFont(UIFont::boldSystemFontOfSize(12.0));
  item->titleView_->addSubview(item->titleLabel_);
  item->setCustomView(item->titleView_);
  item->setEnabled(false);
  return item;
}

void KBTitleBarButtonItem::setFont(std::shared_ptr<UIFont> font) {
  font_ = font;
  if (titleLabel_) titleLabel_->setFont(std::move(font));
}

void KBTitleBarButtonItem::setTitle(const std::optional<std::string>& title) {
  UIBarButtonItem::setTitle(title.value_or(""));
  if (titleLabel_) titleLabel_->setText(title.value_or(""));
}
