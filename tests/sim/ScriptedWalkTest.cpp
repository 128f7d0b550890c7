// The scripted walk, resources/walk.txt, run once as tovira-sim runs it, with a statistics
// server beside the API server. Each segment is checked for what only the walk shows: the
// simulator's reports and screens, what reached the servers and the other apps, and the hand-over
// from one screen to the next; the screens themselves are tested one by one in their own areas.

#include "WalkRunner.h"
#include "core/Config.h"
#include "core/EncDec.h"
#include "core/TempData.h"
#include "parley/PLApiRegister.h"
#include "parley/StatPL.h"
#include "parley/stats/PLOStat.h"
#include "platform/foundation/NSString.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/UITabBarController.h"

class ScriptedWalkTest : public WalkTest {
 protected:
  void SetUp() override {
    WalkTest::SetUp();
    resetStatistics();
    ASSERT_TRUE(stats.start());
    stats.setConfiguration(1, Value::dict({{"rs", Value(3)}}), 1, "demo");
  }

  void TearDown() override {
    resetStatistics();
    stats.stop();
    WalkTest::TearDown();
  }

  static void resetStatistics() {
    PLApiRegister::resetForTesting();
    StatPL::resetForTesting();
    PLOStat::resetForTesting();
    PhotoAlbum::shared().reset();
  }

  StatServer stats;
};

