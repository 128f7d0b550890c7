// The gold recharge page: its steps, the shop name, the card form sent as "tbkToGold", and the
// card link grid with its shop-app and browser links.

#include <functional>

#include "ShopFixture.h"
#include "core/ServerController.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UICollectionView.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UITextField.h"
#include "shell/TabBarController.h"
#include "wallet/ChongZhiCardVC.h"
#include "wallet/ShopController.h"

class RechargeTest : public ShopFixture {
 protected:
  std::shared_ptr<JinBiView> openRechargePage() {
    openShop();
    Automation::tap(shop_->jinbichongzhiButton());
    pump();
    return shop_->jbView();
  }
  void fill(const std::shared_ptr<UITextField>& field, const std::string& text) {
    Automation::clearField(field);
    Automation::type(field, text);
  }
};

TEST_F(RechargeTest, ThePageShowsTheStepsAndCopiesTheShopName) {
  UIPasteboard::generalPasteboard()->setString("something else");
  auto page = openRechargePage();
  shown("Tovira手游官方淘宝店购买金币充值卡.");
  shown("购买时,请熟读商品详情噢!");
  shown("重要提示:请认准Tovira手游唯一官方淘宝店,谨防上当受骗");
  EXPECT_EQ(page->frame(), CGRectMake(5, 0, 310, 410));
  EXPECT_EQ(page->accText->text(), "");  // nobody logged in
  Automation::tap(shown("复制店名"));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "Tovira手游金铺");
  EXPECT_EQ(takeAlert(), "提示 | 店名已复制到剪切板 | [知道了]");
}

TEST_F(RechargeTest, ASentCardReportsTheResultEmptiesTheCardFieldsAndRefreshes) {
  server().reply("tbkToGold", R"({"state":"ok","msg":"ok"})");
  TempData::setuserdata(user());
  auto page = openRechargePage();
  EXPECT_EQ(page->accText->text(), "demo");
  fill(page->accText, "friend01");
  fill(page->cardText, "CARD-7788");
  fill(page->psdText, "pw 99&x");
  Automation::tap(shown("确认充值"));
  EXPECT_EQ(takeAlert(), "提示 | 充值成功 | [知道了]");
  EXPECT_EQ(
      sent("tbkToGold"),
      "getter=friend01&qx_tbk_code=CARD-7788&qx_tbk_pwd=pw 99&x&qx_username=demo&token=tok123");
  EXPECT_EQ(page->accText->text() + "|" + page->cardText->text() + "|" + page->psdText->text(),
            "friend01||");
  EXPECT_FALSE(page->psdText->isFirstResponder());

  // Any other message is shown as it comes, and the card fields empty again.
  server().reply("tbkToGold", R"({"state":"error","msg":"卡号或密码错误"})");
  fill(page->cardText, "BAD");
  fill(page->psdText, "BAD");
  Automation::tap(shown("确认充值"));
  EXPECT_EQ(takeAlert(), "提示 | 卡号或密码错误 | [知道了]");
  EXPECT_EQ(page->cardText->text(), "");
}

TEST_F(RechargeTest, ARefusedFormKeepsTheTypedCardNumberAndPassword) {
  auto page = openRechargePage();
  fill(page->cardText, "CARD-1");
  fill(page->psdText, "secret");
  // Nobody logged in: the login screen comes before the check of the empty account field, and
  // nothing typed is lost.
  Automation::tap(shown("确认充值"));
  pump();
  EXPECT_FALSE(Automation::currentAlert());
  EXPECT_EQ(page->cardText->text() + " " + page->psdText->text(), "CARD-1 secret");
  closeLogin();

  // An empty field: the alert, and the other fields keep their text.
  TempData::setuserdata(user());
  fill(page->accText, "friend01");
  Automation::clearField(page->psdText);
  Automation::tap(shown("确认充值"));
  EXPECT_EQ(takeAlert(), "提示 | 信息不能为空 | [知道了]");
  EXPECT_EQ(page->cardText->text() + " " + page->accText->text(), "CARD-1 friend01");
  EXPECT_TRUE(server().requests("tbkToGold").empty());

  // The clear button at the account field's right end empties only that field.
  auto clear = Automation::hitTest(page->accText->convertPoint(CGPointMake(220, 10), nullptr));
  ASSERT_TRUE(clear && clear->superview() == page->accText);
  Automation::tap(clear);
  EXPECT_EQ(page->cardText->text() + " " + page->accText->text(), "CARD-1 ");
}

