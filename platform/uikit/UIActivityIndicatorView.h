#pragma once
// Spinners: animating or not; hidden while stopped when hidesWhenStopped (the default).

#include <memory>

#include "platform/uikit/UIView.h"

enum UIActivityIndicatorViewStyle : long {
  UIActivityIndicatorViewStyleWhiteLarge = 0,
  UIActivityIndicatorViewStyleWhite = 1,
  UIActivityIndicatorViewStyleGray = 2,
};

class UIActivityIndicatorView : public UIView {
  TOVIRA_CLASS(UIActivityIndicatorView)
 public:
  UIActivityIndicatorView();
  // initWithActivityIndicatorStyle: (20 x 20, or 37 x 37 for the large style; hidden).
  static std::shared_ptr<UIActivityIndicatorView> create(UIActivityIndicatorViewStyle style);
  UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
  void setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle s) { style_ = s; }
  std::shared_ptr<UIColor> color() const { return color_; }
  void setColor(std::shared_ptr<UIColor> c) { color_ = std::move(c); }
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool h);
  void startAnimating();
  void stopAnimating();
  bool isAnimating() const { return animating_; }

 private:
  UIActivityIndicatorViewStyle style_ = UIActivityIndicatorViewStyleWhite;
  std::shared_ptr<UIColor> color_;
  bool hidesWhenStopped_ = true;
  bool animating_ = false;
};
