#pragma once
// The screen: 320 x 568 points at scale 2 unless a test or the simulator sets otherwise.

#include <memory>

#include "platform/foundation/NSObject.h"
#include "platform/uikit/CGGeometry.h"

class UIScreen : public NSObject {
  TOVIRA_CLASS(UIScreen)
 public:
  static std::shared_ptr<UIScreen> mainScreen();
  CGRect bounds() const;
  void setBounds(CGRect b);
  CGRect applicationFrame() const;  // bounds less the 20-point status bar
  double scale() const;
  void setScale(double s);
  void reset();  // 320 x 568, scale 2

 private:
  CGRect bounds_{{0, 0}, {320, 568}};
  double scale_ = 2;
};
