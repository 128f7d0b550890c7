#include "app/StandInParley.h"
#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/UIWebView.h"
#include "shell/HomeViewController.h"
#include "shell/ShellTestFixture.h"
#include "shell/WebBrowserController.h"

class WebBrowserControllerTest : public ShellTestFixture {
 protected:
  std::shared_ptr<WebBrowserController> openDetail(const Value& args) {
    launch();
    TempData::setcontrollerdata(args);
    auto page = WebBrowserController::create();
    top()->presentViewController(page, true);
    pump();
    return page;
  }
};

TEST_F(WebBrowserControllerTest, TakesTheHandOverShowsTitleAndLoadsTheURLThenClearsIt) {
  auto page = openDetail(Value::dict(
      {{"title", "剑侠传"}, {"gid", "42"}, {"url", "http://127.0.0.1:1/game/42.html"}}));
  EXPECT_EQ(top(), page);
  EXPECT_EQ(page->gameTitle(), "剑侠传");
  EXPECT_EQ(page->gid(), "42");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil()) << "the hand-over is one-shot";
  EXPECT_TRUE(Automation::findByText("剑侠传"));
  EXPECT_TRUE(Automation::findByText("http://127.0.0.1:1/game/42.html"));
  ASSERT_TRUE(page->webView());
  EXPECT_EQ(page->webView()->loadedURLs(),
            std::vector<std::string>{"http://127.0.0.1:1/game/42.html"});
}

TEST_F(WebBrowserControllerTest, AMissingOrBrokenURLLoadsNothingAndBackDismissesThePage) {
  auto page = openDetail(Value::dict({{"title", "无地址"}}));
  EXPECT_TRUE(page->webView()->loadedURLs().empty());
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());

  tapText("返回");
  EXPECT_TRUE(topAs<HomeViewController>());
  EXPECT_TRUE(page->wasDismissedAnimated());
  auto broken = openDetail(Value::dict({{"title", "坏地址"}, {"url", "not a url"}}));
  EXPECT_TRUE(broken->webView()->loadedURLs().empty());
}

TEST_F(WebBrowserControllerTest, ShareButtonsSendTheInvitationLinkToParley) {
  auto parley = StandInParley::install();
  TempData::setuserdata(
      Value::dict({{"username", "demo"}, {"inviteurl", "http://t.example/i/demo"}}));
  openDetail(Value::dict({{"title", "剑侠传"}}));

  // The friend and then the timeline: scene 0 and 1, each carrying the player's link.
  std::string sent;
  for (const char* button : {"分享给好友", "分享到动态"}) {
    tapText(button);
    const Value command = parley->last().commandDictionary;
    sent += command["scene"].str() + " " + command["mediaUrl"].str() + "|";
  }
  EXPECT_EQ(sent, "0 http://t.example/i/demo|1 http://t.example/i/demo|");
  EXPECT_EQ(parley->received().size(), 2u);
  StandInParley::uninstall();
}

TEST_F(WebBrowserControllerTest, TheGiftEntryHandsOverTheTitleAsTheGameName) {
  auto page = openDetail(
      Value::dict({{"title", "星海远征"}, {"gid", "101"}, {"url", "http://127.0.0.1:1/g"}}));
  tapText(WebBrowserController::kLibaoTitle);
  auto gifts = topAs<LibaoDuihuanController>();
  ASSERT_TRUE(gifts);
  EXPECT_TRUE(gifts->wasPresentedAnimated());
  ASSERT_TRUE(server().lastRequest("getCardList"));
  EXPECT_EQ(server().lastRequest("getCardList")->value("kw"), "星海远征");
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
  tapText("返回");
  EXPECT_EQ(top(), page);
}
