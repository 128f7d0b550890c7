// The money records: three lists behind the segmented control, each fetched when first shown
// (and again while empty), their rows and columns, and the remark bubble.

#include "ShopFixture.h"
#include "core/TempData.h"
#include "core/Time.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "wallet/MoneyDetailCell.h"
#include "wallet/MoneyDetailVC.h"
#include "wallet/TXCell.h"

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
  static std::vector<std::string> row(const std::shared_ptr<UITableViewCell>& cell) {
    std::vector<std::string> texts;
    if (auto c = std::dynamic_pointer_cast<MoneyDetailCell>(cell)) {
      for (const auto& l : {c->dateLabel, c->timeLabel, c->numLabel, c->yeLabel, c->wayLabel})
        texts.push_back(l->text());
    } else if (auto t = std::dynamic_pointer_cast<TXCell>(cell)) {
      for (const auto& l : {t->dateLabel, t->timeLabel, t->numLabel, t->rmbLabel, t->stateLabel})
        texts.push_back(l->text());
    }
    return texts;
  }
};

TEST_F(MoneyDetailVCTest, TheGoldLedgerIsFetchedWhileTheScreenIsBuiltAndShownInColumns) {
  server().reply("balanceList", kGold);
  auto page = open();
  shown("货币明细");
  EXPECT_EQ(sent("balanceList"), "token=tok123&type=2&username=demo");
  EXPECT_EQ(server().requests().size(), 1u) << "the other lists wait for their segment";

  EXPECT_EQ(page->segmentedControl->selectedSegmentIndex(), 0);
  EXPECT_FALSE(page->jbTableView->isHidden());
  EXPECT_TRUE(page->bjTableView->isHidden() && page->txTableView->isHidden());
  auto header = page->jbTableView->tableHeaderView();
  ASSERT_TRUE(header);
  EXPECT_EQ(frames({page->segmentedControl, page->jbTableView, header, inside(header, "余额")}),
            "(20,76,280,30) (0,116,320,452) (0,0,320,40) (160,0,80,40)");
  EXPECT_EQ(header->backgroundColor()->description(), "rgb(237,237,237)");

  ASSERT_EQ(page->jbTableView->numberOfRowsInSection(0), 2);
  auto first = page->jbTableView->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
  auto second = page->jbTableView->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0));
  const auto stamp = NSString::componentsSeparatedByString(
      Time::getDateFromTimestamp(1699960000, "yyyy/MM/dd HH:mm:ss"), " ");
  EXPECT_EQ(row(first),
            (std::vector<std::string>{stamp[0], stamp[1], "-10.00", "1280.00", "兑换"}));
  // A time stamp of 0 is the start of 1970 in the device's time zone, over two lines.
  const auto epoch = NSString::componentsSeparatedByString(
      Time::getDateFromTimestamp(0, "yyyy/MM/dd HH:mm:ss"), " ");
  EXPECT_EQ(row(second)[0], epoch[0]);
  EXPECT_EQ(row(second)[1], epoch[1]);
  EXPECT_EQ(first->reuseIdentifier(), "jbcell");
  EXPECT_EQ(first->backgroundColor()->description(), "rgb(216,214,215)");
  EXPECT_EQ(second->backgroundColor()->description(), "rgb(237,237,237)");
  EXPECT_EQ(page->jbTableView->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0)),
            CGRectMake(0, 70, 320, 30));
  auto c = std::dynamic_pointer_cast<MoneyDetailCell>(first);
  EXPECT_EQ(frames({c->wayLabel, c->timeLabel}), "(240,0,80,30) (0,15,80,15)");
  EXPECT_EQ(c->wayLabel->textAlignment(), NSTextAlignmentLeft);
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
  ASSERT_EQ(page->txTableView->numberOfRowsInSection(0), 3);
  std::vector<std::string> states;
  for (long i = 0; i < 3; ++i) {
    auto cell = page->txTableView->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(i, 0));
    EXPECT_EQ(cell->reuseIdentifier(), "txcell");
    states.push_back(row(cell)[4]);
  }
  EXPECT_EQ(states, (std::vector<std::string>{"审核中", "打款完成", "打款完成"}));
  EXPECT_EQ(row(page->txTableView->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0)))[2],
            "300");
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
