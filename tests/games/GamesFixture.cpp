#include "GamesFixture.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <chrono>
#include <thread>

#include "core/TempData.h"
#include "games/BindToviraController.h"
#include "games/GamesClasses.h"
#include "games/LibaoController.h"
#include "games/LibaoDuihuanController.h"
#include "games/LibaoViewController.h"
#include "games/YaoqingController.h"
#include "platform/automation/Automation.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIScrollView.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

void GamesFixture::SetUp() {
  ScreenFixture::SetUp();
  PhotoAlbum::shared().reset();
  registerGamesClasses();
}

void GamesFixture::TearDown() {
  invite_.reset();
  PhotoAlbum::shared().reset();
  ScreenFixture::TearDown();
}

void GamesFixture::tapAndWait(const std::shared_ptr<UIView>& view) {
  Automation::tap(view);
  pump();
}

void GamesFixture::tapAndWait(CGPoint windowPoint) {
  Automation::tapAt(windowPoint);
  pump();
}

Value GamesFixture::user(const std::vector<std::pair<std::string, std::string>>& accounts) {
  Value bondlist = Value::array();
  for (const auto& [plat, name] : accounts) {
    bondlist.append(Value::dict({{"plat_id", plat}, {"username", name}}));
  }
  return Value::dict({{"username", "13812345678"},
                      {"token", "tok123"},
                      {"gold", "10.00"},
                      {"bound_gold", "5"},
                      {"is_special", "0"},
                      {"bondlist", bondlist}});
}

Value GamesFixture::games(const std::vector<std::vector<std::string>>& rows) {
  Value data = Value::array();
  for (const auto& row : rows) {
    data.append(Value::dict(
        {{"plat_gameshort", row.at(0)}, {"plat_gamename", row.at(1)}, {"plat_id", row.at(2)}}));
  }
  return Value::dict({{"state", "ok"}, {"msg", ""}, {"data", data}});
}

void GamesFixture::reloginAs(const Value& refreshed) {
  server().reply("login", Value::dict({{"state", "ok"}, {"data", refreshed}}));
}

std::shared_ptr<BindToviraController> GamesFixture::openBinding() {
  openTabs();
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "BindToviraController");
  pump();
  auto bind = std::dynamic_pointer_cast<BindToviraController>(tabs_->selectedViewController());
  EXPECT_TRUE(bind) << "the binding tab is not selected";
  return bind;
}

std::shared_ptr<LibaoViewController> GamesFixture::openGifts() {
  return present(LibaoViewController::create(), true);
}

void GamesFixture::logIn() {
  TempData::setuserdata(Value::dict({{"username", "demo"},
                                     {"token", "tok123"},
                                     {"gold", "10.00"},
                                     {"bound_gold", "50"},
                                     {"is_special", "0"}}));
  AppFixture::rememberLogin("demo", "demo123");
}

std::string GamesFixture::gamesPage(const std::string& prefix, int count) {
  Value data = Value::array();
  for (int i = 0; i < count; ++i) {
    data.append(Value::dict({{"plat_gamename", prefix + std::to_string(i)},
                             {"plat_gameicon", ""},
                             {"plat_id", i % 3 == 2 ? "3" : "1"},
                             {"cardcount", std::to_string(i + 1)}}));
  }
  return Value::dict({{"state", "ok"}, {"data", data}}).toJSON();
}

std::string GamesFixture::packagesPage(const std::string& prefix, int count) {
  Value data = Value::array();
  for (int i = 0; i < count; ++i) {
    data.append(Value::dict({{"qx_cardid", prefix + std::to_string(i)},
                             {"plat_gamename", "星海"},
                             {"cardname", prefix + "礼包" + std::to_string(i)},
                             {"cardcontent", "金币x100"},
                             {"cardusage", "游戏内输入"},
                             {"qx_cardprice", "15"},
                             {"rpercent", "40"},
                             {"plat_gameicon", ""},
                             {"plat_id", "1"}}));
  }
  return Value::dict({{"state", "ok"}, {"data", data}}).toJSON();
}

