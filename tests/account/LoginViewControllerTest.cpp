#include "account/LoginViewController.h"
#include "core/TempData.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UITextField.h"
#include "shell/HomeViewController.h"
#include "shell/ShellTestFixture.h"

class LoginViewControllerTest : public ShellTestFixture {
 protected:
  std::shared_ptr<LoginViewController> openLogin() {
    launch();
    auto login = LoginViewController::create();
    top()->presentViewController(login, true);
    pump();
    return login;
  }

  void logIn(const std::shared_ptr<LoginViewController>& login, const std::string& username,
             const std::string& password) {
    for (const auto& [field, text] : {std::pair{login->usernameField(), username},
                                      std::pair{login->passwordField(), password}}) {
      ASSERT_TRUE(Automation::clearField(field));
      ASSERT_TRUE(Automation::type(field, text));
    }
    tapText("登录");
  }
};

TEST_F(LoginViewControllerTest, ASuccessfulLoginKeepsTheUserRemembersTheLoginAndCloses) {
  useDemoReplies();
  auto login = openLogin();
  logIn(login, "demo", "demo123");

  auto request = server().lastRequest("login");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("username"), "demo");
  EXPECT_EQ(request->value("password"), "demo123");
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
  EXPECT_EQ(TempData::getuserdata()["gold"].str(), "1280.00");
  auto remembered = newestLogin();
  ASSERT_TRUE(remembered);
  EXPECT_EQ(remembered->username, "demo");
  EXPECT_EQ(remembered->password, "demo123");
  EXPECT_EQ(remembered->autologin, 1);
  EXPECT_TRUE(topAs<HomeViewController>());
  EXPECT_TRUE(login->wasDismissedAnimated());
}

TEST_F(LoginViewControllerTest, ARefusedLoginShowsTheServersMessageAndStays) {
  useDemoReplies();
  auto login = openLogin();
  logIn(login, "demo", "wrong");

  EXPECT_EQ(Automation::alertText(), "提示 | 用户名或密码错误 | [确定]");
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_FALSE(newestLogin());
  ASSERT_TRUE(Automation::pressAlertButton("确定"));
  pump();
  EXPECT_EQ(top(), login);
}

TEST_F(LoginViewControllerTest, SendsWhatWasTypedEvenWhenEmpty) {
  server().reply("login", R"({"state":"error","msg":"请输入用户名"})");
  auto login = openLogin();
  ASSERT_TRUE(Automation::type(login->usernameField(), " 张三 "));
  tapText("登录");
  auto request = server().lastRequest("login");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("username"), " 张三 ");
  EXPECT_EQ(request->value("password"), "");
  EXPECT_EQ(Automation::alertText(), "提示 | 请输入用户名 | [确定]");
}

TEST_F(LoginViewControllerTest, WithoutAReplyOnlyTheNetworkAlertShows) {
  server().replyRaw("login", "");
  auto login = openLogin();
  // An empty reply, and a password too long to encipher, which is never sent.
  for (const auto& [password, sent] : {std::pair{std::string("demo123"), 1u},
                                       std::pair{std::string(2000, 'p'), 0u}}) {
    SCOPED_TRACE(password.size());
    UIAlertView::resetRecorded();
    server().clearRequests();
    logIn(login, "demo", password);
    pump();
    EXPECT_EQ(server().requests("login").size(), sent);
    auto alerts = UIAlertView::shownAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->title(), "获取网络数据失败");
    EXPECT_TRUE(TempData::getuserdata().isNil());
    EXPECT_EQ(top(), login);
    ASSERT_TRUE(Automation::pressAlertButton("确定"));
  }
}

TEST_F(LoginViewControllerTest, BackClosesWithoutLoggingIn) {
  openLogin();
  tapText("返回");
  EXPECT_TRUE(topAs<HomeViewController>());
  EXPECT_TRUE(server().requests("login").empty());
}

TEST_F(LoginViewControllerTest, ARememberedLoginSurvivesARestart) {
  useDemoReplies();
  auto login = openLogin();
  logIn(login, "demo", "demo123");
  ASSERT_EQ(TempData::getuserdata()["username"].str(), "demo");
  server().clearRequests();

  relaunch();
  auto request = server().lastRequest("login");
  ASSERT_TRUE(request) << "the app logs the remembered user in at start";
  EXPECT_EQ(request->value("username"), "demo");
  EXPECT_EQ(request->value("password"), "demo123");
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
}

TEST_F(LoginViewControllerTest, AnOkReplyWithoutAUserIsAFailedLoginThatKeepsNothing) {
  const std::vector<std::string> data = {R"("demo")",
                                         "5",
                                         "[]",
                                         "{}",
                                         R"({"username":"demo"})",
                                         R"({"token":"t1"})",
                                         R"({"username":"","token":"t1"})",
                                         R"({"username":"demo","token":""})"};
  auto login = openLogin();
  for (const auto& d : data) {
    UIAlertView::resetRecorded();
    server().reply("login", R"({"state":"ok","msg":"登录成功","data":)" + d + "}");
    logIn(login, "demo", "demo123");
    EXPECT_EQ(Automation::alertText(), "提示 | 登录失败 | [确定]") << d;
    EXPECT_TRUE(TempData::getuserdata().isNil()) << d;
    EXPECT_FALSE(newestLogin()) << d;
    ASSERT_TRUE(Automation::pressAlertButton("确定"));
    pump();
    EXPECT_EQ(top(), login) << d;
  }
}

TEST_F(LoginViewControllerTest, AReplyThatIsNotJsonShowsTheNetworkAlertOnce) {
  server().replyRaw("login", "<html>Fatal error</html>");
  auto login = openLogin();
  logIn(login, "demo", "demo123");
  pump();
  auto alerts = UIAlertView::shownAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->title(), "获取网络数据失败");
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_EQ(top(), login);
}
