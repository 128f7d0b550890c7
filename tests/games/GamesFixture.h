#pragma once
// The games' screens as a player meets them, the devserver behind the API: the binding tab and
// the new-user gift page, the gift tab with one game's packages and the records, and the
// invitation tab with its share sheet.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "devserver/DevServer.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/CGGeometry.h"
#include "support/ScreenFixture.h"

class BindToviraController;
class LibaoController;
class LibaoDuihuanController;
class LibaoViewController;
class UIImage;
class UIScrollView;
class UIView;
class YaoqingController;

class GamesFixture : public ScreenFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Taps the view (at its centre) or the window point as a player does, then lets the app finish
  // what the tap started.
  void tapAndWait(const std::shared_ptr<UIView>& view);
  void tapAndWait(CGPoint windowPoint);

  // ---- Binding and the new-user gifts

  // A logged-in user "13812345678" holding these (plat_id, username) game accounts.
  static Value user(const std::vector<std::pair<std::string, std::string>>& accounts = {});
  // A game-list reply of these (plat_gameshort, plat_gamename, plat_id) games.
  static Value games(const std::vector<std::vector<std::string>>& rows);
  // Leaves that user's login remembered, so that the re-login asks the server.
  static void rememberLogin() { AppFixture::rememberLogin("13812345678", "app123"); }
  // Scripts the re-login's reply with this user.
  void reloginAs(const Value& user);
  // Presents the tab bar controller, switches to the binding tab and answers it, on screen.
  std::shared_ptr<BindToviraController> openBinding();
  // Presents the new-user gift page over the home screen and answers it, loaded.
  std::shared_ptr<LibaoViewController> openGifts();

  // ---- The gift lists

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
  // Waits (real time, at most 5 s) until the server has received `count` requests of the api;
  // the server chooses a request's reply as it records it, so replies scripted afterwards answer
  // only later requests.
  void awaitRequests(const std::string& api, size_t count, Where where = Where::current());
  // The subviews of the list tagged as rows (8).
  static std::vector<std::shared_ptr<UIView>> rows(const std::shared_ptr<UIScrollView>& scroll);

  // ---- The invitation

  static constexpr const char* kInviteUrl = "http://127.0.0.1/invite/demo";
  // A summary of two invited friends, as "getInvite_v2" answers it.
  static constexpr const char* kSummaryReply =
      R"({"state":"ok","msg":"","data":{"count":"2","sum":"20.00","list":[)"
      R"({"qx_username":"13800001111","qx_regtime":"1699800000","qx_amount":"12.00"},)"
      R"({"qx_username":"13900002222","qx_regtime":"1699700000","qx_amount":"8.00"}]}})";
  // A logged-in player "demo" with a token and an invitation link.
  static Value inviter();
  // Opens the tab bar controller when needed and taps its "邀请" button; answers the tab.
  std::shared_ptr<YaoqingController> openInviteTab();
  // Taps the tab bar's button of that title ("我的", "邀请", ...).
  void tapBar(const std::string& title, Where where = Where::current());
  // The class name of the screen presented over the tab bar controller ("" when none).
  std::string presentedClass();
  // What the QR code reader finds in the image ("" when nothing).
  static std::string decodeQr(const std::shared_ptr<UIImage>& image);

  std::shared_ptr<YaoqingController> invite_;
};
