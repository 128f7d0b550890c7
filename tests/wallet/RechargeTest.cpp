// The gold recharge page: its steps, the shop name, the card form sent as "tbkToGold", and the
// card link grid with its shop-app and browser links.

#include "ShopFixture.h"
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

TEST_F(RechargeTest, ARechargeWithoutAReplyShowsOnlyTheNetworkAlertAndKeepsTheForm) {
  server().replyRaw("tbkToGold", "<html>busy</html>");
  TempData::setuserdata(user());
  auto page = openRechargePage();
  // A card number this long makes the request too long to encipher: it is never sent.
  const std::pair<const char*, std::string> cards[] = {{"a reply that is not JSON", "CARD-1"},
                                                       {"no request", std::string(1100, '7')}};
  for (const auto& [what, card] : cards) {
    SCOPED_TRACE(what);
    fill(page->cardText, card);
    fill(page->psdText, "secret");
    Automation::tap(shown("确认充值"));
    EXPECT_EQ(takeAlert(), kNetworkAlert);
    EXPECT_FALSE(Automation::currentAlert()) << "no empty alert after the network alert";
    EXPECT_EQ(page->cardText->text() + " " + page->psdText->text(), card + " secret");
    EXPECT_EQ(server().requests("tbkToGold").size(), 1u);
  }
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
