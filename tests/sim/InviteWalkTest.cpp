// The invitation segment of the scripted walk: the tab shows the demo summary, the link goes to
// a Parley chat and onto the pasteboard, the held QR code lands in the photo album, the rewards
// list shows the invited friends, and the walk leaves the app on the shop tab.

#include <algorithm>

#include "WalkRunner.h"
#include "core/TempData.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/ShellTestFixture.h"

class InviteWalkTest : public ShellTestFixture {
 protected:
  void SetUp() override {
    ShellTestFixture::SetUp();
    PhotoAlbum::shared().reset();
    useDemoReplies();
  }
  void TearDown() override {
    PhotoAlbum::shared().reset();
    ShellTestFixture::TearDown();
  }

  using Step = WalkRunner::Step;
  // The output of the first command `command` that comes after the invitation segment begins.
  static std::string after(const std::vector<Step>& steps, const std::string& command) {
    auto start = std::find_if(steps.begin(), steps.end(),
                              [](const Step& s) { return s.command == "tap 邀请"; });
    auto it = std::find_if(start, steps.end(), [&](const Step& s) { return s.command == command; });
    return it == steps.end() ? "(missing: " + command + ")" : it->output;
  }
  static bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(InviteWalkTest, TheWalkSharesCopiesAndSavesTheInvitationAndOpensTheRewards) {
  WalkRunner walk(server());
  const auto steps = walk.steps(WalkRunner::walkScript());
  for (const auto& step : steps) {
    EXPECT_FALSE(contains(step.output, "\nnothing to ")) << step.command;
    EXPECT_FALSE(contains(step.output, "\nunknown command")) << step.command;
  }

  const std::string tab = after(steps, "tap 邀请");
  EXPECT_TRUE(contains(tab, "text=\"86.00\"")) << tab;
  EXPECT_TRUE(contains(tab, "text=\"成功邀请好友6人>\""));
  ASSERT_TRUE(server().lastRequest("getInvite_v2"));
  EXPECT_EQ(server().lastRequest("getInvite_v2")->value("username"), "demo");

  const std::string urls = after(steps, "urls");
  const size_t lastShare = urls.rfind("parley received from");
  ASSERT_NE(lastShare, std::string::npos) << urls;
  const std::string share = urls.substr(lastShare);
  // The demo player's link is on the demo server itself.
  const std::string link = server().baseUrl() + "/invite/demo";
  EXPECT_TRUE(contains(share, "  mediaUrl = \"" + link + "\"")) << share;
  EXPECT_TRUE(contains(share, "  scene = \"0\""));
  EXPECT_TRUE(contains(share, "  title = \"Tovira手游\""));

  EXPECT_TRUE(contains(after(steps, "tap 复制链接"), "message=\"链接已复制到剪切板\""));
  EXPECT_TRUE(contains(after(steps, "pasteboard"), "public.utf8-plain-text = \"" + link + "\""));
  EXPECT_TRUE(contains(after(steps, "hold @160,427"), "held UIImageView for 2 s"));
  EXPECT_TRUE(contains(after(steps, "tap 保存"), "message=\"成功保存到相册\""));
  EXPECT_TRUE(contains(after(steps, "photos"), "\n1 photo(s)\n"));
  EXPECT_EQ(PhotoAlbum::shared().savedPhotoPaths().size(), 1u);

  const std::string rewards = after(steps, "tap 成功邀请好友6人>");
  EXPECT_TRUE(contains(rewards, "text=\"您成功邀请好友6人\""));
  EXPECT_TRUE(contains(rewards, "text=\"86.00个\""));
  EXPECT_TRUE(contains(rewards, "text=\"187****6666\""));
  EXPECT_TRUE(contains(rewards, "text=\"10.00绑金\""));

  // The walk ends on the tab bar, nothing presented over it and no alert up.
  auto top = Automation::topViewController();
  ASSERT_TRUE(top);
  auto tabs = std::dynamic_pointer_cast<UITabBarController>(top);
  ASSERT_TRUE(tabs) << top->className();
  EXPECT_FALSE(tabs->presentedViewController());
  EXPECT_FALSE(contains(after(steps, "tap 商城"), "立即邀请"));
  EXPECT_EQ(Automation::alertText(), "");
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
}
