// The walk's game-account segment: the binding tab reached by class name, a game picked with
// the letter column, a bound account, a copied one, and a new-user gift opened in the shop app.

#include "WalkRunner.h"
#include "core/EncDec.h"
#include "platform/foundation/NSString.h"

using BindWalkTest = WalkTest;

TEST_F(BindWalkTest, TheWalkBindsAGameAccountAndOpensANewUserGiftInTheShopApp) {
  WalkRunner walk(server());
  const auto steps = walk.steps(WalkRunner::walkScript());
  EXPECT_EQ(reportOf(steps, "tab BindToviraController"), "switched to BindToviraController");
  EXPECT_EQ(reportOf(steps, "tap H"), "tapped UILabel \"H\"");
  EXPECT_EQ(reportOf(steps, "tap @60,227"), "tapped UILabel \"  H  海上劫\"");
  EXPECT_EQ(reportOf(steps, "alert", "tap 立即绑定"),
            "绑定成功 | 恭喜您，您已经绑定成功！ | [确定]");
  EXPECT_EQ(reportOf(steps, "alert", "tap #1000"), "提示 | 游戏账号已复制到剪切板 | [知道了]");
  EXPECT_TRUE(contains(outputOf(steps, "pasteboard", "tap #1000"),
                       "\n  0 public.utf8-plain-text = \"demo_hero\"\n"));
  // The shop app is installed: the gift opens there, not in the browser.
  const std::string urls = outputOf(steps, "urls", "tap 星海远征");
  EXPECT_TRUE(contains(urls, "\ntaobao://gift.example/newbie?g=101\n")) << urls;
  EXPECT_FALSE(contains(urls, "https://gift.example"));

  const auto bind = server().lastRequest("boundQx");
  ASSERT_TRUE(bind);
  EXPECT_EQ(bind->value("username"), "hero2024");
  EXPECT_EQ(bind->value("plat_id"), "2");
  EXPECT_EQ(bind->value("qx_username"), "demo");
  EXPECT_EQ(bind->value("password"), NSString::lowercaseString(EncDec::md5("pass123")));
  bool wholeListAsked = false;
  for (const auto& request : server().requests("getGameList"))
    wholeListAsked = wholeListAsked || request.value("unlimit") == "1";
  EXPECT_TRUE(wholeListAsked);
  EXPECT_TRUE(server().lastRequest("get_hot_gift"));
}

TEST_F(BindWalkTest, TheTabCommandSwitchesOnlyWhenTheTabBarIsOnScreen) {
  WalkRunner walk(server());
  const auto steps = walk.steps(
      "tab BindToviraController\nlaunch\ntap 立即体验\ntap 进入平台\n"
      "tab NoSuchScreen\ntab\ntab BindToviraController\n");
  EXPECT_EQ(reportIn(steps[0].output), "the tab bar is not on screen");
  EXPECT_EQ(reportOf(steps, "tab NoSuchScreen"), "no tab of class NoSuchScreen");
  EXPECT_EQ(reportOf(steps, "tab"), "usage: tab <class name>");
  EXPECT_EQ(reportOf(steps, "tab BindToviraController", "tab"), "switched to BindToviraController");
  EXPECT_TRUE(Automation::findByText("立即绑定"));
}
