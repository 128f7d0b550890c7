// The gift tab: its grid of game tiles page by page, search, the hand-over of a tapped game,
// the record button, the popups and the tab links.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/LibaoController.h"
#include "games/LibaoDuihuanController.h"
#include "games/LibaoRecordController.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

class GiftTabTest : public GamesFixture {
 protected:
  // Every game list fails unless a test scripts otherwise.
  void SetUp() override {
    GamesFixture::SetUp();
    server().reply("getGameList", kFailed);
  }
  // The gift tab opened with this first page, after the shop's two lists.
  std::shared_ptr<LibaoController> openWith(const std::string& firstPage) {
    server().replyOnce("getGameList", kFailed);
    server().replyOnce("getGameList", kFailed);
    server().replyOnce("getGameList", firstPage);
    return openGiftTab();
  }
  static constexpr const char* kFailed = R"({"state":"error","msg":"shop"})";
};

TEST_F(GiftTabTest, APageOfFourGamesFillsOneRowOfThreeAndOneOfOne) {
  auto gifts = openWith(gamesPage("g", 4));
  const auto requests = giftListRequests();
  ASSERT_EQ(requests.size(), 1u);
  // Logged out: no "is_special" at all.
  EXPECT_EQ(requests[0].keys(), (std::vector<std::string>{"api", "c_t", "lb", "page", "tgid"}));
  EXPECT_EQ(requests[0].value("page"), "1");

  // Tiles a third of the width less the gaps, 149 high; names, kinds and icons in each.
  auto tiles = rows(gifts->mainscroll());
  ASSERT_EQ(tiles.size(), 4u);
  EXPECT_EQ(frames(tiles),
            "(3,3,100.67,149) (104.67,3,100.67,149) (206.33,3,100.67,149) "
            "(3,153,100.67,149)");
  EXPECT_EQ(gifts->mainscroll()->contentSize().height, 300);
  // Name, kinds and icon in each; only the game on platform 3 wears the H5 badge.
  EXPECT_EQ(Automation::dumpView(tiles[2]),
            R"(UIView (206.33,3,100.67,149) tag=8 bg=rgb(255,255,255)
  UIView (0,149,100.67,1) bg=rgb(218,215,216)
  UIImageView (15.33,10,70,70) image=ic_launcher
  UIImageView (15.33,10,30,30) image=ktr_center_h5First.png
  UILabel (0,85,100.67,20) tag=9 text="g2" color=rgb(0,0,0) font=system 16
  UILabel (0,110,100.67,20) text="礼包种类:3种" color=rgb(167,167,167) font=system 12 ranges=[5+1 rgb(247,82,55)]
)");
  EXPECT_EQ(Automation::dumpView(tiles[0]).find("h5First"), std::string::npos);

  // A tapped tile hands its game's name over to the packages it opens.
  tapAndWait(shown("g3"));
  auto packages =
      std::dynamic_pointer_cast<LibaoDuihuanController>(Automation::topViewController());
  EXPECT_TRUE(packages && packages->wasPresentedAnimated());
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "g3");
}

TEST_F(GiftTabTest, TheNextPageStartsOnAFreshRowBelowTheLastAndCarriesIsSpecial) {
  logIn();
  auto gifts = openGiftTab();
  server().replyOnce("getGameList", gamesPage("h", 2));
  EXPECT_EQ(giftListRequests()[0].value("is_special"), "0");
  gifts->searchgamebtnclick();  // one short page first: 2 games, one row
  pump();
  server().replyOnce("getGameList", gamesPage("k", 3));
  scrollToEnd(gifts->mainscroll());
  pump();
  const auto requests = giftListRequests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2].value("page"), "2");
  auto tiles = rows(gifts->mainscroll());
  ASSERT_EQ(tiles.size(), 5u);
  EXPECT_EQ(tiles[2]->frame().origin, CGPointMake(3, 153));
  EXPECT_EQ(gifts->mainscroll()->contentSize().height, 300);
}

TEST_F(GiftTabTest, ASearchClearsTheGridAndAsksForPageOneOfTheEscapedName) {
  server().reply("getGameList", gamesPage("g", 7));
  auto gifts = openGiftTab();
  scrollToEnd(gifts->mainscroll());
  pump();
  ASSERT_EQ(rows(gifts->mainscroll()).size(), 14u);
  server().reply("getGameList", gamesPage("s", 1));
  Automation::type(gifts->searchgame(), "星&x=1");
  tapAndWait(shown("搜索"));
  const auto request = giftListRequests().back();
  EXPECT_EQ(request.value("page"), "1");
  EXPECT_EQ(request.value("gamename"), "星&x=1");
  EXPECT_FALSE(request.has("x"));
  ASSERT_EQ(rows(gifts->mainscroll()).size(), 1u);
  EXPECT_EQ(gifts->mainscroll()->contentSize().height, 150);
}

TEST_F(GiftTabTest, AFailedPageIsAskedForAgainAndALateReplyForAnEarlierSearchIsDropped) {
  auto gifts = openGiftTab();
  EXPECT_EQ(gifts->page(), 1);
  server().replyOnce("getGameList", gamesPage("late", 3), 0.5);
  server().replyOnce("getGameList", gamesPage("now", 2));
  gifts->loadmainscroll();  // what the next scroll to the end asks for
  awaitRequests("getGameList", 4);
  gifts->searchgamebtnclick();
  pump();
  const auto requests = giftListRequests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].value("page"), "1");  // the failed first page, asked again
  EXPECT_EQ(requests[2].value("page"), "1");
  auto tiles = rows(gifts->mainscroll());
  ASSERT_EQ(tiles.size(), 2u);
  EXPECT_TRUE(inside(tiles[0], "now0"));
}

TEST_F(GiftTabTest, ThePopupsOpenOverTheMaskAndTheRecordButtonAsksForALoginFirst) {
  auto gifts = openGiftTab();
  EXPECT_TRUE(gifts->mask()->isHidden());
  Automation::tap(gifts->topduihuanguizelabel());
  EXPECT_TRUE(Automation::isVisible(gifts->duihuanguizeview()));
  EXPECT_FALSE(gifts->mask()->isHidden());
  Automation::tap(shown("我知道了"));
  EXPECT_TRUE(gifts->duihuanguizeview()->isHidden() && gifts->mask()->isHidden());
  Automation::tap(gifts->howgetgoldlabel());
  EXPECT_TRUE(Automation::isVisible(gifts->howgetgoldview()));
  Automation::tapAt(CGPointMake(5, 470));  // the mask, beside the popup
  EXPECT_TRUE(gifts->howgetgoldview()->isHidden() && gifts->mask()->isHidden());

  tapAndWait(shown("领取记录"));
  closeLogin();
  logIn();
  tapAndWait(gifts->lingqujilubtn());
  EXPECT_TRUE(std::dynamic_pointer_cast<LibaoRecordController>(Automation::topViewController()));
}

TEST_F(GiftTabTest, TheTabLinksSwitchTabsByClassNameAndBackGoesHome) {
  auto gifts = openGiftTab();
  Automation::tap(gifts->shoplabel());
  EXPECT_EQ(tabs_->selectedViewController()->className(), "ShopController");
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "LibaoController");
  Automation::tap(gifts->yaoqinglabel());
  EXPECT_EQ(tabs_->selectedViewController()->className(), "YaoqingController");
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "LibaoController");
  Automation::tap(gifts->libaolabel());
  EXPECT_EQ(tabs_->selectedViewController(), gifts);
  tapAndWait(gifts->topbacklabel());
  EXPECT_EQ(Automation::topViewController(), home_);
}
