// The shop tab itself: its pages, the balance line, the recharge hand-over, page switching,
// the mask and the two information popups.

#include "ShopFixture.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/TabBarController.h"
#include "wallet/ShopController.h"

class ShopControllerTest : public ShopFixture {};

TEST_F(ShopControllerTest, TheTabBarMakesTheShopByClassNameWithBothPagesAndTheBalances) {
  TempData::setuserdata(user());
  auto shop = openShop();
  ASSERT_TRUE(shop);

  auto exchange = shop->duihuanpingtaibiButton();
  auto recharge = shop->jinbichongzhiButton();
  EXPECT_EQ(exchange->currentTitle() + " " + recharge->currentTitle(), "兑换平台币 金币充值");
  EXPECT_EQ(frames({exchange, recharge, shop->mainScrollview(), shop->dhptbView()}),
            "(5,71,152.5,30) (162.5,71,152.5,30) (0,101,320,418) (5,0,310,455)");
  EXPECT_EQ(
      exchange->backgroundColor()->description() + " " + recharge->backgroundColor()->description(),
      "rgb(81,158,19) " + UIColor::grayColor()->description());

  auto balance = shownLabel("账号余额为：金币1280.00个，绑金356个");
  EXPECT_EQ(colouredRanges(balance), "8+7=rgb(247,82,55) 19+3=rgb(247,82,55)");
  EXPECT_EQ(colouredRanges(shownLabel("兑换平台币比例为1:0.95(5%为支付渠道手续费)")),
            "8+6=rgb(247,82,55)");
  shown("平台币可充值本站任意游戏");
  shown("最新入库");
  shown("热门推荐");
}

TEST_F(ShopControllerTest, TheRechargeFlagOpensTheRechargePageOnceAndOtherHandOversStay) {
  auto shop = openShop();
  // Nobody is logged in: both balances read zero.
  EXPECT_EQ(colouredRanges(shownLabel("账号余额为：金币0.00个，绑金0.00个")),
            "8+4=rgb(247,82,55) 16+4=rgb(247,82,55)");
  // Another screen's hand-over is left alone.
  TempData::setcontrollerdata(Value::dict({{"gamename", "星海远征"}}));
  tabs_->setSelectedIndex(1);
  tabs_->setSelectedIndex(0);
  pump();
  EXPECT_EQ(shop->mainScrollview()->contentOffset().x, 0);
  EXPECT_EQ(TempData::getcontrollerdata()["gamename"].str(), "星海远征");

  TempData::setcontrollerdata(Value::dict({{"flag", "1"}}));
  tabs_->setSelectedIndex(1);
  tabs_->setSelectedIndex(0);
  pump();
  EXPECT_EQ(shop->mainScrollview()->contentOffset().x, 320);
  EXPECT_EQ(shop->jinbichongzhiButton()->backgroundColor()->description(), "rgb(81,158,19)");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
}

TEST_F(ShopControllerTest, PageButtonsAndDragsSwitchPagesAndRecolourTheButtons) {
  auto shop = openShop();
  Automation::tap(shop->jinbichongzhiButton());
  EXPECT_EQ(shop->mainScrollview()->contentOffset().x, 320);
  EXPECT_EQ(shop->duihuanpingtaibiButton()->backgroundColor()->description(),
            UIColor::grayColor()->description());
  Automation::tap(shop->duihuanpingtaibiButton());
  EXPECT_EQ(shop->mainScrollview()->contentOffset().x, 0);

  Automation::drag(shop->mainScrollview(), CGPointMake(250, 0), CGPointMake(1, 0));
  pump();
  EXPECT_EQ(shop->mainScrollview()->contentOffset().x, 320);
  EXPECT_EQ(shop->jinbichongzhiButton()->backgroundColor()->description(), "rgb(81,158,19)");
  Automation::drag(shop->mainScrollview(), CGPointMake(60, 0), CGPointMake(-1, 0));
  pump();
  EXPECT_EQ(shop->mainScrollview()->contentOffset().x, 0);
  EXPECT_EQ(shop->duihuanpingtaibiButton()->backgroundColor()->description(), "rgb(81,158,19)");
}

TEST_F(ShopControllerTest, TheRulesPopupSitsOnAMaskThatLeavesTheTabBarUsable) {
  auto shop = openShop();
  Automation::tap(shop->topduihuanguizelabel());
  auto mask = shop->mask();
  ASSERT_TRUE(mask);
  auto rules = shop->ruleView();
  auto know = shown("我知道了");
  EXPECT_EQ(frames({mask, rules, know}), "(0,0,320,519) (10,109.5,300,300) (50,265,200,30)");
  EXPECT_EQ(mask->alpha(), 0.5);
  EXPECT_EQ(mask->backgroundColor()->description(), "rgb(0,0,0)");
  shown("兑换规则");
  shown("兑换平台币和礼包请谨慎操作，兑换后，概不提供你想退还");

  // Nothing beneath the mask takes a tap; the tab bar does.
  EXPECT_EQ(Automation::hitTest(CGPointMake(160, 86)), mask);
  auto bar = tabs_->bar();
  EXPECT_TRUE(Automation::hitTest(CGPointMake(100, 540))->isDescendantOfView(bar));

  Automation::tap(know);
  pump();
  EXPECT_FALSE(mask->superview());
  EXPECT_FALSE(rules->superview());
}

TEST_F(ShopControllerTest, TheHowToPopupLinksSwitchTabsAndTheShopLinkClosesIt) {
  auto shop = openShop();
  Automation::tap(shown("怎样获得金币"));
  auto popup = shop->howGetJBview();
  ASSERT_TRUE(popup);
  EXPECT_EQ(frames({popup, shown("我知道了"), shown("导航")}),
            "(10,99.5,300,320) (50,279,200,30) (67.5,254,30,20)");

  Automation::tap(inside(popup, "邀请好友"));
  pump();
  EXPECT_EQ(tabs_->selectedViewController()->className(), "YaoqingController");
  EXPECT_TRUE(popup->superview());  // stays for the next visit

  tabs_->setSelectedIndex(0);
  pump();
  Automation::tap(inside(shop->howGetJBview(), "礼包"));
  pump();
  EXPECT_EQ(tabs_->selectedViewController()->className(), "LibaoController");
  tabs_->setSelectedIndex(0);
  pump();

  auto mask = shop->mask();
  Automation::tap(inside(popup, "商城"));
  pump();
  EXPECT_FALSE(popup->superview());
  EXPECT_FALSE(mask->superview());
}
