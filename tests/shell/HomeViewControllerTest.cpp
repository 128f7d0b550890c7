#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "games/YaoQingJiangLiController.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "shell/HomeViewController.h"
#include "shell/ShellLists.h"
#include "shell/ShellTestFixture.h"

class HomeViewControllerTest : public ShellTestFixture {
 protected:
  std::shared_ptr<HomeViewController> home() {
    launch();
    auto screen = topAs<HomeViewController>();
    EXPECT_TRUE(screen) << "the app starts on the home screen";
    return screen;
  }
};

TEST_F(HomeViewControllerTest, ASlidePresentsItsClassWithItsExtrasAsTheHandOver) {
  auto screen = home();
  ASSERT_TRUE(screen);
  ASSERT_EQ(screen->slides().count(), 2u);

  // The gift slide: the page lists the game that its extras name, and the hand-over is used up.
  tapText(screen->slides()[0]["title"].str());
  auto gifts = topAs<LibaoDuihuanController>();
  ASSERT_TRUE(gifts);
  EXPECT_TRUE(gifts->wasPresentedAnimated());
  EXPECT_FALSE(gifts->gamename()) << "a slide sets no name; the hand-over carries it";
  ASSERT_TRUE(server().lastRequest("getCardList"));
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "星海远征");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());

  // The rewards slide: the page shows the InviteSummary of its extras.
  tapText("返回");
  tapText(screen->slides()[1]["title"].str());
  auto rewards = topAs<YaoQingJiangLiController>();
  ASSERT_TRUE(rewards);
  EXPECT_TRUE(Automation::findByText("您成功邀请好友2人"));
  EXPECT_TRUE(Automation::findByText("30.00个"));
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
}

TEST_F(HomeViewControllerTest, ASlideThatNamesNoScreenPresentsNothingAndLeavesTheHandOverAlone) {
  auto screen = home();
  ASSERT_TRUE(screen);
  const Value pending = Value::dict({{"flag", "1"}});
  TempData::setcontrollerdata(pending);
  const Value extras = Value::dict({{"gamename", "星海远征"}});
  // An unknown class, a registered class that is no screen, and no class at all.
  for (const char* name : {"NoSuchController", "YQView", ""}) {
    screen->slideclick(Value::dict({{"classname", name}, {"extras", extras}}));
    pump();
    EXPECT_EQ(top(), screen) << name;
    EXPECT_EQ(TempData::getcontrollerdata(), pending) << name;
  }
}

TEST_F(HomeViewControllerTest, AMissingOrBrokenListsFileGivesEmptyListsAndSkipsOddEntries) {
  const std::string folder = sandboxRoot() + "/lists";
  auto& files = NSFileManager::defaultManager();
  ASSERT_TRUE(files.createDirectoryAtPath(folder, true));
  NSBundle::mainBundle().setResourcePath(folder);
  EXPECT_EQ(ShellLists::slides().count(), 0u) << "no file";

  const std::string path = folder + "/" + ShellLists::kFileName;
  ASSERT_TRUE(files.writeString("{\"slides\": [", path));
  EXPECT_EQ(ShellLists::games().count(), 0u) << "not JSON";

  ASSERT_TRUE(files.writeString(
      R"({"slides": {"title": "x"}, "games": [1, "星海远征", {"plat_gamename": "剑影江湖"}]})",
      path));
  EXPECT_EQ(ShellLists::slides().count(), 0u) << "not a list";
  EXPECT_EQ(ShellLists::kaifubiao().count(), 0u) << "no list";
  EXPECT_EQ(ShellLists::games(), Value::array({Value::dict({{"plat_gamename", "剑影江湖"}})}));
}