TEST_F(ScriptedWalkTest, EverySegmentReachesItsServersAndAppsAndHandsOverToTheNext) {
  WalkRunner walk(server(), &stats);
  const auto steps = walk.steps(WalkRunner::walkScript());
  // The README's first command runs this script: every step finds what it taps.
  for (const auto& step : steps) {
    EXPECT_FALSE(contains(step.output, "\nnothing to ")) << step.command;
    EXPECT_FALSE(contains(step.output, "\nunknown command")) << step.command;
    EXPECT_FALSE(contains(step.output, "\nno text field")) << step.command;
  }
  EXPECT_EQ(walk.loop().failures(), 0) << "tovira-sim --walk would exit 1";

  // The shop: the exchange and the card form reach the server, the share reaches Parley.
  const std::string shop = outputOf(steps, "requests");
  EXPECT_TRUE(contains(shop, "\nexchangePTB: demo\n")) << shop;
  EXPECT_TRUE(contains(shop, "\ntbkToGold: \n"));  // the card form sends "qx_username" instead
  const std::string chat = outputOf(steps, "urls");
  EXPECT_TRUE(contains(chat, "\n  command = \"1010\"\n")) << chat;
  EXPECT_TRUE(contains(chat, "\n  title = \"Tovira手游\"\n"));
  EXPECT_EQ(reportOf(steps, "alert"), "提示 | 充值成功 | [知道了]");

  // The withdrawal notice shows both paragraphs with their line spacing.
  const std::string notice = outputOf(steps, "tap 提现需知");
  size_t spaced = 0;
  for (size_t at = notice.find("lineSpacing=3"); at != std::string::npos;
       at = notice.find("lineSpacing=3", at + 1))
    ++spaced;
  EXPECT_EQ(spaced, 2u) << notice;

  // The roads into one game's gift packages: the detail page and the timetable hand over the
  // game's name, a slide its extras, and the game centre sets the name on the page; each page
  // shows the name and asks for it. Another slide hands the rewards page its summary.
  const std::string field = "UITextField (5,71,185,30) text=\"";
  EXPECT_TRUE(contains(outputOf(steps, "tap 礼包", "tap @50,310"), field + "星海远征\""));
  EXPECT_TRUE(contains(outputOf(steps, "tap 星海远征 礼包免费领"), field + "星海远征\""));
  EXPECT_TRUE(contains(outputOf(steps, "tap #301", "tap 开服表"), field + "剑影江湖\""));
  EXPECT_TRUE(contains(outputOf(steps, "tap #300", "tap 游戏中心"), field + "星海远征\""));
  std::vector<std::string> names;
  for (const auto& request : server().requests("getCardList")) {
    if (names.size() < 4) names.push_back(request.value("kw"));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"星海远征", "星海远征", "剑影江湖", "星海远征"}));
  EXPECT_TRUE(contains(outputOf(steps, "tap 邀请好友 赚绑金"), "text=\"您成功邀请好友2人\""));

  // Game accounts: the game centre's switch to the binding tab, a game by the letter column, a
  // bound account, a copied one, and the new-user gift in the shop app rather than the browser.
  const std::string binding = outputOf(steps, "tap #400");
  EXPECT_EQ(reportIn(binding), "tapped UIButton \"绑定账号\"");
  EXPECT_TRUE(contains(binding, "text=\"Tovira账号：\"")) << binding;
  EXPECT_EQ(reportOf(steps, "tap @60,227"), "tapped UILabel \"  H  海上劫\"");
  EXPECT_EQ(reportOf(steps, "alert", "tap 立即绑定"),
            "绑定成功 | 恭喜您，您已经绑定成功！ | [确定]");
  EXPECT_EQ(reportOf(steps, "alert", "tap #1000"), "提示 | 游戏账号已复制到剪切板 | [知道了]");
  EXPECT_TRUE(contains(outputOf(steps, "pasteboard", "tap #1000"),
                       "\n  0 public.utf8-plain-text = \"demo_hero\"\n"));
  const std::string gift = outputOf(steps, "urls", "tap 星海远征");
  EXPECT_TRUE(contains(gift, "\ntaobao://gift.example/newbie?g=101\n")) << gift;
  EXPECT_FALSE(contains(gift, "https://gift.example"));
  const auto bind = server().lastRequest("boundQx");
  ASSERT_TRUE(bind);
  EXPECT_EQ(bind->value("username") + " " + bind->value("plat_id") + " " +
                bind->value("qx_username") + " " + bind->value("password"),
            "hero2024 2 demo " + NSString::lowercaseString(EncDec::md5("pass123")));

  // Gifts: the search, one game's packages, a redemption whose code lands on the pasteboard.
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "星海远征");
  EXPECT_EQ(server().lastRequest("getCard")->value("cardid"), "9001");
  EXPECT_EQ(reportOf(steps, "alert", "tap 复制"),
            "复制成功 | 兑换码(TVR8H2KQ9ZX4)已复制到您的剪贴板 | [确定]");
  EXPECT_TRUE(contains(outputOf(steps, "pasteboard", "tap 复制"),
                       "public.utf8-plain-text = \"TVR8H2KQ9ZX4\""));
  EXPECT_TRUE(contains(outputOf(steps, "tap 领取记录"), "text=\"领取时间:"));

  // The invitation: the demo summary, the link shared to a chat and copied (the demo player's
  // link is on the demo server itself), the QR code saved, the rewards list.
  auto invite = [&](const std::string& command) { return outputOf(steps, command, "tap 邀请"); };
  EXPECT_TRUE(contains(outputOf(steps, "tap 邀请"), "text=\"成功邀请好友6人>\""));
  const std::string urls = invite("urls");
  const std::string share = urls.substr(std::min(urls.rfind("parley received from"), urls.size()));
  const std::string link = server().baseUrl() + "/invite/demo";
  EXPECT_TRUE(contains(share, "  mediaUrl = \"" + link + "\"")) << urls;
  EXPECT_TRUE(contains(share, "  scene = \"0\""));
  EXPECT_TRUE(contains(invite("pasteboard"), "public.utf8-plain-text = \"" + link + "\""));
  EXPECT_EQ(reportIn(invite("hold @160,427")), "held UIImageView for 2 s");
  EXPECT_EQ(reportIn(invite("photos")), "1 photo(s)");
  const std::string rewards = invite("tap 成功邀请好友6人>");
  for (const char* text : {"您成功邀请好友6人", "86.00个", "187****6666", "10.00绑金"})
    EXPECT_TRUE(contains(rewards, "text=\"" + std::string(text) + "\"")) << text;
  EXPECT_FALSE(contains(invite("tap 商城"), "立即邀请"));

  // Withdrawal: the account bound with the SMS code takes the band's place, 300 bound gold are
  // applied for, and the records' segments are read in the order tapped.
  const auto alipay = server().lastRequest("add_user_alipay");
  ASSERT_TRUE(alipay);
  EXPECT_EQ(alipay->value("alipay_account") + " " + alipay->value("alipay_name") + " " +
                alipay->value("code"),
            "demo@pay.example 王五 123456");
  const std::string bound = outputOf(steps, "tap 绑定");
  EXPECT_TRUE(contains(bound, "text=\"支付宝账号  demo@pay.example\"")) << bound;
  EXPECT_FALSE(contains(bound, "添加支付宝账号"));
  EXPECT_EQ(server().lastRequest("get_cash")->value("amount"), "300");
  EXPECT_EQ(reportOf(steps, "alert", "tap 申请提现"),
            "提示 | 申请成功，提交申请后两个工作日内转至支付宝账号 | [确定]");
  std::vector<std::string> types;
  for (const auto& r : server().requests("balanceList")) types.push_back(r.value("type"));
  EXPECT_EQ(types, (std::vector<std::string>{"2", "3"}));
  EXPECT_TRUE(contains(outputOf(steps, "tap 审核中"), "text=\"审核中，两个工作日内到账\""));

  // The keyboard: on the card form the account field (101 + 280 in the window) scrolls up by
  // 103 points, to end 10 points above the bar; Next goes on 25 points further; Done puts the
  // form back. On the login form each bar is titled with its field's placeholder.
  std::vector<std::string> keys;
  bool inSegment = false;
  for (const auto& [line, output] : steps) {
    if (line.rfind("# Keyboard manager", 0) == 0) inSegment = true;
    if (line.rfind("# The statistics module", 0) == 0) inSegment = false;
    if (inSegment && !output.empty()) keys.push_back(output);
  }
  ASSERT_EQ(keys.size(), 15u);
  EXPECT_TRUE(contains(keys[2], "UIKeyboard (0,352,320,216)")) << keys[2];
  EXPECT_TRUE(contains(keys[2], "KBToolbar (0,308,320,44) tag=-1005"));
  EXPECT_TRUE(contains(keys[2], "offset=(0,103) content=(0,418)"));
  EXPECT_TRUE(contains(keys[2], "UITextField (65,280,235,20) text=\"demo\" editing"));
  EXPECT_TRUE(contains(keys[3], "offset=(0,128)"));
  EXPECT_FALSE(contains(keys[4], "KBToolbar"));
  EXPECT_TRUE(contains(keys[4], "UIScrollView (320,0,320,418) content=(0,418)"));
  EXPECT_TRUE(contains(keys[8], "text=\"请输入用户名\" color=rgb(170,170,170)"));
  EXPECT_TRUE(contains(keys[10], "placeholder=\"请输入密码\" editing"));
  EXPECT_TRUE(contains(keys.back(), "title=\"商城\" color=rgb(81,158,19) selected"));
  EXPECT_FALSE(contains(keys.back(), "UIKeyboard"));
  EXPECT_FALSE(contains(keys.back(), "用户登录"));

  // The statistics module: the registration record, and the background event on the server.
  const std::string record = outputOf(steps, "pasteboard parley_register");
  EXPECT_EQ(reportIn(record), "[parley_register]");
  const std::string appId = Config::kParleyAppId;
  EXPECT_TRUE(contains(record, "\"" + appId + "\":{\"appID\":\"" + appId + "\"")) << record;
  EXPECT_TRUE(contains(record, "\"laststLaunchTime\":"));
  EXPECT_EQ(reportOf(steps, "background"), "the app went to the background and came back");
  const std::string received = outputOf(steps, "stats");
  EXPECT_TRUE(contains(received, "et=1000 onBackground_PL\n")) << received;
  EXPECT_TRUE(contains(received, "et=2\n")) << "the session of the launch";
  EXPECT_TRUE(contains(received, "last configuration: {\"1\":")) << received;

  // It ends logged in, on the tab bar, nothing presented over it, no alert up.
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
  auto tabs = std::dynamic_pointer_cast<UITabBarController>(Automation::topViewController());
  ASSERT_TRUE(tabs);
  EXPECT_FALSE(tabs->presentedViewController());
  EXPECT_EQ(Automation::alertText(), "");
}
