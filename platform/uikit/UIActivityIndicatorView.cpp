#include "platform/uikit/UIActivityIndicatorView.h"

UIActivityIndicatorView::UIActivityIndicatorView() { setHidden(true); }

std::shared_ptr<UIActivityIndicatorView> UIActivityIndicatorView::create(
    UIActivityIndicatorViewStyle style) {
  double side = style == UIActivityIndicatorViewStyleWhiteLarge ? 37 : 20;
  auto v = make<UIActivityIndicatorView>(CGRectMake(0, 0, side, side));
  v->style_ = style;
  return v;
}

void UIActivityIndicatorView::setHidesWhenStopped(bool h) {
  hidesWhenStopped_ = h;
  setHidden(h && !animating_);
}

void UIActivityIndicatorView::startAnimating() {
  animating_ = true;
  setHidden(false);
}

void UIActivityIndicatorView::stopAnimating() {
  animating_ = false;
  if (hidesWhenStopped_) setHidden(true);
}
