#pragma once
// Image views. They do not take touches by default.

#include <memory>

#include "platform/uikit/UIView.h"

class UIImage;

class UIImageView : public UIView {
  TOVIRA_CLASS(UIImageView)
 public:
  UIImageView();
  static std::shared_ptr<UIImageView> create(CGRect frame = CGRectZero);
  static std::shared_ptr<UIImageView> createWithImage(std::shared_ptr<UIImage> image);

  std::shared_ptr<UIImage> image() const { return image_; }
  void setImage(std::shared_ptr<UIImage> image) { image_ = std::move(image); }
  std::shared_ptr<UIImage> highlightedImage() const { return highlightedImage_; }
  void setHighlightedImage(std::shared_ptr<UIImage> i) { highlightedImage_ = std::move(i); }
  CGSize sizeThatFits(CGSize size) const override;  // the image's size

 private:
  std::shared_ptr<UIImage> image_;
  std::shared_ptr<UIImage> highlightedImage_;
};
