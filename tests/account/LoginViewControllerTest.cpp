#include <tuple>

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
  EXPECT_EQ(remembered->username + "/" + remembered->password + "/" +
                std::to_string(remembered->autologin),
            "demo/demo123/1");
  EXPECT_TRUE(topAs<HomeViewController>());
  EXPECT_TRUE(login->wasDismissedAnimated());
}

// What was typed is sent as it is, spaces and an empty password included.
TEST_F(LoginViewControllerTest, ARefusedLoginShowsTheServersMessageAndStays) {
  server().reply("login", R"({"state":"error","msg":"用户名或密码错误"})");
  auto login = openLogin();
  logIn(login, " 张三 ", "");

  auto request = server().lastRequest("login");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->value("username") + "|" + request->value("password"), " 张三 |");
  EXPECT_EQ(Automation::alertText(), "提示 | 用户名或密码错误 | [确定]");
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_FALSE(newestLogin());
  ASSERT_TRUE(Automation::pressAlertButton("确定"));
  pump();
  EXPECT_EQ(top(), login);
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

// So do an empty reply and a password too long to encipher, which is never sent.
TEST_F(LoginViewControllerTest, AReplyThatIsNotJsonShowsTheNetworkAlertOnce) {
  auto login = openLogin();
  const std::tuple<std::string, std::string, size_t> cases[] = {
      {"<html>Fatal error</html>", "demo123", 1},
      {"", "demo123", 1},
      {"", std::string(2000, 'p'), 0}};
  for (const auto& [reply, password, sent] : cases) {
    SCOPED_TRACE(reply + " / " + std::to_string(password.size()));
    UIAlertView::resetRecorded();
    server().clearRequests();
    server().replyRaw("login", reply);
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
