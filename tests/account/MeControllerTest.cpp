#include <tuple>

#include "account/LoginViewController.h"
#include "account/MeController.h"
#include "core/TempData.h"
#include "shell/ShellTestFixture.h"
#include "shell/TabBarController.h"

class MeControllerTest : public ShellTestFixture {
 protected:
  // Starts the app and opens the tab bar on "我的".
  std::shared_ptr<TabBarController> openMe() {
    launch();
    tapText("进入平台");
    tapText("我的");
    auto tabs = topAs<TabBarController>();
    EXPECT_EQ(tabs ? tabs->selectedViewController()->className() : "", "MeController");
    return tabs;
  }

  static void logInAsDemo() {
    TempData::setuserdata(Value::dict(
        {{"username", "demo"}, {"token", "t1"}, {"gold", "1280.00"}, {"bound_gold", "356.00"}}));
  }
};

TEST_F(MeControllerTest, ShowsTheUserAndBalancesOnlyWhileLoggedIn) {
  openMe();
  EXPECT_TRUE(Automation::findByText(MeController::kLoginTitle));
  EXPECT_FALSE(Automation::findByText(MeController::kLogoutTitle));
  EXPECT_FALSE(Automation::findContainingText("用户名："));

  logInAsDemo();
  tapText("商城");
  tapText("我的");  // the page reads the login state each time it comes on screen
  EXPECT_TRUE(Automation::findByText("用户名：demo"));
  EXPECT_TRUE(Automation::findByText("金币：1280.00"));
  EXPECT_TRUE(Automation::findByText("绑金：356.00"));
  EXPECT_FALSE(Automation::findByText(MeController::kLoginTitle));
}

TEST_F(MeControllerTest, RechargeLeavesTheShopFlagAndSwitchesToTheShop) {
  auto tabs = openMe();
  ASSERT_TRUE(tabs);
  TempData::setcontrollerdata(Value());
  // The shop clears the flag when it opens its recharge page; watch what it was handed.
  tapText(MeController::kRechargeTitle);
  EXPECT_EQ(tabs->selectedViewController()->className(), "ShopController");
  const Value left = TempData::getcontrollerdata();
  EXPECT_TRUE(left.isNil() || left["flag"].isEqualToString("1"))
      << "either the shop took the flag or it waits for it";
}

TEST_F(MeControllerTest, RecordsAndWithdrawalAskForALoginFirst) {
  useDemoReplies();  // logged in, the screens fetch the records and the Alipay account
  openMe();
  for (const char* entry : {MeController::kMoneyDetailTitle, MeController::kWithdrawTitle}) {
    tapText(entry);
    EXPECT_TRUE(topAs<LoginViewController>()) << entry;
    tapText("返回");
    EXPECT_TRUE(topAs<TabBarController>()) << entry;
  }
  // Logged in, each entry presents its screen; the new-user gifts need no login.
  const std::vector<std::tuple<std::string, std::string, bool>> entries = {
      {MeController::kNewUserGiftTitle, "LibaoViewController", false},
      {MeController::kMoneyDetailTitle, "MoneyDetailVC", true},
      {MeController::kWithdrawTitle, "TiXianVC", true}};
  for (const auto& [entry, className, loggedIn] : entries) {
    if (loggedIn) logInAsDemo();
    tapText(entry);
    ASSERT_TRUE(top()) << entry;
    EXPECT_EQ(top()->className(), className);
    EXPECT_TRUE(top()->wasPresentedAnimated());
    top()->dismissViewControllerAnimated(false);
    pump();
  }
}

TEST_F(MeControllerTest, LogoutForgetsTheUserAndTheAutologin) {
  rememberLogin("demo", "demo123", 1);
  server().reply("login",
                 R"({"state":"ok","data":{"username":"demo","token":"t1","gold":"1.00"}})");
  openMe();
  ASSERT_EQ(TempData::getuserdata()["username"].str(), "demo");

  tapText(MeController::kLogoutTitle);
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_TRUE(Automation::findByText(MeController::kLoginTitle));
  auto remembered = newestLogin();
  ASSERT_TRUE(remembered);
  EXPECT_EQ(remembered->autologin, 0);

  server().clearRequests();
  relaunch();
  EXPECT_TRUE(server().requests("login").empty()) << "no autologin after a logout";
  EXPECT_TRUE(TempData::getuserdata().isNil());
}
