#pragma once
// Values shared by the keyboard manager's classes.

#include <cmath>

#include "platform/uikit/UIDevice.h"

// Tags of the bars that the manager installs: a lone field's Done bar, and a Previous/Next/Done
// bar of a field with neighbours. Any other accessory view is the host's and left alone.
inline constexpr long kKBDoneButtonToolbarTag = -1002;
inline constexpr long kKBPreviousNextButtonToolbarTag = -1005;

// The toolbar's manage behaviour: how sibling fields are ordered.
enum KBAutoToolbarManageBehaviour : long {
  KBAutoToolbarBySubviews = 0,
  KBAutoToolbarByTag = 1,
  KBAutoToolbarByPosition = 2,
};

// System-version tests on the whole number at or below NSFoundationVersionNumber.
inline bool KBIsSystem7OrLater() { return std::floor(NSFoundationVersionNumber()) > 993.0; }
inline bool KBIsSystem8OrLater() { return std::floor(NSFoundationVersionNumber()) > 1047.25; }
