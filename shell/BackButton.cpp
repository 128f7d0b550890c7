#include "shell/BackButton.h"

std::shared_ptr<UIButton> makeBackButton(const std::shared_ptr<UIViewController>& screen,
                                         CGRect frame, std::shared_ptr<UIColor> titleColor) {
  auto button = UIButton::buttonWithType(UIButtonTypeCustom);
  button->setFrame(frame);
  button->setTitle("返回");
  button->setTitleColor(std::move(titleColor));
  std::weak_ptr<UIViewController> weakScreen = screen;
  button->addTarget(
      weakScreen,
      [weakScreen] {
        if (auto self = weakScreen.lock()) self->dismissViewControllerAnimated(true);
      },
      UIControlEventTouchUpInside);
  return button;
}
