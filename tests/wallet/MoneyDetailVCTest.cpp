// The money records: three lists behind the segmented control, each fetched when first shown
// (and again while empty), their rows and columns, and the remark bubble.

#include "ShopFixture.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "wallet/MoneyDetailCell.h"
#include "wallet/MoneyDetailVC.h"

namespace {
const char* const kGold =
    R"({"state":"ok","data":[
      {"qx_addtime":"1699960000","qx_amount":"-10.00","qx_balance":"1280.00","type":"兑换","qx_remark":"兑换平台币"},
      {"qx_addtime":0,"qx_amount":"50.00","qx_balance":"1290.00","type":"返利"}]})";
const char* const kCash =
    R"({"state":"ok","data":[
      {"addtime":"1699950000","amount":"100","cash":"40","status":"0","qx_remark":"审核中"},
      {"addtime":"1699000000","amount":"300","cash":"120","status":"1"},
      {"addtime":"1698000000","amount":"500","cash":"200","status":2}]})";
}  // namespace

class MoneyDetailVCTest : public ShopFixture {
 protected:
  std::shared_ptr<MoneyDetailVC> open() {
    TempData::setuserdata(user());
    return present(MoneyDetailVC::create());
  }
  static void choose(const std::shared_ptr<MoneyDetailVC>& page, long segment) {
    auto control = page->segmentedControl;
    const CGRect f = control->frame();
    const double w = f.size.width / 3;
    Automation::tapAt(CGPointMake(f.origin.x + w * segment + w / 2, f.origin.y + 15));
  }
  // The texts of a list's rows, the labels of a row joined by spaces, the rows by " | ".
  static std::string rows(const std::shared_ptr<UITableView>& list) {
    std::string out;
    for (long i = 0; i < list->numberOfRowsInSection(0); ++i) {
      auto cell = list->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(i, 0));
      std::string row;
      for (const auto& view : cell->contentView()->subviews()) {
        if (auto label = std::dynamic_pointer_cast<UILabel>(view))
          row += (row.empty() ? "" : " ") + label->text();
      }
      out += (out.empty() ? "" : " | ") + row;
    }
    return out;
  }
};

TEST_F(MoneyDetailVCTest, TheGoldLedgerIsFetchedWhileTheScreenIsBuiltAndShownInColumns) {
  server().reply("balanceList", kGold);
  auto page = open();
  EXPECT_EQ(sent("balanceList"), "token=tok123&type=2&username=demo");
  EXPECT_EQ(server().requests().size(), 1u) << "the other lists wait for their segment";
  shown("货币明细");
  EXPECT_EQ(page->segmentedControl->frame(), CGRectMake(20, 76, 280, 30));
  EXPECT_TRUE(page->bjTableView->isHidden() && page->txTableView->isHidden());
  // Dates and times in the device's time zone, over two lines: 0 is the start of 1970 there.
  EXPECT_EQ(Automation::dumpView(page->jbTableView),
            R"(UITableView (0,116,320,452) content=(320,100) bg=rgb(255,255,255)
  UIView (0,0,320,40) bg=rgb(237,237,237)
    UILabel (0,0,80,40) text="时间" color=rgb(0,0,0) font=system 14
    UILabel (80,0,80,40) text="收/支" color=rgb(0,0,0) font=system 14
    UILabel (160,0,80,40) text="余额" color=rgb(0,0,0) font=system 14
    UILabel (240,0,80,40) text="类型" color=rgb(0,0,0) font=system 14
  MoneyDetailCell (0,40,320,30) bg=rgb(216,214,215)
    UIView (0,0,320,30)
      UILabel (0,0,80,15) text="2023/11/14" color=rgb(0,0,0) font=system 12
      UILabel (0,15,80,15) text="19:06:40" color=rgb(0,0,0) font=system 12
      UILabel (80,0,80,30) text="-10.00" color=rgb(0,0,0) font=system 12
      UILabel (160,0,80,30) text="1280.00" color=rgb(0,0,0) font=system 12
      UILabel (240,0,80,30) text="兑换" color=rgb(0,0,0) font=system 12
      UIImageView (305,10,10,10) image=ktr_ic_record_more.png
  MoneyDetailCell (0,70,320,30) bg=rgb(237,237,237)
    UIView (0,0,320,30)
      UILabel (0,0,80,15) text="1970/01/01" color=rgb(0,0,0) font=system 12
      UILabel (0,15,80,15) text="08:00:00" color=rgb(0,0,0) font=system 12
      UILabel (80,0,80,30) text="50.00" color=rgb(0,0,0) font=system 12
      UILabel (160,0,80,30) text="1290.00" color=rgb(0,0,0) font=system 12
      UILabel (240,0,80,30) text="返利" color=rgb(0,0,0) font=system 12
      UIImageView (305,10,10,10) image=ktr_ic_record_more.png
  UIView (0,100,320,0)
)");
  auto cell = std::dynamic_pointer_cast<MoneyDetailCell>(
      page->jbTableView->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->wayLabel->textAlignment(), NSTextAlignmentLeft);
}

