// The game picker with its letter column, as the binding tab builds it from the game list.

#include "GamesFixture.h"
#include "core/TempData.h"
#include "games/BindToviraController.h"
#include "games/GamePicker.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"

class GamePickerTest : public GamesFixture {
 protected:
  std::shared_ptr<BindToviraController> openWithGames(const Value& reply) {
    server().reply("getGameList", reply);
    auto bind = openBinding();
    tapAndWait(bind->choosegameview());
    return bind;
  }
  static std::string colour(const std::shared_ptr<UILabel>& label) {
    return label->textColor() ? label->textColor()->description() : "none";
  }
  // Each row's text, or its text colour with `colours`.
  static std::vector<std::string> rows(const std::shared_ptr<BindToviraController>& bind,
                                       bool colours = false) {
    std::vector<std::string> out;
    for (const auto& row : GamePicker::rows(*bind->gamescroll()))
      out.push_back(colours ? colour(row) : row->text());
    return out;
  }
  static std::shared_ptr<UILabel> letter(const std::shared_ptr<BindToviraController>& bind,
                                         const std::string& text) {
    for (const auto& sub : bind->gamezimuscroll()->subviews()) {
      auto label = std::dynamic_pointer_cast<UILabel>(sub);
      if (label && label->text() == text) return label;
    }
    ADD_FAILURE() << "no letter " << text;
    return nullptr;
  }
  static constexpr const char* kGrey = "rgb(183,183,183)";
  static constexpr const char* kGreen = "rgb(118,181,72)";
};

TEST_F(GamePickerTest, RowsShowTheIndexLetterOrWuBeforeTheNameWithBadgesForH5Games) {
  TempData::setuserdata(user());
  auto bind = openWithGames(games({{"xhyz", "星海远征", "1"},
                                   {"", "无名之地", "2"},
                                   {"  ", "空白", "1"},
                                   {"mcly", "萌宠乐园", "3"}}));
  // Each row a label tagged with its index over the hidden label of its platform; one badge,
  // beside the H5 game, on the list itself; separators from the second row on.
  EXPECT_EQ(Automation::dumpView(bind->gamescroll()), R"(UIScrollView (0,0,270,240) content=(0,120)
  UILabel (0,0,270,30) text="  X  星海远征" color=rgb(183,183,183) font=system 14 bg=rgb(255,255,255)
    UILabel (0,0,0,0) tag=8 text="1" color=rgb(0,0,0) font=system 17 hidden
  UILabel (0,30,270,30) tag=1 text="  无  无名之地" color=rgb(183,183,183) font=system 14 bg=rgb(255,255,255)
    UILabel (0,0,0,0) tag=8 text="2" color=rgb(0,0,0) font=system 17 hidden
  UIView (0,29,270,1) bg=rgb(183,183,183)
  UILabel (0,60,270,30) tag=2 text="  无  空白" color=rgb(183,183,183) font=system 14 bg=rgb(255,255,255)
    UILabel (0,0,0,0) tag=8 text="1" color=rgb(0,0,0) font=system 17 hidden
  UIView (0,59,270,1) bg=rgb(183,183,183)
  UILabel (0,90,270,30) tag=3 text="  M  萌宠乐园" color=rgb(183,183,183) font=system 14 bg=rgb(255,255,255)
    UILabel (0,0,0,0) tag=8 text="3" color=rgb(0,0,0) font=system 17 hidden
  UILabel (240,95,20,20) text="H5" color=rgb(255,255,255) font=system 10 bg=rgb(255,193,87) radius=5
  UIView (0,89,270,1) bg=rgb(183,183,183)
)");
  EXPECT_EQ(bind->gamezimuscroll()->contentSize().height, 780);
}

TEST_F(GamePickerTest, AListThatIsNotAnArrayOfDictionariesAddsNoRowsAndCrashesNothing) {
  // A reply that is not ok leaves no rows, but the letters are shown.
  Value reply = games({{"a", "甲", "1"}, {"b", "乙", "2"}});
  reply.set("state", "error");
  auto bind = openWithGames(reply);
  EXPECT_TRUE(rows(bind).empty());
  EXPECT_EQ(bind->gamescroll()->contentSize().height, 60);
  EXPECT_TRUE(letter(bind, "A") && letter(bind, "Z"));
  EXPECT_EQ(letter(bind, "B")->frame(), CGRectMake(0, 30, 30, 29));

  server().reply("getGameList", R"({"state":"ok","data":{"plat_gamename":"x"}})");
  bind->viewDidAppear(false);
  EXPECT_TRUE(rows(bind).empty());
  EXPECT_EQ(bind->gamescroll()->contentSize().height, 0);

  server().reply(
      "getGameList",
      R"({"state":"ok","data":["text",7,null,{"plat_gameshort":"q","plat_gamename":"青云","plat_id":"2"}]})");
  bind->viewDidAppear(false);
  EXPECT_EQ(rows(bind), (std::vector<std::string>{"  Q  青云"}));
  EXPECT_EQ(GamePicker::rows(*bind->gamescroll()).at(0)->tag(), 0);
}

