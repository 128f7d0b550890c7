// The withdrawal screen: the bound account or the add-account band, the balance, the six
// amounts, the application sent as "get_cash" with its trade number, and the notice popup.

#include <regex>
#include <set>

#include "ShopFixture.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/AddAlipyaVC.h"
#include "wallet/TiXianVC.h"

namespace {
const char* const kBound =
    R"({"state":"ok","data":{"alipay_account":"payee@mail.example","alipay_name":"张三"}})";
const char* const kUnbound = R"({"state":"ok","data":null})";
}  // namespace

class TiXianVCTest : public ShopFixture {
 protected:
  std::shared_ptr<TiXianVC> open(const char* alipayReply) {
    server().reply("get_alipay_info", alipayReply);
    TempData::setuserdata(user());
    return present(TiXianVC::create());
  }
  // The bands that stand in band 2's place (y 40 of the scroll view).
  static size_t bandsAt40(const std::shared_ptr<TiXianVC>& page) {
    size_t count = 0;
    for (const auto& view : page->mainScroll->subviews()) count += view->frame().origin.y == 40;
    return count;
  }
  static std::string colours(const std::shared_ptr<UIButton>& button) {
    return button->currentTitleColor()->description() + " on " +
           button->backgroundColor()->description();
  }
};

TEST_F(TiXianVCTest, ABoundAccountIsShownAndTheChosenAmountIsColouredAndApplied) {
  server().reply("get_cash", R"({"state":"ok","msg":"申请成功"})");
  auto page = open(kBound);
  EXPECT_EQ(sent("get_alipay_info"), "token=tok123&username=demo");

  shown("绑金提现");
  shown("收款信息");
  shown("支付宝账号  payee@mail.example");
  shown("收款人姓名  张三");
  EXPECT_FALSE(Automation::findByText("添加支付宝账号"));
  auto balance = shownLabel("当前数量：356绑金");
  EXPECT_EQ(colouredRanges(balance), "5+5=rgb(47,128,197)");

  EXPECT_EQ(page->amount + " " + page->getLabel->text(),
            "100 您申请提现的绑金数量为100，可获得现金40");
  // Four amounts to a row, a quarter of the width less the gaps.
  EXPECT_EQ(frames({page->btn1, page->btn4, page->btn6, page->mainScroll, page->backView4}),
            "(20,10,62.5,30) (237.5,10,62.5,30) (92.5,50,62.5,30) (0,66,320,502) (0,160,320,342)");
  EXPECT_EQ(colours(page->btn1), "rgb(255,255,255) on rgb(248,67,47)");
  EXPECT_EQ(colours(page->btn2), "rgb(0,0,0) on rgb(207,204,205)");

  Automation::tap(page->btn5);
  EXPECT_EQ(page->amount + " " + page->getLabel->text(),
            "3000 您申请提现的绑金数量为3000，可获得现金1200");
  EXPECT_EQ(colouredRanges(page->getLabel), "11+4=rgb(248,67,47) 21+4=rgb(248,67,47)");
  EXPECT_EQ(colours(page->btn5), "rgb(255,255,255) on rgb(248,67,47)");
  EXPECT_EQ(colours(page->btn1), "rgb(0,0,0) on rgb(207,204,205)");

  Automation::tap(shown("申请提现"));
  EXPECT_EQ(takeAlert(), "提示 | 申请成功，提交申请后两个工作日内转至支付宝账号 | [确定]");
  EXPECT_TRUE(std::regex_match(
      sent("get_cash"), std::regex("amount=3000&orderid=[0-9A-Z]{15}&token=tok123&username=demo")))
      << sent("get_cash");

  // The balance line keeps the value the screen was opened with.
  TempData::setuserdata(Value());
  shown("当前数量：356绑金");
  EXPECT_EQ(Automation::topViewController(), page);
}

TEST_F(TiXianVCTest, TwoApplicationsInTheSameSecondCarryDifferentTradeNumbers) {
  server().reply("get_cash", R"({"state":"ok"})");
  open(kBound);
  Automation::tap(shown("申请提现"));
  takeAlert();
  Automation::tap(shown("申请提现"));
  takeAlert();
  const auto sent = server().requests("get_cash");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_NE(sent[0].value("orderid"), sent[1].value("orderid"));

  std::set<std::string> numbers;
  for (int i = 0; i < 2000; ++i) {
    const std::string number = TiXianVC::generateTradeNO();
    ASSERT_EQ(number.size(), 15u);
    numbers.insert(number);
  }
  EXPECT_EQ(numbers.size(), 2000u);
}

TEST_F(TiXianVCTest, TheAddAccountBandIsReplacedOnEveryAppearanceNeverStacked) {
  auto page = open(kUnbound);
  auto add = std::dynamic_pointer_cast<UIButton>(shown("添加支付宝账号"));
  ASSERT_TRUE(add);
  EXPECT_EQ(add->frame(), CGRectMake(20, 10, 280, 60));
  EXPECT_EQ(add->layer().lineDashPattern(), (std::vector<double>{4, 2}));
  EXPECT_EQ(add->layer().borderColor()->description(), "rgb(216,214,215)");

  for (int round = 0; round < 3; ++round) {
    Automation::tap(shown("添加支付宝账号"));
    pump();
    ASSERT_TRUE(std::dynamic_pointer_cast<AddAlipyaVC>(Automation::topViewController()));
    Automation::tapText("返回");
    pump();
    ASSERT_EQ(Automation::topViewController(), page);
    EXPECT_EQ(Automation::findAllByText("添加支付宝账号").size(), 1u);
    EXPECT_EQ(bandsAt40(page), 1u);
  }
  EXPECT_EQ(server().requests("get_alipay_info").size(), 4u);

  // Back from a successful binding, the account takes the band's place.
  server().reply("get_alipay_info", kBound);
  server().reply("add_user_alipay", R"({"state":"ok"})");
  Automation::tap(shown("添加支付宝账号"));
  pump();
  Automation::tapText("绑定");
  pump();
  EXPECT_EQ(Automation::topViewController(), page);
  shown("支付宝账号  payee@mail.example");
  EXPECT_FALSE(Automation::findByText("添加支付宝账号"));
  EXPECT_EQ(bandsAt40(page), 1u);
}

