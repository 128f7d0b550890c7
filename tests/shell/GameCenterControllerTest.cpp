#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "shell/GameCenterController.h"
#include "shell/HomeViewController.h"
#include "shell/ShellTestFixture.h"
#include "shell/TabBarController.h"

class GameCenterControllerTest : public ShellTestFixture {
 protected:
  // From the home screen's entry: the tab bar, switched to the game centre.
  std::shared_ptr<TabBarController> openGameCenter() {
    launch();
    tapText(HomeViewController::kGameCenterTitle);
    auto tabs = topAs<TabBarController>();
    EXPECT_TRUE(tabs);
    return tabs;
  }

  static std::string selectedClass(const std::shared_ptr<TabBarController>& tabs) {
    auto selected = tabs->selectedViewController();
    return selected ? selected->className() : "";
  }
};

TEST_F(GameCenterControllerTest, TheHomeEntryShowsTheGameCentreTabWithTheBundledGames) {
  auto tabs = openGameCenter();
  ASSERT_TRUE(tabs);
  EXPECT_EQ(selectedClass(tabs), "GameCenterController");
  auto centre = std::dynamic_pointer_cast<GameCenterController>(tabs->selectedViewController());
  ASSERT_TRUE(centre);
  EXPECT_EQ(centre->games().count(), 4u);
  EXPECT_TRUE(Automation::findByText("龙城霸业"));
  EXPECT_FALSE(Automation::findByText("返回")) << "in the tab bar, its bar leads home";
  // The list stops above the tab bar's own bar.
  EXPECT_EQ(centre->gameList()->frame().origin.y + centre->gameList()->frame().size.height,
            tabs->bar()->frame().origin.y);
}

TEST_F(GameCenterControllerTest, TheGiftEntrySetsTheGameNameOnANewGiftPageBeforePresentingIt) {
  ASSERT_TRUE(openGameCenter());
  ASSERT_TRUE(Automation::tapTag(GameCenterController::kLibaoTagBase + 1));
  pump();
  auto gifts = topAs<LibaoDuihuanController>();
  ASSERT_TRUE(gifts);
  EXPECT_TRUE(gifts->wasPresentedAnimated());
  ASSERT_TRUE(gifts->gamename());
  EXPECT_EQ(*gifts->gamename(), "剑影江湖");
  ASSERT_TRUE(server().lastRequest("getCardList"));
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "剑影江湖")
      << "the name was set before the page loaded";

  tapText("返回");
  EXPECT_TRUE(topAs<TabBarController>());
}

TEST_F(GameCenterControllerTest, TheBindingEntrySwitchesToTheBindingTabThroughTheTabBar) {
  auto tabs = openGameCenter();
  ASSERT_TRUE(tabs);
  ASSERT_TRUE(Automation::tapTag(GameCenterController::kBindTagBase + 2));
  pump();
  EXPECT_EQ(selectedClass(tabs), "BindToviraController");
  EXPECT_EQ(tabs->selectedIndex(), 3);
  EXPECT_EQ(top(), tabs) << "a switch, not a presentation";

  // Without a tab bar for a parent there is nothing to switch, and "返回" leads back.
  auto alone = GameCenterController::create();
  tabs->presentViewController(alone, false);
  pump();
  alone->bindclick();
  pump();
  EXPECT_EQ(top(), alone);
  EXPECT_EQ(selectedClass(tabs), "BindToviraController");
  tapText("返回");
  EXPECT_EQ(top(), tabs);
}
