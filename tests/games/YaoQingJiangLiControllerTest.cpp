// The rewards page: the summary handed over, one row per invited friend, the withdrawal.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/YaoQingJiangLiController.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"

class YaoQingJiangLiControllerTest : public GamesFixture {
 protected:
  // Leaves `summary` as the hand-over (unless nil) and presents the page over a home screen.
  template <class Screen>
  std::shared_ptr<Screen> open(const Value& summary = Value()) {
    if (!summary.isNil()) TempData::setcontrollerdata(summary);
    return present(Screen::create(), true);
  }
  static Value friendRow(const std::string& name, const std::string& time,
                         const std::string& amount) {
    return Value::dict({{"qx_username", name}, {"qx_regtime", time}, {"qx_amount", amount}});
  }
  // The labels of the list, row by row.
  static std::vector<std::shared_ptr<UILabel>> cells(const YaoQingJiangLiController& page) {
    std::vector<std::shared_ptr<UILabel>> out;
    for (const auto& view : page.mainscroll->subviews()) {
      if (auto label = std::dynamic_pointer_cast<UILabel>(view)) out.push_back(label);
    }
    return out;
  }
};

TEST_F(YaoQingJiangLiControllerTest, ThreeFriendsGiveStripedRowsOfMaskedNamesTimesAndRewards) {
  Value list =
      Value::array({friendRow("13800001111", "1699800000", "12.00"),
                    friendRow("13900002222", "0", "8.00"), friendRow("abc", "1699600000", "5")});
  auto page = open<YaoQingJiangLiController>(
      Value::dict({{"count", "3"}, {"sum", "25.00"}, {"list", list}}));
  EXPECT_EQ(page->data()["sum"], Value("25.00"));
  EXPECT_TRUE(TempData::getcontrollerdata().isNil()) << "the hand-over is cleared on reading";

  // Rows of name, local time and reward, every second one grey; a time of 0 is the epoch.
  NSDateFormatter local;
  local.setDateFormat("yyyy/MM/dd HH:mm:ss");
  std::string expected = R"(UIScrollView (0,226,320,282) content=(320,120)
  UILabel (0,0,106.67,30) text="138****1111" color=rgb(0,0,0) font=system 10
  UILabel (106.67,0,106.67,30) text="TIME" color=rgb(0,0,0) font=system 10
  UILabel (213.33,0,106.67,30) text="12.00绑金" color=rgb(247,82,55) font=system 10
  UILabel (0,30,106.67,30) text="139****2222" color=rgb(0,0,0) font=system 10 bg=rgb(216,214,215)
  UILabel (106.67,30,106.67,30) text="TIME" color=rgb(0,0,0) font=system 10 bg=rgb(216,214,215)
  UILabel (213.33,30,106.67,30) text="8.00绑金" color=rgb(247,82,55) font=system 10 bg=rgb(216,214,215)
  UILabel (0,60,106.67,30) text="abc****" color=rgb(0,0,0) font=system 10
  UILabel (106.67,60,106.67,30) text="TIME" color=rgb(0,0,0) font=system 10
  UILabel (213.33,60,106.67,30) text="5绑金" color=rgb(247,82,55) font=system 10
)";
  for (const long time : {1699800000L, 0L, 1699600000L})
    expected.replace(expected.find("TIME"), 4, local.stringFromDate(time));
  EXPECT_EQ(Automation::dumpView(page->mainscroll), expected);
  for (const auto& label : cells(*page)) EXPECT_EQ(label->numberOfLines(), 0);
}

TEST_F(YaoQingJiangLiControllerTest,
       TheCountAndItsCharacterAreRedAndTheTotalStandsCentredWithItsIcon) {
  auto page = open<YaoQingJiangLiController>(
      Value::dict({{"count", "12"}, {"sum", "120.00"}, {"list", Value::array()}}));
  // "120.00个" measured in HelveticaNeue 20 (six ASCII characters at 11 and one at 20): the icon
  // and the total, 10 apart, centred together.
  EXPECT_EQ(Automation::dumpView(page->view()), R"(UIView (0,0,320,568) bg=rgb(255,255,255)
  UIView (0,20,320,46) bg=rgb(0,0,0)
    UIButton (13,13,10,20) image=ic_back.png
    UILabel (35,13,40,20) text="返回" color=rgb(255,195,91) font=system 17
    UILabel (110,13,100,20) text="邀请奖励" color=rgb(255,195,91) font=system 17
  UIView (0,66,320,100) bg=rgb(47,128,197)
    UILabel (0,15,320,20) text="累计奖励（绑定金币）" color=rgb(255,255,255) font=system 14
    UIImageView (97,45,30,30) image=ktr_prize.png
    UILabel (137,45,86,30) text="120.00个" color=rgb(255,255,255) font=system 17
  UILabel (0,166,320,30) text="您成功邀请好友12人" color=rgb(0,0,0) font=system 15 ranges=[7+3 rgb(247,82,55)]
  UILabel (0,196,106.67,30) text="好友账号" color=rgb(255,255,255) font=system 12 bg=rgb(81,158,19)
  UILabel (106.67,196,106.67,30) text="注册时间" color=rgb(255,255,255) font=system 12 bg=rgb(81,158,19)
  UILabel (213.33,196,106.67,30) text="奖励" color=rgb(255,255,255) font=system 12 bg=rgb(81,158,19)
  UIScrollView (0,226,320,282) content=(320,30)
  UIButton (20,518,280,40) title="绑金提现" color=rgb(255,0,0) radius=5 border=1 rgb(255,0,0)
)");
  EXPECT_TRUE(page->goldTXBtn->clipsToBounds());
}

TEST_F(YaoQingJiangLiControllerTest, ASummaryWithoutCountOrSumShowsZeroNotNull) {
  auto page = open<YaoQingJiangLiController>();
  EXPECT_EQ(page->yaoqinghaoyoucount->text(), "您成功邀请好友0人");
  EXPECT_EQ(colouredRanges(page->yaoqinghaoyoucount), "7+2=rgb(247,82,55)");
  EXPECT_EQ(page->leijijianglilabel->text(), "0个");
  EXPECT_TRUE(cells(*page).empty());
}

TEST_F(YaoQingJiangLiControllerTest, AListThatIsNotAnArrayGivesNoRows) {
  for (const Value& list :
       {Value::null(), Value("none"), Value::dict({{"0", "13800001111"}}), Value(3)}) {
    auto page =
        open<YaoQingJiangLiController>(Value::dict({{"count", "1"}, {"sum", "5"}, {"list", list}}));
    EXPECT_TRUE(cells(*page).empty()) << list.toJSON();
    EXPECT_DOUBLE_EQ(page->mainscroll->contentSize().height, 0) << list.toJSON();
    home_->dismissViewControllerAnimated(false);
    pump();
  }
}

TEST_F(YaoQingJiangLiControllerTest, TheButtonsLeadToTheWithdrawalAndBackAgain) {
  useDemoReplies();  // the withdrawal screen asks for the bound account as it opens
  auto page = open<YaoQingJiangLiController>(Value::dict({{"count", "0"}, {"sum", "0"}}));
  tapAndWait(page->goldTXBtn);
  auto presented = page->presentedViewController();
  EXPECT_TRUE(presented && presented->className() == "TiXianVC" &&
              presented->wasPresentedAnimated());
  page->dismissViewControllerAnimated(false);
  pump();

  tapAndWait(page->topbacklabel);
  EXPECT_FALSE(home_->presentedViewController());
  EXPECT_TRUE(page->wasDismissedAnimated());
}
