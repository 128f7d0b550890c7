#include "GiftFixture.h"

#include <chrono>
#include <functional>
#include <thread>

#include "account/AccountClasses.h"
#include "core/DBHelper.h"
#include "core/TempData.h"
#include "games/GamesClasses.h"
#include "games/LibaoController.h"
#include "games/LibaoDuihuanController.h"
#include "platform/automation/Automation.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIWindow.h"
#include "shell/AppMain.h"
#include "shell/TabBarController.h"
#include "wallet/WalletClasses.h"

void GiftFixture::SetUp() {
  AppFixture::SetUp();
  Automation::resetPlatform();
  SimulatedDevice::shared().reset(sandboxRoot() + "/device");
  registerUIKitClasses();
  registerShellClasses();
  registerAccountClasses();
  registerWalletClasses();
  registerGamesClasses();
}

void GiftFixture::TearDown() {
  tabs_.reset();
  home_.reset();
  window_.reset();
  Automation::resetPlatform();
  AppFixture::TearDown();
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
  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  home_ = UIViewController::create();
  window_->setRootViewController(home_);
  window_->makeKeyAndVisible();
  tabs_ = TabBarController::create();
  home_->presentViewController(tabs_, false);
  pump();
  Automation::tap(tabs_->barButton(2));
  pump();
  auto gifts = std::dynamic_pointer_cast<LibaoController>(tabs_->selectedViewController());
  EXPECT_TRUE(gifts) << "the gift tab is not on screen";
  return gifts;
}

std::shared_ptr<LibaoDuihuanController> GiftFixture::openPackages(
    const std::optional<std::string>& name) {
  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  home_ = UIViewController::create();
  window_->setRootViewController(home_);
  window_->makeKeyAndVisible();
  auto packages = LibaoDuihuanController::create();
  if (name) packages->setGamename(*name);
  home_->presentViewController(packages, true);
  pump();
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

std::shared_ptr<UIView> GiftFixture::shown(const std::string& text) {
  auto view = Automation::findByText(text);
  EXPECT_TRUE(view) << "nothing on screen reads \"" << text << "\"";
  return view;
}

std::shared_ptr<UILabel> GiftFixture::shownLabel(const std::string& text) {
  return std::dynamic_pointer_cast<UILabel>(shown(text));
}

std::shared_ptr<UIView> GiftFixture::inside(const std::shared_ptr<UIView>& root,
                                            const std::string& text) {
  std::function<std::shared_ptr<UIView>(const std::shared_ptr<UIView>&)> search =
      [&](const std::shared_ptr<UIView>& view) -> std::shared_ptr<UIView> {
    if (!view) return nullptr;
    if (auto button = std::dynamic_pointer_cast<UIButton>(view)) {
      if (button->currentTitle() == text) return view;
    } else if (auto label = std::dynamic_pointer_cast<UILabel>(view)) {
      if (label->text() == text) return view;
    }
    for (const auto& sub : view->subviews()) {
      if (auto found = search(sub)) return found;
    }
    return nullptr;
  };
  auto found = search(root);
  EXPECT_TRUE(found) << "no view inside reads \"" << text << "\"";
  return found;
}

std::string GiftFixture::colouredRanges(const std::shared_ptr<UILabel>& label) {
  if (!label || !label->attributedText()) return "";
  std::string out;
  for (const auto& run : label->attributedText()->colorRanges()) {
    if (!out.empty()) out += " ";
    out += std::to_string(run.range.location) + "+" + std::to_string(run.range.length) + "=" +
           (run.color ? run.color->description() : "none");
  }
  return out;
}

std::string GiftFixture::takeAlert() {
  const std::string text = Automation::alertText();
  if (Automation::currentAlert()) Automation::pressAlertButtonAtIndex(0);
  pump();
  return text;
}

std::vector<std::shared_ptr<UIView>> GiftFixture::rows(
    const std::shared_ptr<UIScrollView>& scroll) {
  std::vector<std::shared_ptr<UIView>> out;
  for (const auto& sub : scroll->subviews()) {
    if (sub->tag() == 8) out.push_back(sub);
  }
  return out;
}
