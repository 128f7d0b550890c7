#pragma once
// Colours with exact components. Components are stored as given (0..1); the 0-255 accessors
// round. Immutable once made, so one instance may be shared by any number of views.

#include <memory>
#include <string>

#include "platform/foundation/NSObject.h"

class UIColor : public NSObject {
  TOVIRA_CLASS(UIColor)
 public:
  UIColor(double r, double g, double b, double a);

  static std::shared_ptr<UIColor> colorWithRed(double r, double g, double b, double a);
  static std::shared_ptr<UIColor> colorWithWhite(double white, double alpha);
  // Components from 0 to 255, alpha from 0 to 1: rgb(81,158,19).
  static std::shared_ptr<UIColor> rgb(int r, int g, int b, double alpha = 1.0);

  static std::shared_ptr<UIColor> whiteColor();
  static std::shared_ptr<UIColor> blackColor();
  static std::shared_ptr<UIColor> grayColor();       // white 0.5
  static std::shared_ptr<UIColor> lightGrayColor();  // white 2/3
  static std::shared_ptr<UIColor> darkGrayColor();   // white 1/3
  static std::shared_ptr<UIColor> clearColor();      // black at alpha 0
  static std::shared_ptr<UIColor> redColor();
  static std::shared_ptr<UIColor> greenColor();
  static std::shared_ptr<UIColor> blueColor();
  static std::shared_ptr<UIColor> yellowColor();
  static std::shared_ptr<UIColor> orangeColor();

  double red() const { return r_; }
  double green() const { return g_; }
  double blue() const { return b_; }
  double alpha() const { return a_; }
  int red255() const;
  int green255() const;
  int blue255() const;

  std::shared_ptr<UIColor> colorWithAlphaComponent(double alpha) const;
  bool isEqual(const UIColor& other) const;
  // "rgb(81,158,19)", or "rgba(0,0,0,0.5)" when alpha is not 1.
  std::string description() const override;

 private:
  double r_, g_, b_, a_;
};

// Null-safe equality of two colour pointers (two nulls are equal).
bool UIColorEqual(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b);
