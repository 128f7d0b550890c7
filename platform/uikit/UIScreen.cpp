#include "platform/uikit/UIScreen.h"

std::shared_ptr<UIScreen> UIScreen::mainScreen() {
  static const auto screen = std::make_shared<UIScreen>();
  return screen;
}

// Screen values are set by the test or simulator before the UI is built and read from the
// main thread; they are plain fields.
CGRect UIScreen::bounds() const { return bounds_; }
void UIScreen::setBounds(CGRect b) { bounds_ = b; }
CGRect UIScreen::applicationFrame() const {
  return CGRectMake(0, 20, bounds_.size.width, bounds_.size.height - 20);
}
double UIScreen::scale() const { return scale_; }
void UIScreen::setScale(double s) { scale_ = s > 0 ? s : 1; }
void UIScreen::reset() {
  bounds_ = CGRectMake(0, 0, 320, 568);
  scale_ = 2;
}
