#include "platform/uikit/UIColor.h"

#include <cmath>
#include <cstdio>

#include "platform/uikit/CGGeometry.h"

UIColor::UIColor(double r, double g, double b, double a) : r_(r), g_(g), b_(b), a_(a) {}

std::shared_ptr<UIColor> UIColor::colorWithRed(double r, double g, double b, double a) {
  return std::make_shared<UIColor>(r, g, b, a);
}

std::shared_ptr<UIColor> UIColor::colorWithWhite(double white, double alpha) {
  return std::make_shared<UIColor>(white, white, white, alpha);
}

std::shared_ptr<UIColor> UIColor::rgb(int r, int g, int b, double alpha) {
  return std::make_shared<UIColor>(r / 255.0, g / 255.0, b / 255.0, alpha);
}

std::shared_ptr<UIColor> UIColor::whiteColor() { return colorWithWhite(1, 1); }
std::shared_ptr<UIColor> UIColor::blackColor() { return colorWithWhite(0, 1); }
std::shared_ptr<UIColor> UIColor::grayColor() { return colorWithWhite(0.5, 1); }
std::shared_ptr<UIColor> UIColor::lightGrayColor() { return colorWithWhite(2.0 / 3.0, 1); }
std::shared_ptr<UIColor> UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }
std::shared_ptr<UIColor> UIColor::clearColor() { return colorWithWhite(0, 0); }
std::shared_ptr<UIColor> UIColor::redColor() { return colorWithRed(1, 0, 0, 1); }
std::shared_ptr<UIColor> UIColor::greenColor() { return colorWithRed(0, 1, 0, 1); }
std::shared_ptr<UIColor> UIColor::blueColor() { return colorWithRed(0, 0, 1, 1); }
std::shared_ptr<UIColor> UIColor::yellowColor() { return colorWithRed(1, 1, 0, 1); }
std::shared_ptr<UIColor> UIColor::orangeColor() { return colorWithRed(1, 0.5, 0, 1); }

static int to255(double v) {
  long n = std::lround(v * 255.0);
  return n < 0 ? 0 : (n > 255 ? 255 : static_cast<int>(n));
}

int UIColor::red255() const { return to255(r_); }
int UIColor::green255() const { return to255(g_); }
int UIColor::blue255() const { return to255(b_); }

std::shared_ptr<UIColor> UIColor::colorWithAlphaComponent(double alpha) const {
  return colorWithRed(r_, g_, b_, alpha);
}

bool UIColor::isEqual(const UIColor& o) const {
  auto same = [](double a, double b) { return std::fabs(a - b) < 1e-9; };
  return same(r_, o.r_) && same(g_, o.g_) && same(b_, o.b_) && same(a_, o.a_);
}

std::string UIColor::description() const {
  char buf[96];
  if (std::fabs(a_ - 1.0) < 1e-9) {
    std::snprintf(buf, sizeof buf, "rgb(%d,%d,%d)", red255(), green255(), blue255());
  } else {
    std::snprintf(buf, sizeof buf, "rgba(%d,%d,%d,%s)", red255(), green255(), blue255(),
                  CGNumberDescription(a_).c_str());
  }
  return buf;
}

bool UIColorEqual(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
  if (!a || !b) return !a && !b;
  return a->isEqual(*b);
}
