// The gifts segment of the scripted walk: the gift tab, a search, one game's packages, a
// redemption with its code on the pasteboard, and the records; it ends on the tab bar.

#include "WalkRunner.h"
#include "core/TempData.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/ShellTestFixture.h"

class GiftWalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    useDemoReplies();
  }
};

TEST_F(GiftWalkTest, TheWalkRedeemsAGiftCopiesItsCodeShowsTheRecordsAndEndsOnTheTabBar) {
  WalkRunner walk(server());
  std::string text;
  for (const auto& line : walk.run(WalkRunner::walkScript())) text += line + "\n";

  EXPECT_EQ(text.find("nothing to tap"), std::string::npos);
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
  EXPECT_NE(text.find("复制成功 | 兑换码(TVR8H2KQ9ZX4)已复制到您的剪贴板 | [确定]"),
            std::string::npos);
  EXPECT_NE(text.find("public.utf8-plain-text = \"TVR8H2KQ9ZX4\""), std::string::npos);
  EXPECT_EQ(server().requests("getCardRecord").size(), 1u);
  EXPECT_NE(text.find("text=\"领取时间:"), std::string::npos);

  // The walk ends on the tab bar, nothing presented over it and no alert up.
  auto top = Automation::topViewController();
  ASSERT_TRUE(std::dynamic_pointer_cast<UITabBarController>(top));
  EXPECT_EQ(Automation::alertText(), "");
}
