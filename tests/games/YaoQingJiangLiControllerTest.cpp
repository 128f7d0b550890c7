// The rewards page (the summary handed over, one row per invited friend, the withdrawal) and
// the invitation guide.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/InviteGLVC.h"
#include "games/YaoQingJiangLiController.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIWindow.h"

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

TEST_F(YaoQingJiangLiControllerTest, FourFriendsGiveStripedRowsOfMaskedNamesTimesAndRewards) {
  Value list = Value::array(
      {friendRow("13800001111", "1699800000", "12.00"), friendRow("13900002222", "0", "8.00"),
       friendRow("abc", "1699600000", "5"), friendRow("15011112222", "1699500000", "3")});
  auto page = open<YaoQingJiangLiController>(
      Value::dict({{"count", "4"}, {"sum", "28.00"}, {"list", list}}));
  EXPECT_TRUE(TempData::getcontrollerdata().isNil()) << "the hand-over is cleared on reading";

  const auto labels = cells(*page);
  ASSERT_EQ(labels.size(), 12u);
  const double third = 320.0 / 3;
  for (size_t row = 0; row < 4; ++row) {
    for (size_t column = 0; column < 3; ++column) {
      const auto& label = labels[row * 3 + column];
      EXPECT_EQ(label->frame(), CGRectMake(third * column, 30.0 * row, third, 30));
      EXPECT_EQ(label->font()->pointSize(), 10);
      EXPECT_EQ(label->numberOfLines(), 0);
      const auto background = label->backgroundColor();
      if (row % 2 == 1) {
        ASSERT_TRUE(background);
        EXPECT_EQ(background->description(), "rgb(216,214,215)");
      } else {
        EXPECT_TRUE(!background || background->description() != "rgb(216,214,215)");
      }
    }
  }
  EXPECT_DOUBLE_EQ(page->mainscroll->contentSize().height, 150);
  EXPECT_EQ(labels[0]->text(), "138****1111");
  EXPECT_EQ(labels[6]->text(), "abc****");
  EXPECT_EQ(labels[2]->text(), "12.00绑金");
  EXPECT_EQ(labels[2]->textColor()->description(), "rgb(247,82,55)");
  NSDateFormatter local;
  local.setDateFormat("yyyy/MM/dd HH:mm:ss");
  EXPECT_EQ(labels[1]->text(), local.stringFromDate(1699800000));
  // A registration time of 0 is the epoch in local time.
  EXPECT_EQ(labels[4]->text(), local.stringFromDate(0));
}

TEST_F(YaoQingJiangLiControllerTest,
       TheCountAndItsCharacterAreRedAndTheTotalStandsCentredWithItsIcon) {
  auto page = open<YaoQingJiangLiController>(
      Value::dict({{"count", "12"}, {"sum", "120.00"}, {"list", Value::array()}}));
  EXPECT_EQ(page->yaoqinghaoyoucount->text(), "您成功邀请好友12人");
  EXPECT_EQ(colouredRanges(page->yaoqinghaoyoucount), "7+3=rgb(247,82,55)");
  // "120.00个" measured in HelveticaNeue 20: six ASCII characters at 11 and one at 20.
  const double w = 6 * 11 + 20;
  EXPECT_EQ(page->leijijianglilabel->text(), "120.00个");
  EXPECT_EQ(page->leijijianglilabel->textColor()->description(), "rgb(255,255,255)");
  const double y = CGRectGetMaxY(page->leijiDesLabel->frame()) + 10;
  EXPECT_EQ(page->prizeIcon->frame(), CGRectMake((320 - w - 40) / 2, y, 30, 30));
  EXPECT_EQ(page->leijijianglilabel->frame(), CGRectMake((320 - w - 40) / 2 + 40, y, w, 30));
  EXPECT_EQ(page->prizeIcon->superview(), page->bgView);
  EXPECT_EQ(page->goldTXBtn->layer().cornerRadius(), 5);
  EXPECT_EQ(page->goldTXBtn->layer().borderWidth(), 1);
  EXPECT_TRUE(page->goldTXBtn->clipsToBounds());
  EXPECT_TRUE(cells(*page).empty());
  EXPECT_DOUBLE_EQ(page->mainscroll->contentSize().height, 30);
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
  Automation::tap(page->goldTXBtn);
  pump();
  auto presented = page->presentedViewController();
  ASSERT_TRUE(presented);
  EXPECT_TRUE(presented->className() == "TiXianVC" && presented->wasPresentedAnimated());
  page->dismissViewControllerAnimated(false);
  pump();

  Automation::tap(page->topbacklabel);
  pump();
  EXPECT_FALSE(home_->presentedViewController());
  EXPECT_TRUE(page->wasDismissedAnimated());
}

TEST_F(YaoQingJiangLiControllerTest, TheGuideScrollsThroughOneLongPictureAndItsCornerGoesBack) {
  auto guide = open<InviteGLVC>();
  EXPECT_EQ(guide->view()->backgroundColor()->description(), "rgb(164,241,242)");
  const double height = 320.0 * 3094 / 720;  // the picture at the screen's width
  EXPECT_EQ(frames({guide->mainScroll(), guide->guideImage()}), "(0,0,320,568) (0,20,320,1355.11)");
  ASSERT_TRUE(guide->guideImage()->image());
  EXPECT_EQ(guide->guideImage()->image()->name(), "ktr_pic_invite_stratege.png");
  EXPECT_DOUBLE_EQ(guide->mainScroll()->contentSize().height, height);
  Automation::tapAt(CGPointMake(25, 25));
  pump();
  EXPECT_FALSE(home_->presentedViewController());
}
