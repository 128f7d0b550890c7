#include "platform/uikit/UIImageView.h"

#include "platform/uikit/UIImage.h"

UIImageView::UIImageView() { setUserInteractionEnabled(false); }

std::shared_ptr<UIImageView> UIImageView::create(CGRect frame) { return make<UIImageView>(frame); }

std::shared_ptr<UIImageView> UIImageView::createWithImage(std::shared_ptr<UIImage> image) {
  CGSize s = image ? image->size() : CGSizeZero;
  auto v = make<UIImageView>(CGRect{{0, 0}, s});
  v->setImage(std::move(image));
  return v;
}

CGSize UIImageView::sizeThatFits(CGSize) const { return image_ ? image_->size() : CGSizeZero; }
