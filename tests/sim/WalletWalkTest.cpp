// The walk's wallet segment: from the player's page it binds the Alipay account with the SMS
// code, withdraws 300 bound gold and reads the three money records.

#include "WalkRunner.h"
#include "core/TempData.h"

using WalletWalkTest = WalkTest;

TEST_F(WalletWalkTest, TheWalkBindsAlipayWithdrawsAndReadsTheMoneyRecords) {
  WalkRunner walk(server());
  const auto steps = walk.steps(WalkRunner::walkScript());

  EXPECT_TRUE(contains(outputOf(steps, "tap 提现"), "text=\"绑金提现\""));
  EXPECT_TRUE(contains(outputOf(steps, "tap 获取验证码"), "title=\"已发送(60)\""));
  auto bind = server().lastRequest("add_user_alipay");
  ASSERT_TRUE(bind);
  EXPECT_EQ(bind->value("alipay_account"), "demo@pay.example");
  EXPECT_EQ(bind->value("alipay_name"), "王五");
  EXPECT_EQ(bind->value("code"), "123456");
  EXPECT_EQ(server().requests("get_code_by_token").size(), 1u);
  const std::string bound = outputOf(steps, "tap 绑定");
  EXPECT_TRUE(contains(bound, "text=\"支付宝账号  demo@pay.example\"")) << bound;
  EXPECT_FALSE(contains(bound, "添加支付宝账号"));

  auto cash = server().lastRequest("get_cash");
  ASSERT_TRUE(cash);
  EXPECT_EQ(cash->value("amount"), "300");
  EXPECT_EQ(cash->value("orderid").size(), 15u);
  EXPECT_EQ(reportOf(steps, "alert", "tap 申请提现"),
            "提示 | 申请成功，提交申请后两个工作日内转至支付宝账号 | [确定]");

  std::vector<std::string> types;
  for (const auto& r : server().requests("balanceList")) types.push_back(r.value("type"));
  EXPECT_EQ(types, (std::vector<std::string>{"2", "3"}));
  EXPECT_EQ(server().requests("get_cash_record").size(), 1u);
  const std::string records = outputOf(steps, "tap 审核中");
  EXPECT_TRUE(contains(records, "text=\"打款完成\""));
  EXPECT_TRUE(contains(records, "text=\"审核中，两个工作日内到账\"")) << "the remark bubble";
}

TEST_F(WalletWalkTest, TheSecondDemoPlayerHasHisAlipayAccountBoundAlready) {
  WalkRunner walk(server());
  const auto steps = walk.steps(
      "launch\ntap 立即体验\ntap 进入平台\ntap 我的\ntap 点击登录\ntap #1\ntype demo2\ntap #2\n"
      "type demo123\ntap 登录\ntap 提现\n");
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo2");
  EXPECT_TRUE(contains(outputOf(steps, "tap 提现"), "text=\"支付宝账号  demo2@pay.example\""));
  EXPECT_EQ(server().lastRequest("get_alipay_info")->value("username"), "demo2");
}
