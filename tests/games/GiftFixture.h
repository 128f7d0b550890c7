#pragma once
// The gift screens as a player meets them: either the tab bar presented over the home screen with
// its gift tab selected, or one game's packages presented over it; the devserver stands behind
// the API.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devserver/DevServer.h"
#include "platform/foundation/Value.h"
#include "support/ScreenFixture.h"

class LibaoController;
class LibaoDuihuanController;
class UIScrollView;
class UIView;

class GiftFixture : public ScreenFixture {
 protected:
  void SetUp() override;

  // A logged-in player ("demo", token "tok123", is_special "0"), also remembered in the local
  // database with autologin, so that the re-login after a redemption finds him.
  void logIn();

  // Replies: a page of `count` games named prefix0, prefix1, ... (platform 3 for every third,
  // else 1); a page of `count` packages with ids prefix0, ...; a page of `count` records.
  static std::string gamesPage(const std::string& prefix, int count);
  static std::string packagesPage(const std::string& prefix, int count);
  static std::string recordsPage(const std::string& prefix, int count);

  // The tab bar over the home screen, its first tab (the shop) loaded, then the gift tab chosen
  // with its bar button and its first page loaded.
  std::shared_ptr<LibaoController> openGiftTab();
  // One game's packages presented over the home screen, with an optional name set before the
  // view loads; the first page loaded.
  std::shared_ptr<LibaoDuihuanController> openPackages(
      const std::optional<std::string>& name = std::nullopt);

  // The gift tab's game-list requests (the shop's carry no "lb").
  std::vector<DevRequest> giftListRequests();

  // Drags the list past its end and lets go, as a player asks for more.
  static void scrollToEnd(const std::shared_ptr<UIScrollView>& scroll);
  // Waits (real time, at most 5 s) until the server has received `count` requests of the api.
  void awaitRequests(const std::string& api, size_t count);

  // The subviews of the list tagged as rows (8).
  static std::vector<std::shared_ptr<UIView>> rows(const std::shared_ptr<UIScrollView>& scroll);
};
