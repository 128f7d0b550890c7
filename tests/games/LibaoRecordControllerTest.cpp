// The gift records: the player's codes page by page, each copyable again.

#include "GiftFixture.h"
#include "core/TempData.h"
#include "games/LibaoRecordController.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIWindow.h"

class RecordsTest : public GiftFixture {
 protected:
  std::shared_ptr<LibaoRecordController> openRecords() {
    window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
    home_ = UIViewController::create();
    window_->setRootViewController(home_);
    window_->makeKeyAndVisible();
    auto records = LibaoRecordController::create();
    home_->presentViewController(records, true);
    pump();
    return records;
  }
  // The records' rows are the list's white views (they carry no tag).
  static std::vector<std::shared_ptr<UIView>> recordRows(const std::shared_ptr<UIScrollView>& s) {
    std::vector<std::shared_ptr<UIView>> out;
    for (const auto& sub : s->subviews())
      if (sub->frame().size.height == 76) out.push_back(sub);
    return out;
  }
};

TEST_F(RecordsTest, ThreePagesStackWithoutGapsAndEachRowShowsItsCode) {
  logIn();
  server().replyOnce("getCardRecord", recordsPage("A", 4));
  server().replyOnce("getCardRecord", recordsPage("B", 4));
  server().replyOnce("getCardRecord", recordsPage("C", 4));
  auto records = openRecords();
  for (int i = 0; i < 2; ++i) {
    scrollToEnd(records->mainscroll());
    pump();
  }
  const auto requests = server().requests("getCardRecord");
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].keys(),
            (std::vector<std::string>{"api", "page", "tgid", "token", "username"}));
  EXPECT_EQ(requests[2].value("page"), "3");
  EXPECT_EQ(requests[2].value("username"), "demo");
  auto list = recordRows(records->mainscroll());
  ASSERT_EQ(list.size(), 12u);
  for (size_t i = 0; i < list.size(); ++i)
    EXPECT_EQ(list[i]->frame(), CGRectMake(0, 80.0 * static_cast<double>(i), 310, 76));
  EXPECT_EQ(records->mainscroll()->contentSize().height, 960);

  auto row = list[5];
  EXPECT_EQ(inside(row, "星海新手礼包")->frame(), CGRectMake(71, 10, 72, 16));
  auto when = std::dynamic_pointer_cast<UILabel>(inside(row, "领取时间:2023年11月14日"));
  EXPECT_EQ(when->frame().origin, CGPointMake(71, 26));
  EXPECT_EQ(colouredRanges(when), "5+11=rgb(247,82,55)");
  auto code = inside(row, "B1");
  EXPECT_EQ(code->frame(), CGRectMake(71, 42, 150, 20));
  EXPECT_EQ(code->backgroundColor()->description(), "rgb(194,194,194)");
  EXPECT_EQ(inside(row, "复制")->frame(), CGRectMake(221, 42, 50, 20));
}

TEST_F(RecordsTest, TheCopyButtonCopiesExactlyTheCodeOfItsOwnRowAndBackCloses) {
  logIn();
  server().replyOnce("getCardRecord", recordsPage("K", 3));
  auto records = openRecords();
  Automation::tap(inside(recordRows(records->mainscroll())[1], "复制"));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "K1");
  EXPECT_EQ(takeAlert(), "复制成功 | 兑换码(K1)已复制到您的剪贴板 | [确定]");
  Automation::tap(shown("返回"));
  pump();
  EXPECT_EQ(Automation::topViewController(), home_);
}

TEST_F(RecordsTest, NoCodesAndFailedPagesShowAnEmptyListWithoutAMessage) {
  logIn();
  server().replyOnce("getCardRecord", R"({"state":"ok","data":[]})");
  server().replyOnce("getCardRecord", R"({"state":"error","msg":"busy"})");
  server().replyOnce("getCardRecord", R"({"state":"ok","data":"none"})");
  auto records = openRecords();
  for (int i = 0; i < 2; ++i) {
    scrollToEnd(records->mainscroll());
    pump();
  }
  EXPECT_TRUE(recordRows(records->mainscroll()).empty());
  EXPECT_EQ(Automation::alertText(), "");
  // The empty first page counted; the two failed second pages did not.
  const auto requests = server().requests("getCardRecord");
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].value("page"), "2");
  EXPECT_EQ(requests[2].value("page"), "2");
}

TEST_F(RecordsTest, AListLoadWithNobodyLoggedInPresentsTheLoginScreenAndSendsNothing) {
  logIn();
  server().replyOnce("getCardRecord", recordsPage("A", 2));
  auto records = openRecords();
  TempData::setuserdata(Value());
  scrollToEnd(records->mainscroll());
  pump();
  EXPECT_EQ(server().requests("getCardRecord").size(), 1u);
  EXPECT_EQ(Automation::topViewController()->className(), "LoginViewController");
}
