// The exchange page: its game grids, the hand-over of a tapped game, the account picker and
// the platform-currency balance query.

#include "ShopFixture.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "shell/WebBrowserController.h"
#include "wallet/ShopController.h"

class ExchangePageTest : public ShopFixture {
 protected:
  static std::string games(const std::string& prefix, int count, const std::string& isRed) {
    std::string items;
    for (int i = 0; i < count; ++i) {
      if (i) items += ",";
      items += R"({"plat_gamename":")" + prefix + std::to_string(i) + R"(","plat_gameid":")" +
               std::to_string(100 + i) + R"(","pageurl":"http://games.test/)" + prefix +
               std::to_string(i) + R"(","is_red":")" + isRed + R"("})";
    }
    return R"({"state":"ok","data":[)" + items + "]}";
  }
};

TEST_F(ExchangePageTest, BothGridsLoadOffTheMainThreadAndColourNamesByTheirOwnRule) {
  // The newest grid is asked first; "is_red" 2 is grey there and red among the recommended.
  server().replyOnce("getGameList", games("new", 4, "2"));
  server().replyOnce("getGameList", games("hot", 3, "2"));
  openShop();

  const auto requests = server().requests("getGameList");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(sent(requests[0]), "c_t=i&is_special=(null)&limit=9&orderby=qx_add_time");
  EXPECT_EQ(sent(requests[1]), "c_t=i&isRmd=1&is_special=(null)&limit=9");

  // Three to a row, a third of the width less the gaps.
  EXPECT_EQ(frames({shown("new0"), shown("new2"), shown("new3"), shown("hot1")}),
            "(5,195,96.67,30) (208.33,195,96.67,30) (5,235,96.67,30) (106.67,335,96.67,30)");
  EXPECT_EQ(shownLabel("new0")->textColor()->description(), "rgb(104,104,104)");
  EXPECT_EQ(shownLabel("hot1")->textColor()->description(), "rgb(247,82,55)");
}

TEST_F(ExchangePageTest, AGameWithIsRedOneIsRedInTheNewestGridAndARefusedListStaysEmpty) {
  server().replyOnce("getGameList", games("new", 1, "1"));
  server().replyOnce("getGameList", R"({"state":"error","msg":"busy"})");
  TempData::setuserdata(user());
  auto shop = openShop();
  EXPECT_EQ(server().requests("getGameList")[0].value("is_special"), "0");
  EXPECT_EQ(shownLabel("new0")->textColor()->description(), "rgb(247,82,55)");
  for (const auto& view : shop->dhptbView()->subviews()) {
    EXPECT_LT(view->frame().origin.y, 330) << "a recommended cell was built from a refused reply";
  }
}

TEST_F(ExchangePageTest, TappingAGameHandsItToTheDetailPage) {
  server().replyOnce("getGameList", games("new", 2, "0"));
  openShop();
  Automation::tap(shown("new1"));
  pump();
  auto detail = std::dynamic_pointer_cast<WebBrowserController>(Automation::topViewController());
  ASSERT_TRUE(detail);
  EXPECT_TRUE(detail->wasPresentedAnimated());
  EXPECT_EQ(detail->gameTitle() + " " + detail->gid() + " " + detail->url(),
            "new1 101 http://games.test/new1");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
}

TEST_F(ExchangePageTest, ThePickerListsTheBoundAccountsAndFillsTheField) {
  // Without bound accounts it warns and opens an empty list.
  TempData::setuserdata(user(0));
  auto page = openShop()->dhptbView();
  Automation::tap(page->dropButton());
  EXPECT_EQ(takeAlert(), "您还没有绑定游戏账号 | 请绑定游戏找好后查询 | [确定]");
  ASSERT_TRUE(page->accountList());
  EXPECT_EQ(page->accountList()->frame().size.height, 0);

  TempData::setuserdata(user(3));
  Automation::tap(page->dropButton());  // closes the empty list
  Automation::tap(page->dropButton());
  auto list = page->accountList();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->frame(), CGRectMake(5, 150, 175, 90));
  EXPECT_EQ(list->layer().borderWidth(), 1);
  EXPECT_EQ(inside(list, "acct1")->frame(), CGRectMake(30, 0, 145, 29));
  Automation::tap(inside(list, "acct1"));
  pump();
  EXPECT_EQ(page->accountField()->text(), "acct1");
  EXPECT_EQ(page->chosenPlatId(), "3");
  EXPECT_FALSE(page->accountList());

  // Touching the field opens the list instead of a keyboard; a second touch closes it.
  Automation::tap(page->accountField());
  EXPECT_TRUE(page->accountList());
  EXPECT_FALSE(page->accountField()->isEditing());
  Automation::tap(page->dropButton());
  EXPECT_FALSE(page->accountList());
}

TEST_F(ExchangePageTest, TheBalanceQueryAsksForLoginThenAnAccountThenTheServer) {
  server().reply("getptbRemain", R"({"state":"ok","data":{"ptb":"120.00"}})");
  auto page = openShop()->dhptbView();
  Automation::tap(shown("平台币余额查询"));
  pump();
  closeLogin();

  TempData::setuserdata(user());
  Automation::tap(page->dropButton());
  ASSERT_TRUE(page->accountList());
  Automation::tap(shown("平台币余额查询"));
  EXPECT_EQ(takeAlert(), "您还没有选择游戏账号 | 请选择游戏账号后进行查询 | [确定]");
  EXPECT_FALSE(page->accountList());
  EXPECT_TRUE(server().requests("getptbRemain").empty());

  Automation::tap(page->dropButton());
  Automation::tap(inside(page->accountList(), "acct0"));
  Automation::tap(shown("平台币余额查询"));
  EXPECT_EQ(takeAlert(), "平台币余额查询成功 | 您的平台币余额是120.00元 | [确定]");
  EXPECT_EQ(sent("getptbRemain"), "plat_id=1&plat_user=acct0&token=tok123&username=demo");

  // A refused query shows nothing.
  server().reply("getptbRemain", R"({"state":"error","msg":"no"})");
  Automation::tap(shown("平台币余额查询"));
  pump();
  EXPECT_FALSE(Automation::currentAlert());
}
