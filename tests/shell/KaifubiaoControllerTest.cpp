#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "shell/HomeViewController.h"
#include "shell/KaifubiaoController.h"
#include "shell/ShellTestFixture.h"

class KaifubiaoControllerTest : public ShellTestFixture {};

TEST_F(KaifubiaoControllerTest, TheGiftEntryHandsOverTheGameNameAndPresentsTheGiftPage) {
  launch();
  tapText(HomeViewController::kKaifubiaoTitle);
  auto timetable = topAs<KaifubiaoController>();
  ASSERT_TRUE(timetable);
  EXPECT_TRUE(timetable->wasPresentedAnimated());
  EXPECT_EQ(timetable->rows().count(), 3u);
  EXPECT_TRUE(Automation::findByText("剑影江湖"));

  TempData::setcontrollerdata(Value::dict({{"flag", "1"}}));
  ASSERT_TRUE(Automation::tapTag(KaifubiaoController::kLibaoTagBase + 2));
  pump();
  auto gifts = topAs<LibaoDuihuanController>();
  ASSERT_TRUE(gifts);
  EXPECT_TRUE(gifts->wasPresentedAnimated());
  EXPECT_FALSE(gifts->gamename()) << "the timetable sets no name; the hand-over carries it";
  ASSERT_TRUE(server().lastRequest("getCardList"));
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "萌宠乐园");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());

  tapText("返回");
  tapText("返回");
  EXPECT_TRUE(topAs<HomeViewController>());
}
