#pragma once
// The shop tab on screen as a player meets it: the tab bar controller presented over the home
// screen (the shop is its first tab), and the devserver behind the API. Every wallet test sets
// the logged-in user in TempData and drives the screens through Automation.

#include <memory>
#include <string>

#include "core/TempData.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/Value.h"
#include "support/ScreenFixture.h"

class ShopController;
class UIViewController;

class ShopFixture : public ScreenFixture {
 protected:
  void TearDown() override;

  // A logged-in user with balances, an invitation link and `accounts` bound game accounts
  // ("acct0" on platform 1, "acct1" on platform 3, then alternating).
  static Value user(size_t accounts = 2);
  // Presents the tab bar controller and answers its shop tab, loaded and on screen.
  std::shared_ptr<ShopController> openShop();

  std::shared_ptr<ShopController> shop_;
};
