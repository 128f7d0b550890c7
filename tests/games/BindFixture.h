#pragma once
// The binding tab and the new-user gift page on screen as a player meets them: the tab bar
// controller presented over the home screen, and the devserver behind the API.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "support/ScreenFixture.h"

class BindToviraController;
class LibaoViewController;

class BindFixture : public ScreenFixture {
 protected:
  void SetUp() override;

  // A logged-in user "13812345678" holding these (plat_id, username) game accounts.
  static Value user(const std::vector<std::pair<std::string, std::string>>& accounts = {});
  // A game-list reply of these (plat_gameshort, plat_gamename, plat_id) games.
  static Value games(const std::vector<std::vector<std::string>>& rows);
  // Leaves the user's login remembered, so that the re-login asks the server.
  static void rememberLogin() { AppFixture::rememberLogin("13812345678", "app123"); }
  // Scripts the re-login's reply with this user.
  void reloginAs(const Value& user);

  // Presents the tab bar controller, switches to the binding tab and answers it, on screen.
  std::shared_ptr<BindToviraController> openBinding();
  // Presents the new-user gift page over the home screen and answers it, loaded.
  std::shared_ptr<LibaoViewController> openGifts();
};