TEST_F(TiXianVCTest, ARefusedAccountRequestShowsTheMessageAndANilReplyNoEmptyAlert) {
  server().replyRaw("get_cash", "<html>busy</html>");
  TempData::setuserdata(user());
  server().replyRaw("get_alipay_info", "<html>busy</html>");
  // Only the transport's own alert: no empty "提示" after it.
  auto page = present(TiXianVC::create());
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_FALSE(Automation::currentAlert());
  EXPECT_EQ(bandsAt40(page), 0u);
  Automation::tap(shown("申请提现"));
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_FALSE(Automation::currentAlert());
  EXPECT_EQ(server().requests("get_cash").size(), 1u);

  server().reply("get_alipay_info", R"({"state":"error","msg":"登录已过期"})");
  page->viewWillAppear(false);
  EXPECT_EQ(takeAlert(), "提示 | 登录已过期 | [确定]");
  EXPECT_EQ(bandsAt40(page), 0u);

  // Without an account or a tap, the first amount is sent, and a refusal shows its message.
  server().reply("get_cash", R"({"state":"error","msg":"请先绑定支付宝"})");
  Automation::tap(shown("申请提现"));
  EXPECT_EQ(takeAlert(), "提示 | 请先绑定支付宝 | [确定]");
  EXPECT_EQ(server().lastRequest("get_cash")->value("amount"), "100");
}

TEST_F(TiXianVCTest, TheNoticePopupOpensOverAMaskAndClosesWithItsButton) {
  auto page = open(kBound);
  Automation::tap(shown("提现需知"));
  pump();
  ASSERT_TRUE(page->needKnowView);
  EXPECT_EQ(page->needKnowView->frame(), CGRectMake(20, (568 - 250) / 2.0, 280, 250));
  ASSERT_TRUE(page->mask);
  EXPECT_EQ(page->mask->alpha(), 0.5);
  inside(page->needKnowView, "提现需知");
  inside(page->needKnowView,
         "支付宝提现将在2个工作日内处理，请及时查收，支付宝账户需实名认证，没有实名认证的账户提现无"
         "法到账。");
  auto know = inside(page->needKnowView, "我知道了");
  ASSERT_TRUE(know);
  EXPECT_EQ(know->frame(), CGRectMake(40, 200, 200, 30));
  Automation::tap(know);
  pump();
  EXPECT_FALSE(page->needKnowView);
  EXPECT_EQ(page->view()->subviews().size(), 2u) << "the top bar and the scroll view remain";
}

TEST_F(TiXianVCTest, TheNoticeParagraphsAreSpacedThreePointsAndEveryLineFitsItsRow) {
  auto page = open(kBound);
  Automation::tap(shown("提现需知"));
  pump();
  ASSERT_TRUE(page->needKnowView);
  const struct {
    const char* text;
    CGRect frame;
    size_t lines;
  } rows[] = {
      {"支付宝提现将在2个工作日内处理，请及时查收，支付宝账户需实名认证，没有实名认证的账户提现"
       "无法到账。",
       CGRectMake(33, 40, 237, 60), 3},
      {"提现前请仔细检查自己所填写的收款信息准确无误，支付后由于用户自身问题（如收款信息填写错误"
       "等）造成的资金冻结、消失，本站概不负责。",
       CGRectMake(33, 110, 237, 80), 4}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.frame.origin.y);
    auto paragraph = std::dynamic_pointer_cast<UILabel>(inside(page->needKnowView, row.text));
    ASSERT_TRUE(paragraph);
    EXPECT_EQ(paragraph->frame(), row.frame);
    EXPECT_EQ(paragraph->lineSpacing(), 3);
    // The spaced text still fits its row whole: nothing of the payout terms is cut.
    EXPECT_EQ(paragraph->visibleLines().size(), row.lines);
    EXPECT_LE(paragraph->sizeThatFits(row.frame.size).height, row.frame.size.height);
    EXPECT_DOUBLE_EQ(paragraph->visibleLineTops()[1], 16.8 + 3);
  }
  EXPECT_NE(Automation::dumpScreen().find("text=\"提现前请仔细检查自己所填写的收款信息准确无误，"
                                          "支付后由于用户自身问题（如收款信息填写错误等）造成的资"
                                          "金冻结、消失，本站概不负责。\" color=rgb(0,0,0) "
                                          "font=system 14 lineSpacing=3\n"),
            std::string::npos);
}

TEST_F(TiXianVCTest, AnAccountReplyWhoseDataIsNoDictionaryOffersToAddAnAccount) {
  for (const char* reply : {R"({"state":"ok","data":"payee@mail.example"})",
                            R"({"state":"ok","data":[{"alipay_account":"x"}]})"}) {
    SCOPED_TRACE(reply);
    auto page = open(reply);
    shown("添加支付宝账号");
    EXPECT_FALSE(Automation::findContainingText("支付宝账号  "));
    EXPECT_EQ(bandsAt40(page), 1u);
    Automation::tapText("返回");
    pump();
  }
}
