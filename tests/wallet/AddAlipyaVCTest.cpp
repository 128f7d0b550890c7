// The Alipay binding form: its rows, the SMS code with its 60-second countdown on the virtual
// clock, the confirmation check and the binding sent as "add_user_alipay".

#include "ShopFixture.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UITextField.h"
#include "wallet/AddAlipyaVC.h"

class AddAlipyaVCTest : public ShopFixture {
 protected:
  std::shared_ptr<AddAlipyaVC> open() {
    TempData::setuserdata(user());
    return present(AddAlipyaVC::create());
  }
  static void fill(const std::shared_ptr<AddAlipyaVC>& form, const std::string& account,
                   const std::string& confirm, const std::string& name, const std::string& code) {
    Automation::type(form->zfb_accText, account);
    Automation::type(form->confirmText, confirm);
    Automation::type(form->nameText, name);
    Automation::type(form->codeText, code);
  }
  static std::string button(const std::shared_ptr<AddAlipyaVC>& form) {
    return form->codeBtn->currentTitle() +
           (form->codeBtn->isUserInteractionEnabled() ? " ready" : " busy") + " alpha " +
           std::to_string(form->codeBtn->alpha()).substr(0, 3);
  }
};

TEST_F(AddAlipyaVCTest, TheFormShowsItsFiveRowsWithTheLoggedInAccount) {
  auto form = open();
  shown("绑金提现");
  const std::vector<std::pair<std::shared_ptr<UITextField>, std::string>> rows = {
      {form->zfb_accText, "填写正确的支付宝账号"},
      {form->confirmText, "确认支付宝账号"},
      {form->nameText, "收款人姓名"},
      {form->qx_accText, ""},
      {form->codeText, "请输入手机验证码"}};
  double y = 10;
  for (const auto& [field, placeholder] : rows) {
    SCOPED_TRACE(placeholder);
    EXPECT_EQ(field->placeholder(), placeholder);
    EXPECT_EQ(field->superview()->frame(), CGRectMake(10, y, 300, 40));
    y += 50;
  }
  EXPECT_EQ(form->qx_accText->text(), "demo");
  EXPECT_EQ(form->qx_accText->frame().size.width, 100);
  EXPECT_EQ(form->codeBtn->frame(), CGRectMake(220, 7.5, 70, 25));
  EXPECT_EQ(button(form), "获取验证码 ready alpha 1.0");
  EXPECT_EQ(shown("绑定")->frame(), CGRectMake(10, 260, 300, 40));
  shown("绑定需知");
  shown("1.请仔细确认绑定的支付宝的正确性，以免绑定错误给您带来损失。");
}

TEST_F(AddAlipyaVCTest, TheCodeButtonCountsDownSixtySecondsAndThenCountsAgainFromSixty) {
  server().reply("get_code_by_token", R"({"state":"ok","msg":"验证码已发送"})");
  auto form = open();
  // The code goes to the logged-in user whatever the account row says.
  Automation::clearField(form->qx_accText);
  Automation::type(form->qx_accText, "someone_else");
  // Twice: after the count the button counts again from sixty.
  for (size_t round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    Automation::tap(form->codeBtn);
    EXPECT_EQ(sent("get_code_by_token"), "token=tok123&username=demo");
    EXPECT_FALSE(Automation::currentAlert());
    EXPECT_EQ(button(form), "已发送(60) busy alpha 0.5");
    advance(1);
    EXPECT_EQ(button(form), "已发送(59) busy alpha 0.5");
    Automation::tap(form->codeBtn);  // ignored while counting
    EXPECT_EQ(server().requests("get_code_by_token").size(), round);
    advance(58);
    EXPECT_EQ(button(form), "已发送(1) busy alpha 0.5");
    advance(1);
    EXPECT_EQ(button(form), "获取验证码 ready alpha 1.0");
    EXPECT_FALSE(form->timer && form->timer->isValid());
  }
}

TEST_F(AddAlipyaVCTest, ARefusedCodeRequestShowsTheMessageAndANilReplyNoEmptyAlert) {
  server().reply("get_code_by_token", R"({"state":"error","msg":"今日次数已用完"})");
  auto form = open();
  Automation::tap(form->codeBtn);
  EXPECT_EQ(takeAlert(), "提示 | 今日次数已用完 | [确定]");
  EXPECT_EQ(button(form), "获取验证码 ready alpha 1.0");

  server().replyRaw("get_code_by_token", "not json");
  server().replyRaw("add_user_alipay", "not json");
  // Only the transport's own alert: no empty "提示" after it.
  Automation::tap(form->codeBtn);
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_FALSE(Automation::currentAlert());
  Automation::tap(shown("绑定"));
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_FALSE(Automation::currentAlert());
  EXPECT_EQ(server().requests("add_user_alipay").size(), 1u);
  EXPECT_EQ(Automation::topViewController(), form);
}

