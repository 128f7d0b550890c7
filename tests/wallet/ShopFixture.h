#pragma once
// The shop tab on screen as a player meets it: a home screen in the key window, the tab bar
// controller presented over it (the shop is its first tab), and the devserver behind the API.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "support/AppFixture.h"

class ShopController;
class TabBarController;
class UILabel;
class UIView;
class UIViewController;
class UIWindow;

class ShopFixture : public AppFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A logged-in user with balances, an invitation link and `accounts` bound game accounts
  // ("acct0" on platform 1, "acct1" on platform 3, then alternating).
  static Value user(size_t accounts = 2);
  // Presents the tab bar controller and answers its shop tab, loaded and on screen.
  std::shared_ptr<ShopController> openShop();

  // Presents `screen` modally over a home screen in the key window and answers it, loaded and
  // on screen (for the pages that the player's page and the invitation tab present).
  template <class T>
  std::shared_ptr<T> present(std::shared_ptr<T> screen) {
    presentOverHome(screen);
    return screen;
  }
  void presentOverHome(const std::shared_ptr<UIViewController>& screen);

  // The visible label (or button title) with exactly this text; fails the test when missing.
  std::shared_ptr<UIView> shown(const std::string& text);
  std::shared_ptr<UILabel> shownLabel(const std::string& text);
  // The view inside `root` (the root included) that shows exactly this text; fails when none.
  static std::shared_ptr<UIView> inside(const std::shared_ptr<UIView>& root,
                                        const std::string& text);
  // "location+length=rgb(r,g,b)" for each coloured range of the label's attributed text.
  static std::string colouredRanges(const std::shared_ptr<UILabel>& label);
  // The title | message | [buttons] of the current alert, then presses its first button.
  std::string takeAlert();

  std::shared_ptr<UIWindow> window_;
  std::shared_ptr<UIViewController> home_;
  std::shared_ptr<TabBarController> tabs_;
  std::shared_ptr<ShopController> shop_;
};