std::string GamesFixture::recordsPage(const std::string& prefix, int count) {
  Value data = Value::array();
  for (int i = 0; i < count; ++i) {
    data.append(Value::dict({{"gameicon", ""},
                             {"gamename", "星海"},
                             {"cardname", "新手礼包"},
                             {"qx_addtime", "1699963200"},
                             {"qx_card", prefix + std::to_string(i)}}));
  }
  return Value::dict({{"state", "ok"}, {"data", data}}).toJSON();
}

std::shared_ptr<LibaoController> GamesFixture::openGiftTab() {
  openTabs();
  Automation::tap(tabs_->barButton(2));
  pump();
  auto gifts = std::dynamic_pointer_cast<LibaoController>(tabs_->selectedViewController());
  EXPECT_TRUE(gifts) << "the gift tab is not on screen";
  return gifts;
}

std::shared_ptr<LibaoDuihuanController> GamesFixture::openPackages(
    const std::optional<std::string>& name) {
  auto packages = LibaoDuihuanController::create();
  if (name) packages->setGamename(*name);
  presentOverHome(packages, true);
  return packages;
}

std::vector<DevRequest> GamesFixture::giftListRequests() {
  std::vector<DevRequest> out;
  for (const auto& request : server().requests("getGameList")) {
    if (request.has("lb")) out.push_back(request);
  }
  return out;
}

void GamesFixture::scrollToEnd(const std::shared_ptr<UIScrollView>& scroll) {
  Automation::drag(scroll, CGPointMake(0, scroll->contentSize().height + 200));
}

void GamesFixture::awaitRequests(const std::string& api, size_t count, Where where) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (server().requests(api).size() < count && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (server().requests(api).size() < count)
    ADD_FAILURE_AT(where.file_name(), where.line()) << "the server never saw the request";
}

std::vector<std::shared_ptr<UIView>> GamesFixture::rows(
    const std::shared_ptr<UIScrollView>& scroll) {
  std::vector<std::shared_ptr<UIView>> out;
  for (const auto& sub : scroll->subviews()) {
    if (sub->tag() == 8) out.push_back(sub);
  }
  return out;
}

Value GamesFixture::inviter() {
  return Value::dict({{"username", "demo"},
                      {"token", "tok123"},
                      {"gold", "1280.00"},
                      {"bound_gold", "356"},
                      {"is_special", "0"},
                      {"inviteurl", kInviteUrl},
                      {"bondlist", Value::array()}});
}

void GamesFixture::tapBar(const std::string& title, Where where) {
  for (long i = 0; i < 5; ++i) {
    auto button = tabs_->barButton(i);
    if (button && button->currentTitle() == title) {
      Automation::tap(button);
      pump();
      return;
    }
  }
  ADD_FAILURE_AT(where.file_name(), where.line())
      << "the tab bar has no button \"" << title << "\"";
}

std::shared_ptr<YaoqingController> GamesFixture::openInviteTab() {
  if (!tabs_) openTabs();
  tapBar("邀请");
  invite_ = std::dynamic_pointer_cast<YaoqingController>(tabs_->selectedViewController());
  EXPECT_TRUE(invite_) << "the invitation tab is not a YaoqingController";
  return invite_;
}

std::string GamesFixture::presentedClass() {
  auto presented = tabs_ ? tabs_->presentedViewController() : nullptr;
  return presented ? presented->className() : "";
}

std::string GamesFixture::decodeQr(const std::shared_ptr<UIImage>& image) {
  if (!image) return "";
  ZXing::ImageView view(image->pixels().data(), image->pixelWidth(), image->pixelHeight(),
                        ZXing::ImageFormat::RGBX);
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  const auto result = ZXing::ReadBarcode(view, hints);
  return result.isValid() ? result.text() : std::string();
}
