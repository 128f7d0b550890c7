#pragma once
// The "返回" button of the app's own screens: a plain text button that dismisses its screen,
// animated. The button holds the screen weakly. Main thread.

#include <memory>

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIViewController.h"

std::shared_ptr<UIButton> makeBackButton(const std::shared_ptr<UIViewController>& screen,
                                         CGRect frame, std::shared_ptr<UIColor> titleColor);
