#include "WalkRunner.h"
#include "shell/ShellTestFixture.h"

// The walk's keyboard segment: what each of its commands shows.
class KeyboardWalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    useDemoReplies();
  }

  // Runs the whole walk; answers the output of each command of the keyboard segment, in order.
  std::vector<std::pair<std::string, std::string>> runWalk() {
    WalkRunner walk(server());
    std::vector<std::pair<std::string, std::string>> segment;
    bool inSegment = false;
    for (const auto& [line, out] : walk.steps(WalkRunner::walkScript())) {
      if (line.rfind("# Keyboard manager", 0) == 0) inSegment = true;
      // The statistics module's part follows.
      if (line.rfind("# The statistics module", 0) == 0) inSegment = false;
      if (inSegment && !line.empty() && line[0] != '#') segment.emplace_back(line, out);
    }
    return segment;
  }

  static bool shows(const std::string& out, const std::string& fragment) {
    return out.find(fragment) != std::string::npos;
  }
};

TEST_F(KeyboardWalkTest, TheWalkShowsFieldsRisingAboveTheKeyboardWithTheirBarAndComingBack) {
  auto segment = runWalk();
  // The segment first opens the card form from the shop tab.
  ASSERT_EQ(segment.size(), 15u);
  EXPECT_EQ(segment[0].first, "tap 商城");
  EXPECT_EQ(segment[1].first, "tap 金币充值");
  segment.erase(segment.begin(), segment.begin() + 2);
  const std::string keys = "UIKeyboard (0,352,320,216)";
  const std::string bar = "KBToolbar (0,308,320,44) tag=-1005";

  // The card form: the account field (101 + 280 in the window) scrolls up by 103 points, to end
  // 10 points above the bar; Next goes on to the card number, 25 points further.
  auto& card = segment[0].second;
  EXPECT_TRUE(shows(card, keys)) << card;
  EXPECT_TRUE(shows(card, bar));
  EXPECT_TRUE(shows(card, "offset=(0,103) content=(0,418)"));
  EXPECT_TRUE(shows(card, "UITextField (65,280,235,20) text=\"demo\" editing"));
  auto& next = segment[1].second;
  EXPECT_TRUE(shows(next, "offset=(0,128)"));
  EXPECT_TRUE(shows(next, "UITextField (65,305,235,20) text=\"\" editing"));
  // Done: keyboard and bar gone, the form back at the top.
  auto& done = segment[2].second;
  EXPECT_FALSE(shows(done, "UIKeyboard"));
  EXPECT_FALSE(shows(done, "KBToolbar"));
  EXPECT_TRUE(shows(done, "UIScrollView (320,0,320,418) content=(0,418)"));

  // The login form: each bar is titled with its field's placeholder; Next moves on.
  EXPECT_TRUE(shows(segment[6].second, "text=\"请输入用户名\" color=rgb(170,170,170)"));
  EXPECT_TRUE(shows(segment[8].second, "text=\"请输入密码\" color=rgb(170,170,170)"));
  EXPECT_TRUE(shows(segment[8].second, "placeholder=\"请输入密码\" editing"));
  EXPECT_FALSE(shows(segment[10].second, "UIKeyboard"));

  // It ends logged in again, on the tab bar, with nothing presented and no alert.
  auto& last = segment.back().second;
  EXPECT_TRUE(shows(last, "title=\"商城\" color=rgb(81,158,19) selected"));
  EXPECT_FALSE(shows(last, "UIAlertView"));
  EXPECT_FALSE(shows(last, "UIKeyboard"));
  EXPECT_FALSE(shows(last, "用户登录"));
}