TEST_F(GamePickerTest, ALetterHighlightsItsGamesAndScrollsToTheFirstOfThem) {
  std::vector<std::vector<std::string>> list;
  for (const char* s : {"a1", "w", "b", "c", "d", "e", "f", "g", "hh", "hz"})
    list.push_back({s, s, s[0] == 'w' ? "3" : "1"});
  auto bind = openWithGames(games(list));
  tapAndWait(letter(bind, "H"));
  std::vector<std::string> expected(10, kGrey);
  expected[8] = expected[9] = kGreen;
  EXPECT_EQ(rows(bind, true), expected);
  // The first H game, not the top where the "H5" badge of an earlier game stands.
  EXPECT_EQ(bind->gamescroll()->contentOffset(), CGPointMake(0, 240));
  EXPECT_TRUE(bind->gamescroll()->lastContentOffsetAnimated());
  EXPECT_EQ(colour(letter(bind, "H")), kGreen);
  EXPECT_EQ(colour(letter(bind, "A")), "rgb(0,0,0)");
  EXPECT_EQ(colour(std::dynamic_pointer_cast<UILabel>(inside(bind->gamescroll(), "H5"))),
            "rgb(255,255,255)");

  // A letter without games only recolours.
  bind->gamezimuscroll()->setContentOffset(CGPointMake(0, 540));
  tapAndWait(letter(bind, "Z"));
  EXPECT_EQ(bind->gamescroll()->contentOffset(), CGPointMake(0, 240));
  EXPECT_EQ(rows(bind, true), std::vector<std::string>(10, kGrey));
  EXPECT_EQ(colour(letter(bind, "H")), "rgb(0,0,0)");
  EXPECT_EQ(colour(letter(bind, "Z")), kGreen);
}

TEST_F(GamePickerTest, EveryRowReadsThePlatformFromItsOwnHiddenLabel) {
  std::vector<std::vector<std::string>> list;
  for (int i = 0; i < 12; ++i) {
    list.push_back({std::string(1, static_cast<char>('a' + i)), "游戏" + std::to_string(i),
                    std::to_string(1 + i % 3)});
  }
  TempData::setuserdata(user());
  auto bind = openWithGames(games(list));
  // Row 8 carries the same tag as the platform labels; it still answers its platform.
  bind->gamezimuscroll()->setContentOffset(CGPointMake(0, 60));
  tapAndWait(letter(bind, "I"));
  auto rows = GamePicker::rows(*bind->gamescroll());
  ASSERT_EQ(rows.size(), 12u);
  tapAndWait(rows[8]);
  EXPECT_EQ(bind->bindplatid(), "3");
  EXPECT_EQ(bind->choosegamelabel()->text(), "游戏8");
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(GamePicker::platformOf(*rows[i]), std::to_string(1 + i % 3));
  }
}

TEST_F(GamePickerTest, ChoosingAGameShowsItsNameClosesTheDropDownAndStoresItsPlatform) {
  TempData::setuserdata(user({{"1", "p1"}, {"2", "p2"}}));
  auto bind = openWithGames(games({{"jy", " 剑影江湖 ", "2"}, {"", "云上", "3"}}));
  EXPECT_FALSE(bind->choosegamedropview()->isHidden());
  auto rows = GamePicker::rows(*bind->gamescroll());
  tapAndWait(rows[0]);
  EXPECT_EQ(bind->choosegamelabel()->text(), "剑影江湖");
  EXPECT_TRUE(bind->choosegamedropview()->isHidden());
  EXPECT_EQ(bind->bindplatid(), "2");
  EXPECT_EQ(bind->showgameplatlabel()->text(), "*该游戏由云游手游中心提供,您已拥有该平台游戏账号");

  // Reopening keeps the choice; the bare name of a game without a short name.
  tapAndWait(bind->choosegameview());
  EXPECT_EQ(bind->bindplatid(), "2");
  tapAndWait(rows[1]);
  EXPECT_EQ(bind->choosegamelabel()->text(), "云上");
  EXPECT_EQ(bind->showgameplatlabel()->text(), "该游戏由掌上H5游戏提供");
}

TEST(GamePickerProviderLine, FollowsThePlatformsThePlayerHolds) {
  const struct {
    const char *plat, *account, *h5;
    std::optional<std::string> line;
  } cases[] = {{"1", "4", "0", "*该游戏由星辰手游中心提供"},
               {"1", "3", "0", "*该游戏由星辰手游中心提供,您已拥有该平台游戏账号"},
               {"2", "1", "0", "*该游戏由云游手游中心提供"},
               {"2", "2", "0", "*该游戏由云游手游中心提供,您已拥有该平台游戏账号"},
               {"3", "3", "1", "该游戏由掌上H5游戏提供，您已拥有改平台游戏账号"},
               {"9", "3", "1", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.plat) + " " + c.account + " " + c.h5);
    EXPECT_EQ(BindToviraController::providerLine(c.plat, c.account, c.h5), c.line);
  }
}
