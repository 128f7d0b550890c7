#pragma once
// The binding tab and the new-user gift page on screen as a player meets them: a home screen in
// the key window, the tab bar controller presented over it, and the devserver behind the API.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "support/AppFixture.h"

class BindToviraController;
class LibaoViewController;
class TabBarController;
class UILabel;
class UIView;
class UIViewController;
class UIWindow;

class BindFixture : public AppFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A logged-in user "13812345678" holding these (plat_id, username) game accounts.
  static Value user(const std::vector<std::pair<std::string, std::string>>& accounts = {});
  // A game-list reply of these (plat_gameshort, plat_gamename, plat_id) games.
  static Value games(const std::vector<std::vector<std::string>>& rows);
  // Leaves a remembered login, so that the re-login asks the server.
  void rememberLogin();
  // Scripts the re-login's reply with this user.
  void reloginAs(const Value& user);

  // Presents the tab bar controller, switches to the binding tab and answers it, on screen.
  std::shared_ptr<BindToviraController> openBinding();
  // Presents the new-user gift page over the home screen and answers it, loaded.
  std::shared_ptr<LibaoViewController> openGifts();

  // The visible view showing exactly this text; fails the test when missing.
  std::shared_ptr<UIView> shown(const std::string& text);
  // "location+length=rgb(r,g,b)" for each coloured range of the label's attributed text.
  static std::string colouredRanges(const std::shared_ptr<UILabel>& label);
  // The title | message | [buttons] of the current alert, then presses its first button.
  std::string takeAlert();

  std::shared_ptr<UIWindow> window_;
  std::shared_ptr<UIViewController> home_;
  std::shared_ptr<TabBarController> tabs_;
};
