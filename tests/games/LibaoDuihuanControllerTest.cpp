// One game's packages: the name it lists, its rows, paging and search, the detail popup and the
// redemption road down to the pasteboard.

#include <tuple>

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIActivityIndicatorView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIWindow.h"

class PackagesTest : public GamesFixture {
 protected:
  static std::string onePackage(const std::string& percent, const std::string& extra = "") {
    return R"({"state":"ok","data":[{"qx_cardid":"77","plat_gamename":"星海","cardname":"新手礼包",)"
           R"("cardcontent":"金币x100","cardusage":"设置里输入","qx_cardprice":"15","rpercent":")" +
           percent + R"(","plat_gameicon":"","plat_id":"3")" + extra + "}]}";
  }
  // The row's subview that is a plain view at this frame origin.
  static std::shared_ptr<UIView> at(const std::shared_ptr<UIView>& row, double x, double y) {
    for (const auto& sub : row->subviews())
      if (sub->frame().origin.x == x && sub->frame().origin.y == y) return sub;
    return nullptr;
  }
};

TEST_F(PackagesTest, AHandedOverNameWinsOverTheSetNameAndTheHandOverIsCleared) {
  TempData::setcontrollerdata(Value::dict({{"gamename", "星海 远征"}}));
  auto packages = openPackages("别的游戏");
  EXPECT_EQ(sent("getCardList"), "c_t=i&kw=星海 远征&page=1&qx_cardtype=2");
  EXPECT_NE(server().lastRequest()->raw.find("kw=%E6%98%9F%E6%B5%B7%20%E8%BF%9C%E5%BE%81"),
            std::string::npos);
  EXPECT_EQ(packages->searchgame()->text(), "星海 远征");
  EXPECT_TRUE(packages->searchgamelabel()->isHidden());
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
}

TEST_F(PackagesTest, AHandOverWithoutGamenameOpensThePackagesWithNoSearch) {
  TempData::setcontrollerdata(Value::dict({{"sid", "7"}, {"title", "活动"}}));
  auto packages = openPackages();
  EXPECT_EQ(sent("getCardList"), "c_t=i&page=1&qx_cardtype=2");
  EXPECT_EQ(packages->searchgame()->text(), "");
  EXPECT_FALSE(packages->searchgamelabel()->isHidden());
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
}

TEST_F(PackagesTest, SearchWordsArePercentEscapedSoThatTheyCannotAddKeys) {
  auto packages = openPackages();
  Automation::type(packages->searchgame(), "a&page=9 b");
  tapAndWait(shown("搜索"));
  const auto request = server().lastRequest("getCardList");
  EXPECT_EQ(request->value("kw"), "a&page=9 b");
  EXPECT_EQ(request->value("page"), "1");
  EXPECT_NE(request->raw.find("kw=a%26page%3D9%20b&"), std::string::npos) << request->raw;
}

TEST_F(PackagesTest, ARowShowsTitleStockDetailPriceAndRedeemButtonInPlace) {
  server().replyOnce("getCardList", onePackage("40"));
  auto packages = openPackages();
  auto list = rows(packages->mainscroll());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(packages->mainscroll()->contentSize().height, 80);
  // Platform 3 marks the icon as an H5 game (the badge after the icon); the bar is 40% full.
  EXPECT_EQ(Automation::dumpView(list[0]),
            R"dump(UIView (0,0,310,76) tag=8 bg=rgb(255,255,255) radius=5
  UIImageView (10,10,56,56) image=ic_launcher
  UIImageView (10,10,23,23) image=ktr_center_h5First.png
  UILabel (71,10,72,20) text="星海新手礼包" color=rgb(0,0,0) font=system 12
  UIView (71,35,120,8) bg=rgb(191,191,191) radius=4
    UIView (0,0,48,8) bg=rgb(69,165,49) radius=4
  UILabel (191,35,26.5,8) text="剩40%" color=rgb(0,0,0) font=system 10 ranges=[1+3 rgb(126,181,64)]
  UILabel (71,48,50,20) text="礼包详情" color=rgb(0,0,0) font=system 12
    UILabel (0,0,0,0) tag=1 text="金币x100" color=rgb(0,0,0) font=system 17 hidden
    UILabel (0,0,0,0) tag=2 text="设置里输入" color=rgb(0,0,0) font=system 17 hidden
  UILabel (131,48,105,20) text="价格:15绑金(金币)" color=rgb(0,0,0) font=system 12 ranges=[3+8 rgb(247,82,55)]
  UIButton (230,23,70,30) title="兑换" color=rgb(255,255,255) bg=rgb(69,165,49) radius=5
    UILabel (0,0,0,0) tag=1 text="星海" color=rgb(0,0,0) font=system 17 hidden
    UILabel (0,0,0,0) tag=2 text="新手礼包" color=rgb(0,0,0) font=system 17 hidden
    UILabel (0,0,0,0) tag=3 text="15" color=rgb(0,0,0) font=system 17 hidden
    UILabel (0,0,0,0) tag=4 text="77" color=rgb(0,0,0) font=system 17 hidden
)dump");
  // The detail popup shows content and usage over the mask until confirmed.
  Automation::tap(shown("礼包详情"));
  EXPECT_EQ(packages->libaoneironglabel()->text(), "礼包包含：金币x100");
  EXPECT_EQ(packages->shiyongfangfalabel()->text(), "使用方法：设置里输入");
  EXPECT_TRUE(Automation::isVisible(packages->libaoxiangqingview()));
  EXPECT_FALSE(packages->mask()->isHidden());
  Automation::tap(shown("确定"));
  EXPECT_TRUE(packages->libaoxiangqingview()->isHidden() && packages->mask()->isHidden());
}

