#include "account/LoginViewController.h"

#include "core/DBHelper.h"
#include "core/ServerController.h"
#include "core/TempData.h"
#include "platform/foundation/NSLog.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIView.h"
#include "shell/BackButton.h"

TOVIRA_REGISTER_CLASS(LoginViewController, UIViewController)

std::shared_ptr<LoginViewController> LoginViewController::create() {
  return std::make_shared<LoginViewController>();
}

void LoginViewController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double width = root->bounds().size.width;
  std::weak_ptr<LoginViewController> weakSelf = sharedSelf<LoginViewController>();

  root->addSubview(makeBackButton(sharedSelf<LoginViewController>(), CGRectMake(5, 25, 50, 30),
                                  UIColor::blackColor()));

  auto title = UILabel::create(CGRectMake(60, 25, width - 120, 30));
  title->setText("用户登录");
  title->setTextAlignment(NSTextAlignmentCenter);
  title->setFont(UIFont::boldSystemFontOfSize(18));
  root->addSubview(title);

  auto makeField = [&](double y, const std::string& placeholder, long tag) {
    auto field = UITextField::create(CGRectMake(20, y, width - 40, 40));
    field->setPlaceholder(placeholder);
    field->setTag(tag);
    field->setBorderStyle(UITextBorderStyleRoundedRect);
    root->addSubview(field);
    return field;
  };
  username_ = makeField(90, "请输入用户名", kUsernameTag);
  password_ = makeField(140, "请输入密码", kPasswordTag);
  password_->setSecureTextEntry(true);

  auto login = UIButton::buttonWithType(UIButtonTypeCustom);
  login->setFrame(CGRectMake(20, 200, width - 40, 44));
  login->setTitle("登录");
  login->setTitleColor(UIColor::whiteColor());
  login->setBackgroundColor(UIColor::rgb(81, 158, 19));
  login->layer().setCornerRadius(5);
  login->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->loginbtnclick();
      },
      UIControlEventTouchUpInside);
  root->addSubview(login);
}

void LoginViewController::loginbtnclick() {
  // The alert or the dismissal below may release the last other reference to this screen.
  auto keepAlive = sharedSelf<LoginViewController>();
  const std::string username = username_ ? username_->text() : std::string();
  const std::string password = password_ ? password_->text() : std::string();
  view()->endEditing(true);

  const Value reply = ServerController::loginWithUsername(username, password);
  if (reply.isNil()) return;  // no usable reply: the network alert has already told the player
  if (!reply["state"].isEqualToString("ok")) {
    UIAlertView::create("提示", reply["msg"].str(), {}, "确定")->show();
    return;
  }
  if (!ServerController::loginSucceeded(reply)) {
    // "ok" without a user to log in is no login: nothing is kept or remembered.
    NSLog("LoginViewController: the login reply holds no user");
    UIAlertView::create("提示", "登录失败", {}, "确定")->show();
    return;
  }
  TempData::setuserdata(reply["data"]);
  DBHelper db;
  if (db.open() && db.createTables()) {
    db.saveLogin(username, password, 1);
  } else {
    NSLog("LoginViewController: cannot remember the login of %@", username);
  }
  db.close();
  dismissViewControllerAnimated(true);
}
