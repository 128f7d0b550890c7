// The gift tab: its grid of game tiles page by page, search, the hand-over of a tapped game,
// the record button, the popups and the tab links.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/LibaoController.h"
#include "games/LibaoDuihuanController.h"
#include "games/LibaoRecordController.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

class GiftTabTest : public GamesFixture {
 protected:
  // The tile's image views (the icon, then the H5 badge).
  static std::vector<std::shared_ptr<UIView>> images(const std::shared_ptr<UIView>& tile) {
    std::vector<std::shared_ptr<UIView>> out;
    for (const auto& sub : tile->subviews())
      if (std::dynamic_pointer_cast<UIImageView>(sub)) out.push_back(sub);
    return out;
  }
};

TEST_F(GiftTabTest, APageOfFourGamesFillsOneRowOfThreeAndOneOfOne) {
  server().replyOnce("getGameList", R"({"state":"error","msg":"shop"})");
  server().replyOnce("getGameList", R"({"state":"error","msg":"shop"})");
  server().replyOnce("getGameList", gamesPage("g", 4));
  auto gifts = openGiftTab();
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
  auto name = std::dynamic_pointer_cast<UILabel>(tiles[1]->viewWithTag(9));
  ASSERT_TRUE(name);
  EXPECT_EQ(name->text() + " " + frames({name}), "g1 (0,85,100.67,20)");
  EXPECT_EQ(name->font()->pointSize(), 16);
  auto kinds = std::dynamic_pointer_cast<UILabel>(inside(tiles[1], "礼包种类:2种"));
  EXPECT_EQ(colouredRanges(kinds), "5+1=rgb(247,82,55)");
  EXPECT_EQ(kinds->textColor()->description(), "rgb(167,167,167)");
  // Only the game on platform 3 wears the H5 badge.
  EXPECT_EQ(frames(images(tiles[0])), "(15.33,10,70,70)");
  EXPECT_EQ(frames(images(tiles[2])), "(15.33,10,70,70) (15.33,10,30,30)");
}

TEST_F(GiftTabTest, TheNextPageStartsOnAFreshRowBelowTheLastAndCarriesIsSpecial) {
  logIn();
  server().reply("getGameList", R"({"state":"error","msg":"shop"})");
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
  Automation::tap(shown("搜索"));
  pump();
  const auto request = giftListRequests().back();
  EXPECT_EQ(request.value("page"), "1");
  EXPECT_EQ(request.value("gamename"), "星&x=1");
  EXPECT_FALSE(request.has("x"));
  ASSERT_EQ(rows(gifts->mainscroll()).size(), 1u);
  EXPECT_EQ(gifts->mainscroll()->contentSize().height, 150);
}

TEST_F(GiftTabTest, AFailedPageIsAskedForAgainAndALateReplyForAnEarlierSearchIsDropped) {
  server().reply("getGameList", R"({"state":"error","msg":"shop"})");
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

TEST_F(GiftTabTest, TappingATileWhileLoggedOutOpensThatGamesPackages) {
  server().replyOnce("getGameList", R"({"state":"error","msg":"shop"})");
  server().replyOnce("getGameList", R"({"state":"error","msg":"shop"})");
  server().replyOnce("getGameList", gamesPage("剑影 ", 2));
  openGiftTab();
  Automation::tap(shown("剑影 1"));
  pump();
  auto packages =
      std::dynamic_pointer_cast<LibaoDuihuanController>(Automation::topViewController());
  ASSERT_TRUE(packages);
  EXPECT_TRUE(packages->wasPresentedAnimated());
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "剑影 1");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
}

TEST_F(GiftTabTest, TheRecordButtonAsksForALoginFirstThenOpensTheRecords) {
  server().reply("getGameList", R"({"state":"error","msg":"shop"})");
  auto gifts = openGiftTab();
  EXPECT_EQ(gifts->lingqujilubtn()->layer().borderColor()->description(), "rgb(232,45,0)");
  EXPECT_EQ(gifts->searchgame()->layer().borderColor()->description(), "rgb(83,160,22)");
  Automation::tap(shown("领取记录"));
  pump();
  closeLogin();
  logIn();
  Automation::tap(shown("领取记录"));
  pump();
  EXPECT_TRUE(std::dynamic_pointer_cast<LibaoRecordController>(Automation::topViewController()));
}

TEST_F(GiftTabTest, ThePopupsOpenOverTheMaskAndCloseWithTheirButtonOrTheMask) {
  server().reply("getGameList", R"({"state":"error","msg":"shop"})");
  auto gifts = openGiftTab();
  EXPECT_TRUE(gifts->mask()->isHidden());
  Automation::tap(gifts->topduihuanguizelabel());
  EXPECT_TRUE(Automation::isVisible(gifts->duihuanguizeview()));
  EXPECT_FALSE(gifts->mask()->isHidden());
  Automation::tap(shown("我知道了"));
  EXPECT_TRUE(gifts->duihuanguizeview()->isHidden());
  EXPECT_TRUE(gifts->mask()->isHidden());
  Automation::tap(gifts->howgetgoldlabel());
  EXPECT_TRUE(Automation::isVisible(gifts->howgetgoldview()));
  Automation::tapAt(CGPointMake(5, 470));  // the mask, beside the popup
  EXPECT_TRUE(gifts->howgetgoldview()->isHidden());
  EXPECT_TRUE(gifts->mask()->isHidden());
}

TEST_F(GiftTabTest, TheTabLinksSwitchTabsByClassNameAndBackGoesHome) {
  server().reply("getGameList", R"({"state":"error","msg":"shop"})");
  auto gifts = openGiftTab();
  Automation::tap(gifts->shoplabel());
  EXPECT_EQ(tabs_->selectedViewController()->className(), "ShopController");
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "LibaoController");
  Automation::tap(gifts->yaoqinglabel());
  EXPECT_EQ(tabs_->selectedViewController()->className(), "YaoqingController");
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "LibaoController");
  Automation::tap(gifts->libaolabel());
  EXPECT_EQ(tabs_->selectedViewController(), gifts);
  Automation::tap(gifts->topbacklabel());
  pump();
  EXPECT_EQ(Automation::topViewController(), home_);
}
