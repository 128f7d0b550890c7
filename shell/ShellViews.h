#pragma once
// Views that the shell's own minimal screens (home, game centre, timetable) share: the green
// title bar and the rounded entry buttons. Main thread.

#include <memory>
#include <string>

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIView.h"

// A rounded button with a white title on `colour`; fontSize 0 keeps the button's own font.
std::shared_ptr<UIButton> makeEntryButton(const std::string& title, CGRect frame,
                                          std::shared_ptr<UIColor> colour, double fontSize = 0);

// The app's green bar, 44 points high under the status bar, with `title` centred in
// `titleFrame` (bar coordinates). The caller adds a back button where the screen has one.
std::shared_ptr<UIView> makeTitleBar(double width, const std::string& title, CGRect titleFrame);
