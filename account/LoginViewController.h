#pragma once

#include <memory>
#include <string>

#include "platform/uikit/UIViewController.h"

class UITextField;

// The login screen. Any screen whose action needs a logged-in user presents a new one modally;
// the presenter is not told the outcome, the player repeats the action.
//
// "登录" sends the user name and password exactly as typed (the server judges them). On "ok" it
// keeps the reply's "data" as UserData, remembers the login with autologin 1 in the local
// database and dismisses itself; on another state it shows the reply's "msg" in the alert
// "提示" / "确定"; without a reply nothing more happens (the transport has shown its alert).
// "返回" dismisses it without logging in. Main thread only; the login call blocks it.
class LoginViewController : public UIViewController {
  TOVIRA_CLASS(LoginViewController)
  static constexpr long kUsernameTag = 1;
  static constexpr long kPasswordTag = 2;

  static std::shared_ptr<LoginViewController> create();
  void viewDidLoad() override;

  std::shared_ptr<UITextField> usernameField() const { return username_; }
  std::shared_ptr<UITextField> passwordField() const { return password_; }

  // The login button's action.
  void loginbtnclick();

 private:
  std::shared_ptr<UITextField> username_;
  std::shared_ptr<UITextField> password_;
};