TEST_F(AddAlipyaVCTest, AFormClosedMidCountCountsDownToTheEndAndThenLetsTheFormGo) {
  server().reply("get_code_by_token", R"({"state":"ok"})");
  std::weak_ptr<AddAlipyaVC> weak;
  std::weak_ptr<UIButton> weakButton;
  std::weak_ptr<NSTimer> weakTimer;
  {
    auto form = open();
    weak = form;
    weakButton = form->codeBtn;
    Automation::tap(form->codeBtn);
    advance(5);
    EXPECT_EQ(button(form), "已发送(55) busy alpha 0.5");
    weakTimer = form->timer;
    Automation::tap(form->backlabel);
    pump();
  }
  EXPECT_EQ(Automation::topViewController(), home_);
  // The countdown goes on behind the closed form until its end.
  advance(53);
  ASSERT_FALSE(weak.expired()) << "the running countdown holds its form";
  EXPECT_EQ(button(weak.lock()), "已发送(2) busy alpha 0.5");
  EXPECT_TRUE(weakTimer.lock() && weakTimer.lock()->isValid());
  advance(2);
  EXPECT_TRUE(weakTimer.expired() || !weakTimer.lock()->isValid());
  EXPECT_TRUE(weak.expired()) << "the ended countdown let the form go";
  EXPECT_TRUE(weakButton.expired());
  advance(120);
  EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
}

TEST_F(AddAlipyaVCTest, TheBindingSendsAccountAndNameEscapedAndClosesOnSuccess) {
  server().reply("add_user_alipay", R"({"state":"ok","msg":"绑定成功"})");
  auto form = open();
  fill(form, "pay me&x=1@例子.example", "pay me&x=1@例子.example", "张 三", "12 34");
  Automation::tap(shown("绑定"));
  pump();
  EXPECT_EQ(sent("add_user_alipay"),
            "alipay_account=pay me&x=1@例子.example&alipay_name=张 三&code=12 34&token=tok123&"
            "username=demo");
  auto request = server().lastRequest("add_user_alipay");
  EXPECT_NE(request->raw.find("alipay_account=pay%20me%26x%3D1@%E4%BE%8B%E5%AD%90.example"),
            std::string::npos)
      << request->raw;
  EXPECT_NE(request->raw.find("alipay_name=%E5%BC%A0%20%E4%B8%89"), std::string::npos);
  EXPECT_NE(request->raw.find("code=12 34"), std::string::npos) << "the code travels as typed";
  EXPECT_FALSE(Automation::currentAlert());
  EXPECT_EQ(Automation::topViewController(), home_);
}

TEST_F(AddAlipyaVCTest, TheBindingFormComparesTheAccountWithItsConfirmation) {
  server().reply("add_user_alipay", R"({"state":"error","msg":"验证码错误"})");
  auto form = open();
  // An empty form is still sent: its two empty accounts agree.
  Automation::tap(shown("绑定"));
  EXPECT_EQ(takeAlert(), "提示 | 验证码错误 | [确定]");
  EXPECT_EQ(sent("add_user_alipay"),
            "alipay_account=&alipay_name=&code=&token=tok123&username=demo");

  fill(form, "payee@mail.example", "payee@mail.exampel", "张三", "1234");
  Automation::tap(shown("绑定"));
  EXPECT_EQ(takeAlert(), "提示 | 两次输入的支付宝账号不一致 | [确定]");
  EXPECT_EQ(server().requests("add_user_alipay").size(), 1u);

  // Once they agree the binding is sent, and a refusal keeps what was typed.
  Automation::clearField(form->confirmText);
  Automation::type(form->confirmText, "payee@mail.example");
  Automation::tap(shown("绑定"));
  EXPECT_EQ(takeAlert(), "提示 | 验证码错误 | [确定]");
  EXPECT_EQ(server().requests("add_user_alipay").size(), 2u);
  EXPECT_EQ(form->confirmText->text() + " " + form->nameText->text() + " " + form->codeText->text(),
            "payee@mail.example 张三 1234");
  EXPECT_EQ(Automation::topViewController(), form);
}
