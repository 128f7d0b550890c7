// The invitation segment of the scripted walk: the tab shows the demo summary, the link goes to
// a Parley chat and onto the pasteboard, the held QR code lands in the photo album, the rewards
// list shows the invited friends, and the walk leaves the app on the shop tab.

#include "WalkRunner.h"
#include "platform/services/PhotoAlbum.h"

class InviteWalkTest : public WalkTest {
 protected:
  void SetUp() override {
    WalkTest::SetUp();
    PhotoAlbum::shared().reset();
  }
  void TearDown() override {
    PhotoAlbum::shared().reset();
    WalkTest::TearDown();
  }
};

TEST_F(InviteWalkTest, TheWalkSharesCopiesAndSavesTheInvitationAndOpensTheRewards) {
  WalkRunner walk(server());
  const auto steps = walk.steps(WalkRunner::walkScript());
  // The output of a command of the invitation segment.
  auto after = [&](const std::string& command) { return outputOf(steps, command, "tap 邀请"); };

  const std::string tab = outputOf(steps, "tap 邀请");
  EXPECT_TRUE(contains(tab, "text=\"86.00\"")) << tab;
  EXPECT_TRUE(contains(tab, "text=\"成功邀请好友6人>\""));
  ASSERT_TRUE(server().lastRequest("getInvite_v2"));
  EXPECT_EQ(server().lastRequest("getInvite_v2")->value("username"), "demo");

  const std::string urls = after("urls");
  const size_t lastShare = urls.rfind("parley received from");
  ASSERT_NE(lastShare, std::string::npos) << urls;
  const std::string share = urls.substr(lastShare);
  // The demo player's link is on the demo server itself.
  const std::string link = server().baseUrl() + "/invite/demo";
  EXPECT_TRUE(contains(share, "  mediaUrl = \"" + link + "\"")) << share;
  EXPECT_TRUE(contains(share, "  scene = \"0\""));
  EXPECT_TRUE(contains(share, "  title = \"Tovira手游\""));

  EXPECT_TRUE(contains(after("tap 复制链接"), "message=\"链接已复制到剪切板\""));
  EXPECT_TRUE(contains(after("pasteboard"), "public.utf8-plain-text = \"" + link + "\""));
  EXPECT_EQ(reportIn(after("hold @160,427")), "held UIImageView for 2 s");
  EXPECT_TRUE(contains(after("tap 保存"), "message=\"成功保存到相册\""));
  EXPECT_EQ(reportIn(after("photos")), "1 photo(s)");
  EXPECT_EQ(PhotoAlbum::shared().savedPhotoPaths().size(), 1u);

  const std::string rewards = after("tap 成功邀请好友6人>");
  for (const char* text : {"您成功邀请好友6人", "86.00个", "187****6666", "10.00绑金"})
    EXPECT_TRUE(contains(rewards, "text=\"" + std::string(text) + "\"")) << text;
  EXPECT_FALSE(contains(after("tap 商城"), "立即邀请"));
}
