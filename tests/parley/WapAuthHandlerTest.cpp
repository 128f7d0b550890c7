#include <gtest/gtest.h>

#include <set>

#include "ParleyTestSupport.h"
#include "parley/PLUIWebViewControll.h"
#include "parley/SendAuthReq.h"
#include "parley/SendAuthResp.h"
#include "parley/WapAuthHandler.h"
#include "platform/automation/Automation.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

class WapAuthHandlerTest : public ParleyTest {
 protected:
  void SetUp() override {
    ParleyTest::SetUp();
    UIAlertView::resetRecorded();
    window = UIWindow::create(UIScreen::mainScreen()->bounds());
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    req->scope = "scope_a&x=1";
    req->state = "st ate#";
    runLoop();
  }
  void TearDown() override {
    handler()->onCancelOAuthWebView();
    ParleyTest::TearDown();
  }

  static std::shared_ptr<WapAuthHandler> handler() {
    return WapAuthHandler::shareWapAuthHandlerInstance();
  }
  std::shared_ptr<PLUIWebViewControll> page() const {
    auto navigation =
        std::dynamic_pointer_cast<UINavigationController>(root->presentedViewController());
    return navigation
               ? std::dynamic_pointer_cast<PLUIWebViewControll>(navigation->topViewController())
               : nullptr;
  }
  std::vector<std::string> loaded() const {
    return page() ? page()->webView()->loadedURLs() : std::vector<std::string>{};
  }
  std::string uid() const { return std::to_string(handler()->timeStamp()); }
  void start() {
    ASSERT_TRUE(PLApi::sendAuthReq(req, root, delegate));
    ASSERT_TRUE(RunLoop::main().advance(0.1));
  }

  std::shared_ptr<UIWindow> window;
  std::shared_ptr<UIViewController> root = UIViewController::create();
  std::shared_ptr<SendAuthReq> req = std::make_shared<SendAuthReq>();
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(WapAuthHandlerTest, WithoutParleyTheLoginRunsThroughTheWebPages) {
  ASSERT_TRUE(PLApi::sendAuthReq(req, root, delegate));
  runLoop();
  ASSERT_TRUE(page());
  EXPECT_EQ(page()->title(), "畅聊登录");
  EXPECT_TRUE(root->presentedViewController()->wasPresentedAnimated());
  EXPECT_TRUE(loaded().empty());  // the first page loads 0.1 s later
  ASSERT_TRUE(RunLoop::main().advance(0.1));
  ASSERT_EQ(loaded().size(), 1u);
  EXPECT_EQ(loaded()[0], std::string(WapAuthHandler::kOpenHost) +
                             "/connect/mobilecheck?appid=plapp&uid=" + uid());
  EXPECT_TRUE(SimulatedDevice::shared().openedURLs().empty());

  auto other = std::make_shared<RecordingDelegate>();
  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://wapoauth?mobile=138&ticket=t1"), other));
  ASSERT_EQ(loaded().size(), 2u);
  EXPECT_EQ(
      loaded()[1],
      std::string(WapAuthHandler::kOpenHost) +
          "/connect/smsauthorize?appid=plapp&redirect_uri=plapp%3A%2F%2Foauth&response_type=code"
          "&scope=scope_a%26x%3D1&state=st%20ate%23&uid=" +
          uid() + "&mobile=138&ticket=t1");
  EXPECT_TRUE(other->resps.empty());

  ASSERT_TRUE(PLApi::handleOpenURL(url("plapp://oauth?code=OK1&state=st"), delegate));
  ASSERT_EQ(delegate->resps.size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<SendAuthResp>(delegate->resps[0])->code, "OK1");
  EXPECT_FALSE(handler()->running());
  runLoop();
  EXPECT_FALSE(root->presentedViewController());
}

TEST_F(WapAuthHandlerTest, WithoutAnAppIdOrRequestNoLoginStartsAndRedirectsWaitForOne) {
  EXPECT_FALSE(handler()->beginWapAuth(req, root, "", delegate));
  EXPECT_FALSE(PLApi::sendAuthReq(nullptr, root, delegate));
  EXPECT_FALSE(handler()->beginWapAuth(req, nullptr, "plapp", delegate));
  runLoop();
  EXPECT_FALSE(root->presentedViewController());
  EXPECT_FALSE(handler()->running());
  EXPECT_FALSE(handler()->handleWapOAuthOpenUrl(url("plapp://wapoauth?mobile=1")));
  EXPECT_FALSE(handler()->endWapAuth());
  start();
  EXPECT_FALSE(handler()->handleWapOAuthOpenUrl(url("plapp://wapoauth?")));
  EXPECT_FALSE(handler()->handleWapOAuthOpenUrl(url("other://wapoauth?mobile=1")));
  EXPECT_EQ(loaded().size(), 1u);
  EXPECT_TRUE(handler()->handleWapOAuthOpenUrl(url("plapp://wapoauth?mobile=1")));
}

TEST_F(WapAuthHandlerTest, TheCancelAlertContinuesTheLoginOrQuitsItWithACancel) {
  start();
  ASSERT_TRUE(Automation::tapText("取消"));
  auto alert = UIAlertView::currentAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title(), "");
  EXPECT_EQ(alert->message(), "取消后将退出本次登录");
  EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"继续登录", "退出登录"}));
  ASSERT_TRUE(Automation::pressAlertButton("继续登录"));
  runLoop();
  EXPECT_TRUE(page());
  EXPECT_TRUE(handler()->running());
  EXPECT_TRUE(delegate->resps.empty());

  ASSERT_TRUE(Automation::tapText("取消"));
  ASSERT_TRUE(Automation::pressAlertButton("退出登录"));
  runLoop();
  ASSERT_EQ(delegate->resps.size(), 1u);
  EXPECT_TRUE(std::dynamic_pointer_cast<SendAuthResp>(delegate->resps[0]));
  EXPECT_EQ(delegate->resps[0]->errCode, -2);
  EXPECT_FALSE(handler()->running());
  EXPECT_FALSE(root->presentedViewController());
}

