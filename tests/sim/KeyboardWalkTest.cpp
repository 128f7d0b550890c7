// The walk's keyboard segment: what each of its commands shows.

#include "WalkRunner.h"

using KeyboardWalkTest = WalkTest;

TEST_F(KeyboardWalkTest, TheWalkShowsFieldsRisingAboveTheKeyboardWithTheirBarAndComingBack) {
  WalkRunner walk(server());
  const auto steps = walk.steps(WalkRunner::walkScript());
  // The segment's commands, from its comment to the statistics module's; it opens the card form
  // from the shop tab first.
  std::vector<std::string> segment;
  bool inSegment = false;
  for (const auto& [line, output] : steps) {
    if (line.rfind("# Keyboard manager", 0) == 0) inSegment = true;
    if (line.rfind("# The statistics module", 0) == 0) inSegment = false;
    if (inSegment && !output.empty()) segment.push_back(output);
  }
  ASSERT_EQ(segment.size(), 15u);
  EXPECT_EQ(reportIn(segment[1]), "tapped UIButton \"金币充值\"");
  const std::string keys = "UIKeyboard (0,352,320,216)";
  const std::string bar = "KBToolbar (0,308,320,44) tag=-1005";

  // The card form: the account field (101 + 280 in the window) scrolls up by 103 points, to end
  // 10 points above the bar; Next goes on to the card number, 25 points further.
  const std::string& card = segment[2];
  EXPECT_TRUE(contains(card, keys)) << card;
  EXPECT_TRUE(contains(card, bar));
  EXPECT_TRUE(contains(card, "offset=(0,103) content=(0,418)"));
  EXPECT_TRUE(contains(card, "UITextField (65,280,235,20) text=\"demo\" editing"));
  EXPECT_TRUE(contains(segment[3], "offset=(0,128)"));
  EXPECT_TRUE(contains(segment[3], "UITextField (65,305,235,20) text=\"\" editing"));
  // Done: keyboard and bar gone, the form back at the top.
  EXPECT_FALSE(contains(segment[4], "UIKeyboard"));
  EXPECT_FALSE(contains(segment[4], "KBToolbar"));
  EXPECT_TRUE(contains(segment[4], "UIScrollView (320,0,320,418) content=(0,418)"));

  // The login form: each bar is titled with its field's placeholder; Next moves on.
  EXPECT_TRUE(contains(segment[8], "text=\"请输入用户名\" color=rgb(170,170,170)"));
  EXPECT_TRUE(contains(segment[10], "text=\"请输入密码\" color=rgb(170,170,170)"));
  EXPECT_TRUE(contains(segment[10], "placeholder=\"请输入密码\" editing"));
  EXPECT_FALSE(contains(segment[12], "UIKeyboard"));

  // It ends logged in again, on the shop tab, the keyboard and the login form gone.
  EXPECT_TRUE(contains(segment.back(), "title=\"商城\" color=rgb(81,158,19) selected"));
  EXPECT_FALSE(contains(segment.back(), "UIKeyboard"));
  EXPECT_FALSE(contains(segment.back(), "用户登录"));
}
