// The gifts segment of the scripted walk: the gift tab, a search, one game's packages, a
// redemption with its code on the pasteboard, and the records.

#include "WalkRunner.h"

using GiftWalkTest = WalkTest;

TEST_F(GiftWalkTest, TheWalkRedeemsAGiftCopiesItsCodeAndShowsTheRecords) {
  WalkRunner walk(server());
  const auto steps = walk.steps(WalkRunner::walkScript());

  std::vector<DevRequest> giftLists;
  for (const auto& request : server().requests("getGameList"))
    if (request.has("lb")) giftLists.push_back(request);
  ASSERT_EQ(giftLists.size(), 2u);
  EXPECT_EQ(giftLists[1].value("gamename"), "星海远征");
  EXPECT_EQ(giftLists[1].value("is_special"), "0");
  ASSERT_TRUE(server().lastRequest("getCardList"));
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "星海远征");
  ASSERT_TRUE(server().lastRequest("getCard"));
  EXPECT_EQ(server().lastRequest("getCard")->value("cardid"), "9001");
  EXPECT_EQ(reportOf(steps, "alert", "tap 复制"),
            "复制成功 | 兑换码(TVR8H2KQ9ZX4)已复制到您的剪贴板 | [确定]");
  EXPECT_TRUE(contains(outputOf(steps, "pasteboard", "tap 复制"),
                       "public.utf8-plain-text = \"TVR8H2KQ9ZX4\""));
  EXPECT_EQ(server().requests("getCardRecord").size(), 1u);
  EXPECT_TRUE(contains(outputOf(steps, "tap 领取记录"), "text=\"领取时间:"));
}
