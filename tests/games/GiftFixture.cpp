#include "GiftFixture.h"

#include <chrono>
#include <thread>

#include "core/DBHelper.h"
#include "core/TempData.h"
#include "games/GamesClasses.h"
#include "games/LibaoController.h"
#include "games/LibaoDuihuanController.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIScrollView.h"
#include "shell/TabBarController.h"

void GiftFixture::SetUp() {
  ScreenFixture::SetUp();
  registerGamesClasses();
}

void GiftFixture::logIn() {
  TempData::setuserdata(Value::dict({{"username", "demo"},
                                     {"token", "tok123"},
                                     {"gold", "10.00"},
                                     {"bound_gold", "50"},
                                     {"is_special", "0"}}));
  DBHelper db;
  ASSERT_TRUE(db.open());
  ASSERT_TRUE(db.createTables());
  ASSERT_TRUE(db.saveLogin("demo", "demo123", 1));
}

std::string GiftFixture::gamesPage(const std::string& prefix, int count) {
  Value data = Value::array();
  for (int i = 0; i < count; ++i) {
    data.append(Value::dict({{"plat_gamename", prefix + std::to_string(i)},
                             {"plat_gameicon", ""},
                             {"plat_id", i % 3 == 2 ? "3" : "1"},
                             {"cardcount", std::to_string(i + 1)}}));
  }
  return Value::dict({{"state", "ok"}, {"data", data}}).toJSON();
}

std::string GiftFixture::packagesPage(const std::string& prefix, int count) {
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

std::string GiftFixture::recordsPage(const std::string& prefix, int count) {
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

std::shared_ptr<LibaoController> GiftFixture::openGiftTab() {
  openTabs();
  Automation::tap(tabs_->barButton(2));
  pump();
  auto gifts = std::dynamic_pointer_cast<LibaoController>(tabs_->selectedViewController());
  EXPECT_TRUE(gifts) << "the gift tab is not on screen";
  return gifts;
}

std::shared_ptr<LibaoDuihuanController> GiftFixture::openPackages(
    const std::optional<std::string>& name) {
  auto packages = LibaoDuihuanController::create();
  if (name) packages->setGamename(*name);
  presentOverHome(packages, true);
  return packages;
}

std::vector<DevRequest> GiftFixture::giftListRequests() {
  std::vector<DevRequest> out;
  for (const auto& request : server().requests("getGameList")) {
    if (request.has("lb")) out.push_back(request);
  }
  return out;
}

void GiftFixture::scrollToEnd(const std::shared_ptr<UIScrollView>& scroll) {
  Automation::drag(scroll, CGPointMake(0, scroll->contentSize().height + 200));
}

void GiftFixture::awaitRequests(const std::string& api, size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (server().requests(api).size() < count && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GE(server().requests(api).size(), count) << "the server never saw the request";
  // The server takes its scripted reply right after recording the request.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

std::vector<std::shared_ptr<UIView>> GiftFixture::rows(
    const std::shared_ptr<UIScrollView>& scroll) {
  std::vector<std::shared_ptr<UIView>> out;
  for (const auto& sub : scroll->subviews()) {
    if (sub->tag() == 8) out.push_back(sub);
  }
  return out;
}
