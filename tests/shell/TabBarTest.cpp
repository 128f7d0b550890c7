#include "account/MeController.h"
#include "core/TempData.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIScreen.h"
#include "shell/HomeViewController.h"
#include "shell/ShellTestFixture.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

class TabBarTest : public ShellTestFixture {
 protected:
  std::shared_ptr<TabBarController> enterTabBar() {
    launch();
    tapText(HomeViewController::kEntryTitle);
    auto tabs = topAs<TabBarController>();
    EXPECT_TRUE(tabs) << "the home screen's entry presents the tab bar";
    return tabs;
  }

  static std::string selectedClass(const std::shared_ptr<TabBarController>& tabs) {
    auto selected = tabs->selectedViewController();
    return selected ? selected->className() : "";
  }

  static std::vector<std::string> childClasses(const std::shared_ptr<TabBarController>& tabs) {
    std::vector<std::string> names;
    for (const auto& child : tabs->viewControllers()) names.push_back(child->className());
    return names;
  }
};

TEST_F(TabBarTest, TheBarHasFiveButtonsFortyNinePointsHighAlongTheBottom) {
  auto tabs = enterTabBar();
  ASSERT_TRUE(tabs);
  auto bar = tabs->bar();
  ASSERT_TRUE(bar);
  const CGRect screen = UIScreen::mainScreen()->bounds();
  EXPECT_EQ(bar->frame(), CGRectMake(0, screen.size.height - 49, screen.size.width, 49));
  std::string titles;  // the visible buttons' titles in order
  for (long i = 0; i < 5; ++i) {
    auto button = tabs->barButton(i);
    if (button && Automation::isVisible(button)) titles += button->currentTitle() + " ";
  }
  EXPECT_EQ(titles, "首页 商城 礼包 邀请 我的 ");
  EXPECT_EQ(
      childClasses(tabs),
      (std::vector<std::string>{"ShopController", "LibaoController", "YaoqingController",
                                "MeController", "BindToviraController", "GameCenterController"}));
  EXPECT_EQ(selectedClass(tabs), "ShopController");
  // The bar's buttons take the taps on it.
  EXPECT_TRUE(Automation::hitTest(CGPointMake(screen.size.width - 10, screen.size.height - 20))
                  ->isDescendantOfView(tabs->bar()));
}

TEST_F(TabBarTest, EachButtonSelectsItsTabAndIsTheOnlyOneInGreen) {
  auto tabs = enterTabBar();
  ASSERT_TRUE(tabs);
  const std::vector<std::pair<std::string, std::string>> expected = {{"礼包", "LibaoController"},
                                                                     {"邀请", "YaoqingController"},
                                                                     {"我的", "MeController"},
                                                                     {"商城", "ShopController"}};
  for (const auto& [title, className] : expected) {
    tapText(title);
    EXPECT_EQ(selectedClass(tabs), className) << title;
    EXPECT_EQ(tabs->view()->subviews().back(), tabs->bar()) << "the bar stays above the tab";
    for (long i = 1; i < 5; ++i) {
      auto button = tabs->barButton(i);
      const bool isSelected = button->titleForState(UIControlStateNormal) == title;
      EXPECT_EQ(button->titleColorForState(UIControlStateNormal)->description(),
                isSelected ? UIColor::rgb(81, 158, 19)->description()
                           : UIColor::grayColor()->description())
          << title << " / " << button->titleForState(UIControlStateNormal);
    }
  }
}

TEST_F(TabBarTest, HomeButtonDismissesTheTabBarBackToTheHomeScreen) {
  auto tabs = enterTabBar();
  ASSERT_TRUE(tabs);
  ASSERT_TRUE(Automation::tap(tabs->barButton(0)));
  pump();
  EXPECT_TRUE(topAs<HomeViewController>());
  EXPECT_TRUE(tabs->wasDismissedAnimated());
}

TEST_F(TabBarTest, SwitchingToAChildBeyondTheButtonsSwapsItIntoPositionThree) {
  auto tabs = enterTabBar();
  ASSERT_TRUE(tabs);
  TabBarHelper::qiehuanTabBarViewControllers(tabs, "BindToviraController");
  pump();
  EXPECT_EQ(
      childClasses(tabs),
      (std::vector<std::string>{"ShopController", "LibaoController", "YaoqingController",
                                "BindToviraController", "MeController", "GameCenterController"}));
  EXPECT_EQ(tabs->selectedIndex(), 3);
  EXPECT_EQ(selectedClass(tabs), "BindToviraController");

  // "我的" brings the player's page back into its place the same way.
  tapText("我的");
  EXPECT_EQ(selectedClass(tabs), "MeController");
  EXPECT_EQ(tabs->selectedIndex(), 3);
  EXPECT_EQ(childClasses(tabs)[4], "BindToviraController");
}

TEST_F(TabBarTest, SwitchingToAChildWithinTheButtonsOrToNoneKeepsTheOrder) {
  auto tabs = enterTabBar();
  ASSERT_TRUE(tabs);
  const auto before = childClasses(tabs);
  TabBarHelper::qiehuanTabBarViewControllers(tabs, "YaoqingController");
  EXPECT_EQ(childClasses(tabs), before);
  EXPECT_EQ(tabs->selectedIndex(), 2);

  // An unknown class or a missing controller changes nothing.
  TabBarHelper::qiehuanTabBarViewControllers(tabs, "LibaoController");
  TabBarHelper::qiehuanTabBarViewControllers(tabs, "NoSuchController");
  EXPECT_EQ(selectedClass(tabs), "LibaoController");
  TabBarHelper::qiehuanTabBarViewControllers(nullptr, "ShopController");
  TabBarHelper::qiehuanTabBarViewControllers(HomeViewController::create(), "ShopController");
  EXPECT_EQ(selectedClass(tabs), "LibaoController");
}
