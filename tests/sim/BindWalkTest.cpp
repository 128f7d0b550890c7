// The walk's game-account segment: the binding tab reached by class name, a game picked with
// the letter column, a bound account, a copied one, and a new-user gift opened in the shop app.

#include "WalkRunner.h"
#include "core/EncDec.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/UIViewController.h"
#include "shell/ShellTestFixture.h"

class BindWalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    useDemoReplies();
  }
  // The line that follows the last echo of a command.
  static std::string lastReportOf(const std::vector<std::string>& lines,
                                  const std::string& command) {
    auto it = std::find(lines.rbegin(), lines.rend(), "> " + command);
    if (it == lines.rend() || it == lines.rbegin()) return "(missing)";
    return *std::prev(it);
  }
  static bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(BindWalkTest, TheWalkBindsAGameAccountAndOpensANewUserGiftInTheShopApp) {
  WalkRunner walk(server());
  const auto lines = walk.run(WalkRunner::walkScript());

  EXPECT_EQ(lastReportOf(lines, "tab BindToviraController"), "switched to BindToviraController");
  EXPECT_EQ(lastReportOf(lines, "tap H"), "tapped UILabel \"H\"");
  EXPECT_EQ(lastReportOf(lines, "tap @60,227"), "tapped UILabel \"  H  海上劫\"");
  EXPECT_TRUE(has(lines, "绑定成功 | 恭喜您，您已经绑定成功！ | [确定]"));
  EXPECT_TRUE(has(lines, "提示 | 游戏账号已复制到剪切板 | [知道了]"));
  EXPECT_TRUE(has(lines, "  0 public.utf8-plain-text = \"demo_hero\""));
  EXPECT_TRUE(has(lines, "taobao://gift.example/newbie?g=101"));

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

  // The segment ends on the tab bar, nothing presented over it and no alert up.
  auto top = Automation::topViewController();
  ASSERT_TRUE(top);
  EXPECT_EQ(top->className(), "TabBarController");
  EXPECT_EQ(Automation::alertText(), "");
}

TEST_F(BindWalkTest, TheTabCommandSwitchesOnlyWhenTheTabBarIsOnScreen) {
  WalkRunner walk(server());
  auto lines = walk.run(
      "tab BindToviraController\nlaunch\ntap 立即体验\ntap 进入平台\n"
      "tab NoSuchScreen\ntab\ntab BindToviraController\n");
  EXPECT_EQ(lines.at(1), "the tab bar is not on screen");
  EXPECT_TRUE(has(lines, "no tab of class NoSuchScreen"));
  EXPECT_TRUE(has(lines, "usage: tab <class name>"));
  EXPECT_EQ(lastReportOf(lines, "tab BindToviraController"), "switched to BindToviraController");
  EXPECT_TRUE(Automation::findByText("立即绑定"));
}
