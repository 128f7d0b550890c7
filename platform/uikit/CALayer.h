#pragma once
// The drawing attributes of a view that the app sets on its layer. Owned by its view.

#include <memory>
#include <vector>

#include "platform/foundation/NSObject.h"

class UIColor;
class UIView;

class CALayer : public NSObject {
  TOVIRA_CLASS(CALayer)
 public:
  explicit CALayer(UIView* owner) : owner_(owner) {}
  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double r) { cornerRadius_ = r; }
  double borderWidth() const { return borderWidth_; }
  void setBorderWidth(double w) { borderWidth_ = w; }
  std::shared_ptr<UIColor> borderColor() const { return borderColor_; }
  void setBorderColor(std::shared_ptr<UIColor> c) { borderColor_ = std::move(c); }
  // Dash and gap lengths of the border, alternating; empty for a solid border.
  const std::vector<double>& lineDashPattern() const { return lineDashPattern_; }
  void setLineDashPattern(std::vector<double> pattern) { lineDashPattern_ = std::move(pattern); }
  // The same flag as the view's clipsToBounds.
  bool masksToBounds() const;
  void setMasksToBounds(bool m);
  double opacity() const;  // the view's alpha
  void setOpacity(double o);

 private:
  UIView* owner_;  // the view owns the layer; never outlives it
  double cornerRadius_ = 0;
  double borderWidth_ = 0;
  std::shared_ptr<UIColor> borderColor_;
  std::vector<double> lineDashPattern_;
};