TEST_F(MoneyDetailVCTest, EachSegmentIsFetchedWhenFirstShownAndAgainOnlyWhileEmpty) {
  server().reply("balanceList", R"({"state":"error","msg":"x","data":null})");
  server().reply("get_cash_record", kCash);
  auto page = open();
  EXPECT_EQ(page->jbTableView->numberOfRowsInSection(0), 0);

  choose(page, 2);
  EXPECT_FALSE(page->txTableView->isHidden());
  EXPECT_TRUE(page->jbTableView->isHidden());
  ASSERT_EQ(server().requests("get_cash_record").size(), 1u);
  EXPECT_EQ(server().lastRequest("get_cash_record")->value("username"), "demo");
  EXPECT_EQ(rows(page->txTableView),
            "2023/11/14 16:20:00 100 40 审核中 | 2023/11/03 16:26:40 300 120 打款完成 | "
            "2023/10/23 02:40:00 500 200 打款完成");
  shown("RMB");

  server().reply("balanceList", kGold);
  choose(page, 1);
  EXPECT_EQ(server().lastRequest("balanceList")->value("type"), "3");
  EXPECT_EQ(page->bjTableView->numberOfRowsInSection(0), 2);
  choose(page, 0);  // came back empty at load: fetched again
  EXPECT_EQ(server().requests("balanceList").size(), 3u);
  EXPECT_EQ(page->jbTableView->numberOfRowsInSection(0), 2);

  choose(page, 2);
  choose(page, 1);
  choose(page, 0);
  EXPECT_EQ(server().requests().size(), 4u) << "lists with rows are not fetched again";
  EXPECT_FALSE(Automation::currentAlert()) << "a refusal shows no message";
}

TEST_F(MoneyDetailVCTest, RecordsWhoseDataIsNotAnArrayOfDictionariesAddNoRows) {
  server().reply("balanceList", R"({"state":"ok","data":{"qx_amount":"1"}})");
  auto page = open();
  EXPECT_EQ(page->jbTableView->numberOfRowsInSection(0), 0);

  server().reply("balanceList", R"({"state":"ok","data":["a",3,null,[1]]})");
  choose(page, 1);
  EXPECT_EQ(page->bjTableView->numberOfRowsInSection(0), 0);

  server().reply("get_cash_record", R"({"state":"ok","data":"none"})");
  choose(page, 2);
  EXPECT_EQ(page->txTableView->numberOfRowsInSection(0), 0);
  server().replyRaw("get_cash_record", "garbage");
  choose(page, 0);
  choose(page, 2);
  EXPECT_EQ(takeAlert(), kNetworkAlert);
  EXPECT_EQ(page->txTableView->numberOfRowsInSection(0), 0);
  EXPECT_EQ(server().requests("get_cash_record").size(), 2u);

  // Among records, only the dictionaries are rows.
  server().reply("get_cash_record", R"({"state":"ok","data":["x",{"amount":"100","status":"0"}]})");
  choose(page, 0);
  choose(page, 2);
  EXPECT_EQ(page->txTableView->numberOfRowsInSection(0), 1);
  EXPECT_FALSE(Automation::currentAlert());
}

TEST_F(MoneyDetailVCTest, ATappedRowShowsItsRemarkInABubbleUntilTheNextTap) {
  server().reply("balanceList", kGold);
  auto page = open();
  page->jbTableView->userSelectRow(NSIndexPath::indexPathForRow(0, 0));
  pump();
  ASSERT_TRUE(page->desLabel);
  EXPECT_EQ(page->desLabel->text(), "兑换平台币");
  // Five characters at 13 points: 65 wide; the row's top 40 within its list.
  EXPECT_EQ(page->desLabel->frame(), CGRectMake(320 - 65 - 20, 40 + 166, 75, 30));
  EXPECT_EQ(page->desLabel->layer().borderColor()->description(), "rgb(238,165,110)");
  EXPECT_EQ(page->desLabel->layer().borderWidth(), 1);
  EXPECT_FALSE(page->jbTableView->indexPathForSelectedRow());

  Automation::tapAt(CGPointMake(10, 500));
  pump();
  EXPECT_FALSE(page->desLabel);
  EXPECT_FALSE(Automation::findByText("兑换平台币"));

  // A record without a remark shows an empty bubble.
  page->jbTableView->userSelectRow(NSIndexPath::indexPathForRow(1, 0));
  pump();
  ASSERT_TRUE(page->desLabel);
  EXPECT_EQ(page->desLabel->text(), "");
  EXPECT_EQ(page->desLabel->frame().origin.y, 70 + 166);
  Automation::tapAt(CGPointMake(10, 500));
  pump();
  Automation::tap(page->backlabel);
  pump();
  EXPECT_EQ(Automation::topViewController(), home_);
}
