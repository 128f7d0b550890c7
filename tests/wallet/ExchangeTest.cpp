// The road of one exchange: the amount popup, the checks, the confirm popup, "exchangePTB" on
// the devserver, and the success popup with its shares and the re-login, or the refusal.

#include "ShopFixture.h"
#include "core/Config.h"
#include "parley/PLApi.h"
#include "platform/foundation/NSString.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "wallet/ShopController.h"

class ExchangeTest : public ShopFixture {
 protected:
  // Opens the amount popup for gold ("用金币兑换") or bound gold.
  std::shared_ptr<UserJinBiDHView> openAmountPopup(bool boundGold = false) {
    Automation::tap(shown(boundGold ? "用绑定金币兑换" : "用金币兑换"));
    auto popup = shop_->userJinBiDHView();
    EXPECT_TRUE(popup);
    return popup;
  }
  // Opens the popup's account list and taps the row of `account`.
  void chooseAccount(const std::shared_ptr<UserJinBiDHView>& popup, const std::string& account) {
    Automation::tap(popup->dropButton());
    ASSERT_TRUE(popup->accountList());
    Automation::tap(inside(popup->accountList(), account));
    pump();
  }
  // Chooses `account` and presses "兑换": answers the confirm popup.
  std::shared_ptr<CertainDuiHuanView> toConfirm(const std::shared_ptr<UserJinBiDHView>& popup,
                                                const std::string& account) {
    chooseAccount(popup, account);
    Automation::tap(inside(popup, "兑换"));
    pump();
    auto confirm = shop_->certainDuiHuanView();
    EXPECT_TRUE(confirm);
    return confirm;
  }
  void typeAmount(const std::shared_ptr<UserJinBiDHView>& popup, const std::string& amount) {
    Automation::clearField(popup->numTextField);
    Automation::type(popup->numTextField, amount);
    Automation::endEditing();
  }
};

TEST_F(ExchangeTest, BothPopupsPresetTheirMinimumAndAllThreePopupsShowTheAmountThatIsSent) {
  PLApi::registerApp(Config::kParleyAppId);
  SimulatedDevice::shared().installApp("parley", [](const std::string&) { return true; });
  rememberLogin("demo", "demo123");
  Value refreshed = user();
  refreshed.set("gold", "1270.00");
  server().reply("login", Value::dict({{"state", "ok"}, {"data", refreshed}}));
  server().reply("exchangePTB", R"({"state":"ok","msg":"兑换成功"})");
  TempData::setuserdata(user());
  openShop();
  // 16777217 is above 2^24, where a single-precision read would give 15938355.20. Bound gold
  // below its minimum is sent all the same.
  const struct {
    bool boundGold;
    const char* preset;  // title | amount | minimum | preview | its coloured range
    std::string amount, number, range, account, platform, sent;
  } rows[] = {
      {false, "金币兑换平台币 | 10 | (10个起兑) | 本次可兑换9.50平台币 | 5+4=rgb(247,82,55)",
       "16777217", "15938356.15", "5+11", "acct1", "掌上H5游戏",
       "plat_id=3&recipient=acct1&token=tok123&type=2"},
      {true, "绑定金币兑换平台币 | 50 | (50个起兑) | 本次可兑换47.50平台币 | 5+5=rgb(247,82,55)",
       "12", "11.40", "5+5", "acct0", "星辰手游", "plat_id=1&recipient=acct0&token=tok123&type=3"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.preset);
    auto popup = openAmountPopup(row.boundGold);
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->frame(), CGRectMake(10, 169.5, 300, 180));
    EXPECT_EQ(popup->titleLabel->text() + " | " + popup->numTextField->text() + " | " +
                  popup->desLabel->text() + " | " + popup->duihuanLabel->text() + " | " +
                  colouredRanges(popup->duihuanLabel),
              row.preset);
    // A new amount shows in the preview once the field is left.
    typeAmount(popup, row.amount);
    EXPECT_EQ(popup->duihuanLabel->text(), "本次可兑换" + row.number + "平台币");

    // The confirm popup replaces the amount popup on the same mask; bound gold is confirmed
    // under the gold title.
    auto mask = shop_->mask();
    auto confirm = toConfirm(popup, row.account);
    ASSERT_TRUE(confirm);
    EXPECT_FALSE(popup->superview());
    EXPECT_EQ(shop_->mask(), mask);
    EXPECT_TRUE(mask->superview());
    EXPECT_EQ(confirm->frame(), CGRectMake(10, 154.5, 300, 210));
    inside(confirm, "金币兑换平台币");
    inside(confirm, "*兑换成功后，请登录游戏");
    EXPECT_EQ(confirm->duihuanLabel->text() + " " + colouredRanges(confirm->duihuanLabel),
              "您申请兑换" + row.number + "平台币 " + row.range + "=rgb(247,82,55)");
    EXPECT_EQ(confirm->accountLabel->text() + " " + colouredRanges(confirm->accountLabel),
              "接收账号：" + row.account + " 5+5=rgb(247,82,55)");
    EXPECT_EQ(confirm->platLabel->text(), "所属平台：" + row.platform);

    Automation::tap(inside(confirm, "确认兑换"));
    pump();
    auto request = server().lastRequest("exchangePTB");
    ASSERT_TRUE(request);
    EXPECT_TRUE(NSString::hasPrefix(request->value("orderid"), "demo"));
    EXPECT_EQ(sent("exchangePTB"), "amount=" + row.amount +
                                       "&orderid=" + request->value("orderid") + "&" + row.sent +
                                       "&username=demo");

    // Both popups and their mask are gone; the success popup has a mask of its own.
    EXPECT_FALSE(confirm->superview());
    EXPECT_FALSE(mask->superview());
    auto success = shop_->dhSuccessView();
    ASSERT_TRUE(success);
    auto successMask = shop_->mask();
    EXPECT_NE(successMask, mask);
    EXPECT_TRUE(successMask->superview());
    EXPECT_EQ(success->frame(), CGRectMake(20, 164, 280, 240));
    inside(success, "兑换成功");
    inside(success, "获得" + row.number + "枚平台币");
    EXPECT_EQ(colouredRanges(
                  std::dynamic_pointer_cast<UILabel>(inside(success, "单个好友最高奖励50绑金"))),
              "8+4=rgb(255,82,97)");
    // The two image buttons, the timeline on the left and a chat on the right, each send a
    // request to the chat app and leave the popup open.
    std::vector<std::shared_ptr<UIView>> shares;
    for (const auto& view : success->subviews()) {
      if (std::dynamic_pointer_cast<UIButton>(view) && view->frame().size.width == 50)
        shares.push_back(view);
    }
    ASSERT_EQ(frames(shares), "(80,140,50,50) (150,140,50,50)");
    for (const auto& share : shares) Automation::tap(share);
    pump();
    EXPECT_TRUE(success->superview());
    Automation::tap(inside(success, "取消"));
    pump();
    EXPECT_FALSE(success->superview());
    EXPECT_FALSE(successMask->superview());
  }
  // What each request carries is the SDK's to test; the walk follows one into the chat app.
  EXPECT_EQ(SimulatedDevice::shared().openedURLs().size(), 4u);
  // The re-login refreshed the user; the balance line shows it on the next appearance.
  EXPECT_EQ(server().lastRequest("login")->value("username"), "demo");
  shop_->viewWillAppear(false);
  shown("账号余额为：金币1270.00个，绑金356个");
}

