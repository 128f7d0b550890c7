#include "account/MeController.h"

#include "account/LoginViewController.h"
#include "core/DBHelper.h"
#include "core/TempData.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITabBarController.h"
#include "platform/uikit/UIView.h"
#include "shell/PlaceholderController.h"
#include "shell/TabBarHelper.h"

TOVIRA_REGISTER_CLASS(MeController, UIViewController)

std::shared_ptr<MeController> MeController::create() { return std::make_shared<MeController>(); }

void MeController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double width = root->bounds().size.width;
  std::weak_ptr<MeController> weakSelf = sharedSelf<MeController>();

  auto title = UILabel::create(CGRectMake(0, 25, width, 30));
  title->setText("个人中心");
  title->setTextAlignment(NSTextAlignmentCenter);
  title->setFont(UIFont::boldSystemFontOfSize(18));
  root->addSubview(title);

  auto makeLabel = [&](double y) {
    auto label = UILabel::create(CGRectMake(20, y, width - 40, 24));
    label->setFont(UIFont::systemFontOfSize(15));
    root->addSubview(label);
    return label;
  };
  nameLabel_ = makeLabel(70);
  goldLabel_ = makeLabel(96);
  boundGoldLabel_ = makeLabel(122);

  auto makeButton = [&](CGRect frame, const std::string& text, void (MeController::*action)()) {
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(frame);
    button->setTitle(text);
    button->setTitleColor(UIColor::blackColor());
    button->addTarget(
        weakSelf,
        [weakSelf, action] {
          if (auto self = weakSelf.lock()) ((*self).*action)();
        },
        UIControlEventTouchUpInside);
    root->addSubview(button);
    return button;
  };
  loginButton_ = makeButton(CGRectMake(20, 80, 120, 40), kLoginTitle, &MeController::tologin);
  loginButton_->setTitleColor(UIColor::rgb(81, 158, 19));

  const double rowWidth = width - 40;
  makeButton(CGRectMake(20, 160, rowWidth, 44), kRechargeTitle, &MeController::chongzhiclick);
  makeButton(CGRectMake(20, 208, rowWidth, 44), kMoneyDetailTitle, &MeController::mingxiclick);
  makeButton(CGRectMake(20, 256, rowWidth, 44), kWithdrawTitle, &MeController::tixianclick);
  makeButton(CGRectMake(20, 304, rowWidth, 44), kNewUserGiftTitle, &MeController::libaoclick);
  logoutButton_ =
      makeButton(CGRectMake(20, 370, rowWidth, 44), kLogoutTitle, &MeController::logoutclick);
  logoutButton_->setTitleColor(UIColor::redColor());
  refreshUser();
}

void MeController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  refreshUser();
}

void MeController::refreshUser() {
  if (!nameLabel_) return;
  const Value user = TempData::getuserdata();
  const bool loggedIn = !user.isNil();
  nameLabel_->setHidden(!loggedIn);
  goldLabel_->setHidden(!loggedIn);
  boundGoldLabel_->setHidden(!loggedIn);
  logoutButton_->setHidden(!loggedIn);
  loginButton_->setHidden(loggedIn);
  if (!loggedIn) return;
  // Balances are shown as the server sent them; a missing one reads 0.00.
  auto orZero = [](const Value& v) { return v.isNil() ? std::string("0.00") : v.str(); };
  nameLabel_->setText(NSString::stringWithFormat("用户名：%@", user["username"]));
  goldLabel_->setText(NSString::stringWithFormat("金币：%@", orZero(user["gold"])));
  boundGoldLabel_->setText(NSString::stringWithFormat("绑金：%@", orZero(user["bound_gold"])));
}

void MeController::chongzhiclick() {
  // The shop tab reads the flag when it comes on screen and opens its gold-recharge page.
  TempData::setcontrollerdata(Value::dict({{"flag", "1"}}));
  TabBarHelper::qiehuanTabBarViewControllers(tabBarController(), "ShopController");
}

void MeController::mingxiclick() { presentScreen("MoneyDetailVC", kMoneyDetailTitle, true); }

void MeController::tixianclick() { presentScreen("TiXianVC", kWithdrawTitle, true); }

void MeController::libaoclick() { presentScreen("LibaoViewController", kNewUserGiftTitle, false); }

void MeController::tologin() { presentViewController(LoginViewController::create(), true); }

void MeController::logoutclick() {
  TempData::setuserdata(Value());
  DBHelper db;
  if (db.open()) {
    if (auto login = db.newestLogin()) db.setAutologin(login->username, 0);
  } else {
    NSLog("MeController: cannot open the local database to forget the autologin");
  }
  db.close();
  refreshUser();
}

void MeController::presentScreen(const std::string& className, const std::string& title,
                                 bool needsUser) {
  if (needsUser && TempData::getuserdata().isNil()) {
    tologin();
    return;
  }
  // Until the real screen is part of the build, a placeholder of that name stands in.
  PlaceholderController::registerIfMissing(className, title, true);
  auto screen = std::dynamic_pointer_cast<UIViewController>(ClassRegistry::create(className));
  if (!screen) {
    NSLog("MeController: cannot make a screen of class %@", className);
    return;
  }
  presentViewController(screen, true);
}