TEST_F(RechargeTest, ACardSentWithoutAReplyIsEmptiedAndRefreshedAfterTheNetworkAlertAlone) {
  rememberLogin("demo", "demo123");
  Value refreshed = user();
  refreshed.set("gold", "1380.00");
  server().reply("login", Value::dict({{"state", "ok"}, {"data", refreshed}}));
  TempData::setuserdata(user());
  auto page = openRechargePage();
  // The server goes away in the middle of the call, or answers with something that is not JSON:
  // either way the card went out and may have been credited.
  const std::pair<const char*, std::function<void()>> replies[] = {
      {"a closed connection", [&] { server().replyCloseConnection("tbkToGold"); }},
      {"a reply that is not JSON", [&] { server().replyRaw("tbkToGold", "<html>busy</html>"); }}};
  for (const auto& [what, script] : replies) {
    SCOPED_TRACE(what);
    script();
    TempData::setuserdata(user());
    server().clearRequests();
    fill(page->cardText, "CARD-1");
    fill(page->psdText, "secret");
    Automation::tap(shown("确认充值"));
    EXPECT_EQ(takeAlert(), kNetworkAlert);
    EXPECT_FALSE(Automation::currentAlert()) << "no empty alert after the network alert";
    EXPECT_EQ(page->cardText->text() + "|" + page->psdText->text() + "|" + page->accText->text(),
              "||demo");
    std::vector<std::string> apis;
    for (const auto& request : server().requests()) apis.push_back(request.api);
    EXPECT_EQ(apis, (std::vector<std::string>{"tbkToGold", "login"}));
    EXPECT_EQ(TempData::getuserdata()["gold"].str(), "1380.00");
  }
}

TEST_F(RechargeTest, ACardTooLongToEncipherIsNeverSentAndTheFormKeepsIt) {
  rememberLogin("demo", "demo123");
  server().reply("login", Value::dict({{"state", "ok"}, {"data", user()}}));
  TempData::setuserdata(user());
  auto page = openRechargePage();
  const std::string card(1100, '7');
  fill(page->cardText, card);
  fill(page->psdText, "secret");
  Automation::tap(shown("确认充值"));
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_FALSE(Automation::currentAlert()) << "no empty alert after the network alert";
  EXPECT_EQ(page->cardText->text() + " " + page->psdText->text(), card + " secret");
  EXPECT_TRUE(server().requests("tbkToGold").empty());
  EXPECT_TRUE(server().requests("login").empty()) << "nothing went out, so nothing to refresh";

  // Just short enough to encipher, the same form goes out.
  auto fits = [](size_t length) {
    return ServerController::certainGiveMoneyGoesOut("demo", "demo", std::string(length, '7'),
                                                     "secret", "tok123");
  };
  size_t shortest = 0, longer = card.size();  // fits(shortest), !fits(longer)
  ASSERT_TRUE(fits(shortest) && !fits(longer));
  while (longer - shortest > 1) {
    const size_t middle = (shortest + longer) / 2;
    (fits(middle) ? shortest : longer) = middle;
  }
  const std::string longest(shortest, '7');
  server().reply("tbkToGold", R"({"state":"error","msg":"卡号或密码错误"})");
  fill(page->cardText, longest);
  fill(page->psdText, "secret");
  Automation::tap(shown("确认充值"));
  EXPECT_EQ(takeAlert(), "提示 | 卡号或密码错误 | [知道了]");
  EXPECT_EQ(server().lastRequest("tbkToGold")->value("qx_tbk_code"), longest);
  EXPECT_EQ(page->cardText->text(), "");
}

TEST_F(RechargeTest, CardLinksOpenInTheShopAppWhenItCanBeOpenedAndInTheBrowserOtherwise) {
  SimulatedDevice::shared().installApp("https", [](const std::string&) { return true; });
  openRechargePage();
  Automation::tap(shown("快速购卡通道"));
  pump();
  auto grid = std::dynamic_pointer_cast<ChongZhiCardVC>(Automation::topViewController());
  ASSERT_TRUE(grid);
  shown("金币充值卡");
  auto collection = grid->collectionView;
  EXPECT_EQ(collection->numberOfItemsInSection(0), 8);
  const double width = (320 - 20) / 2.0;
  EXPECT_EQ(collection->frameForItemAtIndexPath(NSIndexPath::indexPathForItem(2, 0)),
            CGRectMake(5, 5 + width * 396 / 326 + 10, width, width * 396 / 326));

  const std::string third = ChongZhiCardVC::cardLinks()[2];
  collection->userSelectItem(NSIndexPath::indexPathForItem(2, 0));
  pump();
  EXPECT_EQ(SimulatedDevice::shared().openedURLs(), std::vector<std::string>{"https:" + third});

  SimulatedDevice::shared().installApp("taobao", [](const std::string&) { return true; });
  collection->userSelectItem(NSIndexPath::indexPathForItem(2, 0));
  pump();
  EXPECT_EQ(SimulatedDevice::shared().openedURLs().back(), "taobao:" + third);

  Automation::tap(shown("返回"));
  pump();
  EXPECT_FALSE(shop_->presentedViewController() || tabs_->presentedViewController());
}
