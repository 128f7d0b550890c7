#include <gtest/gtest.h>

#include <thread>

#include "core/Config.h"
#include "core/ServerController.h"
#include "core/Web.h"
#include "platform/foundation/NSLog.h"
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

  // From a background thread the alert is shown by the main queue.
  UIAlertView::resetRecorded();
  std::thread worker([&] { EXPECT_FALSE(Web::httpRequest(url, "x")); });
  worker.join();
  EXPECT_TRUE(UIAlertView::shownAlerts().empty())
      << "nothing touches the screen off the main thread";
  pump();
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u);
  expectNetworkAlert(UIAlertView::currentAlert());
}

TEST_F(WebTest, ABodyThatIsNoUsableReplyGivesNilAndShowsTheNetworkAlertOnce) {
  const std::vector<std::string> bodies = {"",
                                           "<html>500</html>",
                                           R"({"state":"ok","da)",
                                           "{\"state\":\"ok\",\"msg\":\"\xff\"}",
                                           "5",
                                           R"("err")",
                                           "null",
                                           "true"};
  for (const auto& body : bodies) {
    UIAlertView::resetRecorded();
    server().replyRaw("exchangePTB", body);
    EXPECT_TRUE(
        ServerController::huanPingTaiBiWithQxusername("demo", "tk", "hero", "1", "10", "2").isNil())
        << body;
    pump();
    ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u) << body;
    expectNetworkAlert(UIAlertView::shownAlerts()[0]);
  }
  // An empty body is no reply at the transport already.
  server().replyRaw("login", "");
  EXPECT_FALSE(Web::httpRequest(server().endpoint(), *ServerController::jiami("api=login")));
}

TEST_F(WebTest, AReplyWithAStatusOtherThan2xxIsNoReplyWhateverItsBody) {
  for (int status : {500, 404, 302}) {
    UIAlertView::resetRecorded();
    server().replyWithStatus("login", status, R"({"state":"ok","data":{"username":"demo"}})");
    EXPECT_TRUE(ServerController::loginWithUsername("demo", "x").isNil()) << status;
    ASSERT_EQ(UIAlertView::shownAlerts().size(), 1u) << status;
    expectNetworkAlert(UIAlertView::shownAlerts()[0]);
  }
  server().replyWithStatus("login", 201, R"({"state":"ok"})");
  EXPECT_EQ(ServerController::loginWithUsername("demo", "x")["state"].str(), "ok");
}

// A reply declared longer than the limit, or one without an end, is cut off by its size, not by
// time, and counts as no reply.
TEST_F(WebTest, AReplyLongerThanTheLimitCountsAsNoReply) {
  const auto data = *ServerController::jiami("api=login");
  server().replyRaw("login", std::string(Web::kMaxReplyBytes + 1, ' '));
  EXPECT_FALSE(Web::httpRequest(server().endpoint(), data));
  NSLogSink::clear();
  server().replyEndless("login");
  EXPECT_FALSE(Web::httpRequest(server().endpoint(), data));
  EXPECT_TRUE(NSLogSink::contains("reply longer than"));
  EXPECT_EQ(server().requests("login").size(), 2u);
  ASSERT_EQ(UIAlertView::shownAlerts().size(), 2u);
  expectNetworkAlert(UIAlertView::shownAlerts()[1]);
}
