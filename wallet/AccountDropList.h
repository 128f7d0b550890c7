#pragma once
// The drop-down list of the player's bound game accounts, shared by the exchange page and
// the amount popup. Row i (from 0) of the bound-account list stands at y 30 * i, 29 high:
// the platform's 14 x 14 icon at (8, 8) for platforms "1" to "3", the game account at x 30
// (tag 7) and the hidden platform id (tag 8). A 1-point line separates the rows. The list is
// 30 points per account high below 9 accounts and 240 (eight rows, scrolling) from 9 on.
// Main thread only.

#include <functional>
#include <memory>

#include "platform/uikit/CGGeometry.h"

class UIGestureRecognizer;
class UIScrollView;
class UIView;
class Value;

class AccountDropList {
 public:
  // `onRow` runs when a row is tapped, with the row's recognizer (its view is the row).
  // The list owns the recognizers; `onRow` must not hold the list's owner strongly.
  static std::shared_ptr<UIScrollView> create(CGPoint origin, double width, const Value& bondlist,
                                              std::function<void(UIGestureRecognizer&)> onRow);
  // The texts a row carries: the game account (tag 7) and its platform id (tag 8).
  static std::string rowAccount(const std::shared_ptr<UIView>& row);
  static std::string rowPlatId(const std::shared_ptr<UIView>& row);
};