TEST_F(PackagesTest, TheStockBarStaysBetweenEmptyAndFullWhateverTheServerSends) {
  for (const auto& [percent, width, text] :
       std::vector<std::tuple<std::string, double, std::string>>{
           {"0", 0, "剩0%"}, {"100", 120, "剩100%"}, {"250", 120, "剩100%"}, {"-20", 0, "剩0%"}}) {
    server().replyOnce("getCardList", onePackage(percent));
    auto packages = openPackages();
    auto row = rows(packages->mainscroll()).at(0);
    EXPECT_EQ(at(row, 71, 35)->subviews()[0]->frame().size.width, width) << percent;
    EXPECT_TRUE(inside(row, text)) << percent;
  }
}

TEST_F(PackagesTest, ARedemptionShowsTheCodeCopiesExactlyItAndLogsThePlayerInAgain) {
  logIn();
  server().replyOnce("getCardList", onePackage("40"));
  server().reply("getCard", R"({"state":"ok","data":{"card":"GIFT-123"}})");
  server().reply("login", R"({"state":"ok","data":{"username":"demo","token":"new","gold":"9"}})");
  auto packages = openPackages();
  Automation::tap(shown("兑换"));
  EXPECT_EQ(colouredRanges(shownLabel("星海新手礼包")), "0+2=rgb(247,82,55)");
  EXPECT_EQ(colouredRanges(shownLabel("绑金兑换:15绑金")), "5+4=rgb(247,82,55)");
  EXPECT_EQ(packages->cardid(), "77");

  tapAndWait(shown("确认领取"));
  EXPECT_EQ(sent("getCard"), "cardid=77&token=tok123&username=demo");
  EXPECT_EQ(packages->libaocodelabel()->text(), "GIFT-123");
  EXPECT_TRUE(Automation::isVisible(packages->libaocodeview()));
  EXPECT_TRUE(packages->lingqulibaoview()->isHidden());
  EXPECT_EQ(TempData::getuserdata()["token"].str(), "new");

  Automation::tap(shown("复制"));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "GIFT-123");
  EXPECT_EQ(takeAlert(), "复制成功 | 兑换码(GIFT-123)已复制到您的剪贴板 | [确定]");
  EXPECT_TRUE(packages->libaocodeview()->isHidden() && packages->mask()->isHidden());
}

TEST_F(PackagesTest, ARedemptionAnsweredOkWithoutACodeIsAFailureAndCopiesNothing) {
  UIPasteboard::generalPasteboard()->setString("before");
  server().replyOnce("getCardList", onePackage("40"));
  auto packages = openPackages();
  Automation::tap(shown("兑换"));
  // Logged out, the login screen comes first and nothing is sent.
  tapAndWait(shown("确认领取"));
  closeLogin();
  EXPECT_EQ(sent("getCard"), "(none)");
  logIn();
  // A refusal shows the server's message; so does an "ok" without a code.
  for (const auto& [reply, alert] :
       {std::pair{R"({"state":"error","msg":"绑金不足"})", "领取礼包失败 | 绑金不足 | [确定]"},
        std::pair{R"({"state":"ok","msg":"库存已空","data":{"card":""}})",
                  "领取礼包失败 | 库存已空 | [确定]"}}) {
    server().reply("getCard", reply);
    Automation::tap(shown("确认领取"));
    EXPECT_EQ(takeAlert(), alert);
    EXPECT_TRUE(packages->libaocodeview()->isHidden());
    EXPECT_TRUE(Automation::isVisible(packages->lingqulibaoview()));
  }
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "before");
  Automation::tap(shown("取消"));
  EXPECT_TRUE(packages->lingqulibaoview()->isHidden() && packages->mask()->isHidden());
}

