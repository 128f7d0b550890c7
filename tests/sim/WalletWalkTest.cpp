// The walk's wallet segment: from the player's page it binds the Alipay account with the SMS
// code, withdraws 300 bound gold and reads the three money records, and ends on the tab bar.

#include "WalkRunner.h"
#include "core/TempData.h"
#include "shell/ShellTestFixture.h"
#include "shell/TabBarController.h"

class WalletWalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    useDemoReplies();
  }

  // Runs resources/walk.txt against the demo server and answers its output as lines.
  std::vector<std::string> runWalk() { return run(WalkRunner::walkScript()); }

  // Runs a script against the demo server and answers its output as lines.
  std::vector<std::string> run(const std::string& script) {
    return WalkRunner(server()).run(script);
  }

  // What the command printed: its report and the screen, up to the next command (the last
  // time the command appears in the walk).
  static std::string outputOf(const std::vector<std::string>& lines, const std::string& command) {
    auto it = std::find(lines.rbegin(), lines.rend(), "> " + command);
    if (it == lines.rend()) return "(missing)";
    std::string text;
    for (auto line = it.base(); line != lines.end() && line->rfind("> ", 0) != 0; ++line)
      text += *line + "\n";
    return text;
  }

  static bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(WalletWalkTest, TheWalkBindsAlipayWithdrawsAndReadsTheMoneyRecords) {
  const auto lines = runWalk();
  for (const auto& line : lines) {
    EXPECT_EQ(line.rfind("nothing to tap", 0), std::string::npos) << line;
    EXPECT_EQ(line.rfind("no text field", 0), std::string::npos) << line;
  }

  EXPECT_TRUE(contains(outputOf(lines, "tap 提现"), "text=\"绑金提现\""));
  EXPECT_TRUE(contains(outputOf(lines, "tap 获取验证码"), "title=\"已发送(60)\""));
  auto bind = server().lastRequest("add_user_alipay");
  ASSERT_TRUE(bind);
  EXPECT_EQ(bind->value("alipay_account"), "demo@pay.example");
  EXPECT_EQ(bind->value("alipay_name"), "王五");
  EXPECT_EQ(bind->value("code"), "123456");
  EXPECT_EQ(server().requests("get_code_by_token").size(), 1u);
  const std::string bound = outputOf(lines, "tap 绑定");
  EXPECT_TRUE(contains(bound, "text=\"支付宝账号  demo@pay.example\"")) << bound;
  EXPECT_FALSE(contains(bound, "添加支付宝账号"));

  auto cash = server().lastRequest("get_cash");
  ASSERT_TRUE(cash);
  EXPECT_EQ(cash->value("amount"), "300");
  EXPECT_EQ(cash->value("orderid").size(), 15u);
  EXPECT_TRUE(contains(outputOf(lines, "alert"),
                       "提示 | 申请成功，提交申请后两个工作日内转至支付宝账号 | [确定]"));

  std::vector<std::string> types;
  for (const auto& r : server().requests("balanceList")) types.push_back(r.value("type"));
  EXPECT_EQ(types, (std::vector<std::string>{"2", "3"}));
  EXPECT_EQ(server().requests("get_cash_record").size(), 1u);
  const std::string records = outputOf(lines, "tap 审核中");
  EXPECT_TRUE(contains(records, "text=\"打款完成\""));
  EXPECT_TRUE(contains(records, "text=\"审核中，两个工作日内到账\"")) << "the remark bubble";

  // The walk ends on the tab bar with nothing over it.
  auto tabs = std::dynamic_pointer_cast<TabBarController>(Automation::topViewController());
  ASSERT_TRUE(tabs);
  EXPECT_FALSE(Automation::currentAlert());
}

TEST_F(WalletWalkTest, TheSecondDemoPlayerHasHisAlipayAccountBoundAlready) {
  const auto lines =
      run("launch\ntap 立即体验\ntap 进入平台\ntap 我的\ntap 点击登录\ntap #1\ntype demo2\ntap #2\n"
          "type demo123\ntap 登录\ntap 提现\n");
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo2");
  bool shown = false;
  for (const auto& line : lines)
    shown = shown || line.find("text=\"支付宝账号  demo2@pay.example\"") != std::string::npos;
  EXPECT_TRUE(shown);
  EXPECT_EQ(server().lastRequest("get_alipay_info")->value("username"), "demo2");
}