TEST_F(WapAuthHandlerTest, ThePageHasABorderedCancelItemInItsNavigationBar) {
  start();
  auto navigation =
      std::dynamic_pointer_cast<UINavigationController>(root->presentedViewController());
  ASSERT_TRUE(navigation);
  EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(), "畅聊登录");
  auto cancel = page()->navigationItem()->leftBarButtonItem();
  ASSERT_TRUE(cancel);
  EXPECT_EQ(cancel->title(), "取消");
  EXPECT_EQ(cancel->style(), UIBarButtonItemStyleBordered);
  // The page is filled by its web view, whatever size the screen takes.
  EXPECT_EQ(page()->webView()->autoresizingMask(),
            unsigned(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight));

  handler()->onHiddenLeftBar();
  EXPECT_FALSE(page()->navigationItem()->leftBarButtonItem());
  EXPECT_FALSE(Automation::tapText("取消"));
  handler()->onShowLeftBar();
  ASSERT_TRUE(Automation::tapText("取消"));
  EXPECT_TRUE(UIAlertView::currentAlert());
}

TEST_F(WapAuthHandlerTest, StartingTwiceClosesTheFirstPageAndDrawsANewUid) {
  start();
  auto first = page();
  uint64_t firstUid = handler()->timeStamp();
  start();
  runLoop();
  ASSERT_TRUE(page());
  EXPECT_NE(page(), first);
  EXPECT_NE(handler()->timeStamp(), firstUid);
  EXPECT_EQ(loaded().back(), std::string(WapAuthHandler::kOpenHost) +
                                 "/connect/mobilecheck?appid=plapp&uid=" + uid());
}

TEST_F(WapAuthHandlerTest, UidsComeFromASeededGenerator) {
  // Two processes must not draw the same sequence: the generator is seeded
  // from the system's entropy, so draws are spread over 64 bits.
  std::set<uint64_t> uids;
  bool highBits = false;
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(handler()->beginWapAuth(req, root, "plapp", delegate));
    uids.insert(handler()->timeStamp());
    highBits = highBits || handler()->timeStamp() > 0xFFFFFFFFull;
    handler()->onCancelOAuthWebView();
    runLoop();
  }
  EXPECT_EQ(uids.size(), 8u);
  EXPECT_TRUE(highBits);
}
