// The gift records: the player's codes page by page, each copyable again.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/LibaoRecordController.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScrollView.h"

class RecordsTest : public GamesFixture {
 protected:
  std::shared_ptr<LibaoRecordController> openRecords() {
    return present(LibaoRecordController::create(), true);
  }
  // The records' rows are the list's white views (they carry no tag).
  static std::vector<std::shared_ptr<UIView>> recordRows(const std::shared_ptr<UIScrollView>& s) {
    std::vector<std::shared_ptr<UIView>> out;
    for (const auto& sub : s->subviews())
      if (sub->frame().size.height == 76) out.push_back(sub);
    return out;
  }
};

TEST_F(RecordsTest, ThreePagesStackWithoutGapsAndEachRowShowsAndCopiesItsOwnCode) {
  logIn();
  server().replyOnce("getCardRecord", recordsPage("A", 4));
  server().replyOnce("getCardRecord", recordsPage("B", 4));
  server().replyOnce("getCardRecord", recordsPage("C", 4));
  auto records = openRecords();
  for (int i = 0; i < 2; ++i) {
    scrollToEnd(records->mainscroll());
    pump();
  }
  EXPECT_EQ(server().requests("getCardRecord").size(), 3u);
  EXPECT_EQ(sent("getCardRecord"), "page=3&token=tok123&username=demo");
  auto list = recordRows(records->mainscroll());
  ASSERT_EQ(list.size(), 12u);
  for (size_t i = 0; i < list.size(); ++i)
    EXPECT_EQ(list[i]->frame(), CGRectMake(0, 80.0 * static_cast<double>(i), 310, 76));
  EXPECT_EQ(records->mainscroll()->contentSize().height, 960);

  EXPECT_EQ(Automation::dumpView(list[5]), R"dump(UIView (0,400,310,76) bg=rgb(255,255,255) radius=5
  UIImageView (10,10,56,56) image=ic_launcher
  UILabel (71,10,72,16) text="星海新手礼包" color=rgb(0,0,0) font=system 12
  UILabel (71,26,143.4,16) text="领取时间:2023年11月14日" color=rgb(0,0,0) font=system 12 ranges=[5+11 rgb(247,82,55)]
  UILabel (71,42,150,20) text="B1" color=rgb(255,255,255) font=system 12 bg=rgb(194,194,194)
  UIButton (221,42,50,20) title="复制" color=rgb(255,255,255) bg=rgb(69,165,49)
    UILabel (0,0,0,0) tag=1 text="B1" color=rgb(0,0,0) font=system 17 hidden
)dump");

  // Each copy button copies exactly the code of its own row; back closes.
  Automation::tap(inside(list[5], "复制"));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "B1");
  EXPECT_EQ(takeAlert(), "复制成功 | 兑换码(B1)已复制到您的剪贴板 | [确定]");
  tapAndWait(shown("返回"));
  EXPECT_EQ(Automation::topViewController(), home_);
}

TEST_F(RecordsTest, NoCodesAndFailedPagesShowAnEmptyListWithoutAMessageAndNoPlayerNoLoad) {
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

  // With nobody logged in, a load presents the login screen and sends nothing.
  TempData::setuserdata(Value());
  scrollToEnd(records->mainscroll());
  pump();
  EXPECT_EQ(server().requests("getCardRecord").size(), 3u);
  EXPECT_EQ(Automation::topViewController()->className(), "LoginViewController");
}
