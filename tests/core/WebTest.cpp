#include <gtest/gtest.h>

#include <thread>

#include "core/Config.h"
#include "core/ServerController.h"
#include "core/Web.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIAlertView.h"
#include "support/AppFixture.h"

class WebTest : public AppFixture {
 protected:
  static void expectNetworkAlert(const std::shared_ptr<UIAlertView>& alert) {
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "获取网络数据失败");
    EXPECT_EQ(alert->message(), "获取网络数据失败，请检查您的手机的网络。");
    EXPECT_EQ(alert->buttonTitles(), std::vector<std::string>{"确定"});
  }
};

TEST_F(WebTest, PostsTheTextAsTheDataFieldAndReturnsTheBody) {
  server().reply("login", R"({"state":"ok"})");
  const auto data = ServerController::jiami("api=login&username=demo");
  ASSERT_TRUE(data);
  EXPECT_EQ(Web::httpRequest(server().endpoint(), *data), R"({"state":"ok"})");
  EXPECT_EQ(server().lastRequest()->value("username"), "demo");
  EXPECT_TRUE(UIAlertView::shownAlerts().empty());
}

TEST_F(WebTest, NoConnectionShowsTheNetworkAlertAtOnceOnTheMainThread) {
  const std::string url = server().endpoint();
  server().stop();
  EXPECT_FALSE(Web::httpRequest(url, "x"));
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u);
  expectNetworkAlert(UIAlertView::currentAlert());
}

TEST_F(WebTest, AnEmptyReplyCountsAsNoData) {
  server().replyRaw("login", "");
  EXPECT_TRUE(ServerController::loginWithUsername("demo", "x").isNil());
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u);
}

TEST_F(WebTest, ATimeoutShowsTheNetworkAlert) {
  Config::setTimeout(1.0);
  server().replyNothing("login");
  EXPECT_TRUE(ServerController::loginWithUsername("demo", "x").isNil());
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u);
  expectNetworkAlert(UIAlertView::shownAlerts()[0]);
}

TEST_F(WebTest, FromABackgroundThreadTheAlertIsShownByTheMainQueue) {
  const std::string url = server().endpoint();
  server().stop();
  std::thread worker([&] { EXPECT_FALSE(Web::httpRequest(url, "x")); });
  worker.join();
  EXPECT_TRUE(UIAlertView::shownAlerts().empty())
      << "nothing touches the screen off the main thread";
  pump();
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u);
  expectNetworkAlert(UIAlertView::currentAlert());
}

TEST_F(WebTest, RepliesThatAreNotJsonOrTooLongRequestsShowNoAlert) {
  server().replyRaw("login", "<html>500</html>");
  EXPECT_TRUE(ServerController::loginWithUsername("demo", "x").isNil());
  EXPECT_TRUE(ServerController::loginWithUsername(std::string(2000, 'u'), "x").isNil());
  pump();
  EXPECT_TRUE(UIAlertView::shownAlerts().empty());
  EXPECT_EQ(server().requests().size(), 1u);
}
