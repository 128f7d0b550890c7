#include "platform/uikit/UITableViewCell.h"

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITableView.h"

UITableViewCell::UITableViewCell() = default;

std::shared_ptr<UITableViewCell> UITableViewCell::create(UITableViewCellStyle style,
                                                         const std::string& reuseIdentifier) {
  return make<UITableViewCell>(style, reuseIdentifier);
}

void UITableViewCell::initWithStyle(UITableViewCellStyle style,
                                    const std::string& reuseIdentifier) {
  initWithFrame(CGRectMake(0, 0, 320, 44));
  style_ = style;
  reuseIdentifier_ = reuseIdentifier;
  setBackgroundColor(UIColor::whiteColor());
  contentView_ = UIView::create(bounds());
  addSubview(contentView_);
}

std::shared_ptr<UILabel> UITableViewCell::textLabel() {
  if (!textLabel_ && contentView_) {
    textLabel_ = UILabel::create();
    textLabel_->setFont(UIFont::boldSystemFontOfSize(18));
    contentView_->addSubview(textLabel_);
    setNeedsLayout();
    layoutSubviews();
  }
  return textLabel_;
}

std::shared_ptr<UILabel> UITableViewCell::detailTextLabel() {
  if (!detailTextLabel_ && contentView_ && style_ != UITableViewCellStyleDefault) {
    detailTextLabel_ = UILabel::create();
    detailTextLabel_->setFont(UIFont::systemFontOfSize(14));
    detailTextLabel_->setTextColor(UIColor::grayColor());
    contentView_->addSubview(detailTextLabel_);
    layoutSubviews();
  }
  return detailTextLabel_;
}

std::shared_ptr<UIImageView> UITableViewCell::imageView() {
  if (!imageView_ && contentView_) {
    imageView_ = UIImageView::create();
    contentView_->insertSubview(imageView_, 0);
    layoutSubviews();
  }
  return imageView_;
}

void UITableViewCell::setSelected(bool selected, bool) { selected_ = selected; }

void UITableViewCell::setBackgroundView(std::shared_ptr<UIView> v) {
  if (backgroundView_) backgroundView_->removeFromSuperview();
  backgroundView_ = std::move(v);
  if (backgroundView_) {
    backgroundView_->setFrame(bounds());
    insertSubview(backgroundView_, 0);
  }
}

void UITableViewCell::setFrame(CGRect frame) {
  UIView::setFrame(frame);
  layoutSubviews();
}

void UITableViewCell::layoutSubviews() {
  if (!contentView_) return;
  CGRect b = bounds();
  contentView_->setFrame(b);
  if (backgroundView_) backgroundView_->setFrame(b);
  double x = 15;
  if (imageView_ && imageView_->image()) {
    CGSize s = imageView_->image()->size();
    imageView_->setFrame(CGRectMake(15, (b.size.height - s.height) / 2, s.width, s.height));
    x = 15 + s.width + 15;
  }
  double w = b.size.width - x - 15;
  if (textLabel_) {
    if (style_ == UITableViewCellStyleSubtitle && detailTextLabel_) {
      textLabel_->setFrame(CGRectMake(x, b.size.height / 2 - 20, w, 22));
    } else {
      textLabel_->setFrame(CGRectMake(x, 0, w, b.size.height));
    }
  }
  if (detailTextLabel_) {
    if (style_ == UITableViewCellStyleSubtitle) {
      detailTextLabel_->setFrame(CGRectMake(x, b.size.height / 2 + 2, w, 18));
    } else {
      detailTextLabel_->setFrame(CGRectMake(x, 0, w, b.size.height));
      detailTextLabel_->setTextAlignment(NSTextAlignmentRight);
    }
  }
}

std::shared_ptr<UITableView> UITableViewCell::tableView() const {
  for (auto v = superview(); v; v = v->superview()) {
    if (auto t = std::dynamic_pointer_cast<UITableView>(v)) return t;
  }
  return nullptr;
}