TEST_F(ExchangeTest, ChecksRunLoginThenAccountThenAmountAndLeaveThePopupOpen) {
  openShop();
  auto popup = openAmountPopup();  // opens without a user
  Automation::clearField(popup->numTextField);
  Automation::tap(inside(popup, "兑换"));
  pump();
  EXPECT_TRUE(popup->superview());
  closeLogin();

  TempData::setuserdata(user());
  typeAmount(popup, "30");
  Automation::tap(inside(popup, "兑换"));
  EXPECT_EQ(takeAlert(), "您还没有选择游戏账号 | 请选择游戏账号后进行兑换 | [确定]");

  chooseAccount(popup, "acct0");
  typeAmount(popup, "");
  Automation::tap(inside(popup, "兑换"));
  EXPECT_EQ(takeAlert(), "您还没有填写金币数量 | 请填写金币数量后进行兑换 | [确定]");
  EXPECT_TRUE(popup->superview());
  EXPECT_FALSE(shop_->certainDuiHuanView());
  EXPECT_TRUE(server().requests("exchangePTB").empty());

  // "取消" closes the popup and its mask.
  auto mask = shop_->mask();
  Automation::tap(inside(popup, "取消"));
  pump();
  EXPECT_FALSE(popup->superview());
  EXPECT_FALSE(mask->superview());
}

TEST_F(ExchangeTest, ARefusedExchangeShowsTheServersMessageAndAnUnknownPlatformIsStillSent) {
  server().reply("exchangePTB", R"({"state":"error","msg":"金币余额不足"})");
  Value player = user(0);
  player.set("bondlist", Value::array({Value::dict({{"plat_id", "9"}, {"username", "far"}})}));
  TempData::setuserdata(player);
  openShop();
  auto confirm = toConfirm(openAmountPopup(), "far");
  ASSERT_TRUE(confirm);
  auto mask = shop_->mask();
  EXPECT_EQ(confirm->platLabel->text(), "");
  Automation::tap(inside(confirm, "确认兑换"));
  pump();
  // The preset amount is sent when none was typed.
  const auto request = server().lastRequest("exchangePTB");
  EXPECT_EQ(request->value("amount") + " " + request->value("plat_id"), "10 9");
  EXPECT_EQ(takeAlert(), "兑换失败 | 金币余额不足 | [确定]");
  EXPECT_FALSE(confirm->superview());
  EXPECT_FALSE(mask->superview());
  EXPECT_FALSE(shop_->dhSuccessView());
}

TEST_F(ExchangeTest, TheAmountPopupsAccountListOpensAgainAfterItsButtonClosedIt) {
  // Closing the list with its button must leave it ready to open, or the player could no
  // longer pick an account without cancelling the popup.
  TempData::setuserdata(user(9));
  openShop();
  auto popup = openAmountPopup();
  for (int round = 0; round < 2; ++round) {
    Automation::tap(popup->dropButton());
    ASSERT_TRUE(popup->accountList()) << "round " << round;
    EXPECT_TRUE(popup->dropButton()->isSelected());
    Automation::tap(popup->dropButton());
    pump();
    EXPECT_FALSE(popup->accountList());
    EXPECT_FALSE(popup->dropButton()->isSelected());
  }
  // The field opens it as well. It hangs 150 points below the popup's bottom edge, and its low
  // rows (row 7 lies there) take taps.
  Automation::tap(popup->accountField());
  auto list = popup->accountList();
  ASSERT_TRUE(list);
  EXPECT_FALSE(popup->accountField()->isEditing());
  EXPECT_EQ(list->frame(), CGRectMake(110, 90, 185, 240));
  EXPECT_EQ(list->contentSize().height, 270);
  const CGRect listInWindow = list->convertRect(list->bounds(), nullptr);
  EXPECT_EQ(CGRectGetMaxY(listInWindow) - CGRectGetMaxY(popup->frame()), 150);
  Automation::tap(inside(list, "acct7"));
  pump();
  EXPECT_EQ(popup->accountField()->text(), "acct7");
  EXPECT_FALSE(popup->accountList());
}