TEST_F(PackagesTest, OnlyOnePageRequestIsUnderWayAtATime) {
  server().replyOnce("getCardList", packagesPage("a", 6));
  server().replyOnce("getCardList", packagesPage("b", 6), 0.3);
  auto packages = openPackages();
  EXPECT_TRUE(packages->mask()->isHidden() && !packages->waitview()->isAnimating());
  scrollToEnd(packages->mainscroll());
  scrollToEnd(packages->mainscroll());
  pump();
  scrollToEnd(packages->mainscroll());
  pump();
  const auto requests = server().requests("getCardList");
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].value("page"), "2");
  EXPECT_EQ(requests[2].value("page"), "3");
  // The second page lies below the first.
  const auto list = rows(packages->mainscroll());
  ASSERT_EQ(list.size(), 12u);
  EXPECT_EQ(list[11]->frame().origin.y, 880);
  EXPECT_EQ(packages->mainscroll()->contentSize().height, 960);
}

TEST_F(PackagesTest, AFailedPageIsAskedForAgainOnTheNextScroll) {
  server().replyOnce("getCardList", packagesPage("a", 6));
  server().replyOnce("getCardList", R"({"state":"error","msg":"busy"})");
  server().replyOnce("getCardList", R"({"state":"ok","data":null})");
  server().replyOnce("getCardList", packagesPage("b", 1));
  auto packages = openPackages();
  for (int i = 0; i < 3; ++i) {
    scrollToEnd(packages->mainscroll());
    pump();
  }
  const auto requests = server().requests("getCardList");
  ASSERT_EQ(requests.size(), 4u);
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(requests[i].value("page"), "2");
  EXPECT_EQ(rows(packages->mainscroll()).size(), 7u);
  EXPECT_EQ(packages->page(), 3);
  EXPECT_TRUE(packages->mask()->isHidden());
}

TEST_F(PackagesTest, AReplyForAnEarlierSearchIsDroppedNeverAppended) {
  server().replyOnce("getCardList", packagesPage("old", 3), 0.5);
  server().replyOnce("getCardList", packagesPage("new", 2));
  showHome();
  auto packages = LibaoDuihuanController::create();
  home_->presentViewController(packages, false);
  awaitRequests("getCardList", 1);
  // The player taps the mask away during the load and searches.
  Automation::tap(packages->mask());
  Automation::type(packages->searchgame(), "新");
  tapAndWait(shown("搜索"));
  auto list = rows(packages->mainscroll());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_TRUE(inside(list[0], "星海new礼包0"));
  EXPECT_EQ(packages->mainscroll()->contentSize().height, 160);
  EXPECT_EQ(packages->page(), 2);
}

TEST_F(PackagesTest, AListThatIsNoArrayOrHoldsNoDictionariesAddsNothing) {
  server().replyOnce("getCardList", R"({"state":"ok","data":{"qx_cardid":"1"}})");
  server().replyOnce("getCardList", R"({"state":"ok","data":["x",3,null,[1]]})");
  auto packages = openPackages();
  EXPECT_TRUE(rows(packages->mainscroll()).empty());
  EXPECT_EQ(packages->page(), 1);
  packages->loadmainscroll();
  pump();
  EXPECT_TRUE(rows(packages->mainscroll()).empty());
  EXPECT_EQ(packages->mainscroll()->contentSize().height, 0);
}

TEST_F(PackagesTest, ThePromptLabelShowsExactlyWhenTheFieldIsEmpty) {
  auto packages = openPackages();
  auto field = packages->searchgame();
  Automation::type(field, "ab");
  EXPECT_TRUE(packages->searchgamelabel()->isHidden());
  field->setSelectedRange(NSMakeRange(0, 2));
  field->deleteBackward();
  EXPECT_EQ(field->text(), "");
  EXPECT_FALSE(packages->searchgamelabel()->isHidden());
  Automation::type(field, "c");
  Automation::clearField(field);
  EXPECT_FALSE(packages->searchgamelabel()->isHidden());
}

TEST_F(PackagesTest, TheHowToEarnPopupClosesWithItsButtonOrTheMaskAndTheRecordsAskForALogin) {
  auto packages = openPackages();
  Automation::tap(shown("怎样获得金币"));
  EXPECT_TRUE(Automation::isVisible(packages->howgetgoldview()));
  Automation::tapAt(CGPointMake(5, 550));  // the mask, beside the popup
  EXPECT_TRUE(packages->howgetgoldview()->isHidden() && packages->mask()->isHidden());
  Automation::tap(shown("怎样获得金币"));
  Automation::tap(shown("我知道了"));
  EXPECT_TRUE(packages->howgetgoldview()->isHidden());
  // Logged in, the records open (the walk goes there); logged out, the login screen first.
  tapAndWait(shown("领取记录"));
  closeLogin();
  tapAndWait(shown("返回"));
  EXPECT_EQ(Automation::topViewController(), home_);
}
