#pragma once

#include <memory>
#include <string>

#include "platform/uikit/UIViewController.h"

class UIButton;
class UILabel;

// The player's own page ("我的"), a tab of the tab bar controller.
//
// It shows the user name and both balances while someone is logged in (refreshed each time it
// comes on screen), else a "点击登录" button that presents the login screen. Its entries:
// - "金币充值": leaves ControllerData {"flag": "1"} and switches to the shop tab, which then
//   opens its gold-recharge page;
// - "资金明细" (MoneyDetailVC) and "提现" (TiXianVC): presented only while logged in, else the
//   login screen is presented instead;
// - "新手礼包" (LibaoViewController): presented for anyone.
// Screens are made by class name from the class registry and presented modally, animated.
// "退出登录" clears UserData and the autologin flag of the remembered login.
// Main thread only.
class MeController : public UIViewController {
  TOVIRA_CLASS(MeController)
  static constexpr const char* kRechargeTitle = "金币充值";
  static constexpr const char* kMoneyDetailTitle = "资金明细";
  static constexpr const char* kWithdrawTitle = "提现";
  static constexpr const char* kNewUserGiftTitle = "新手礼包";
  static constexpr const char* kLoginTitle = "点击登录";
  static constexpr const char* kLogoutTitle = "退出登录";

  static std::shared_ptr<MeController> create();
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  void chongzhiclick();
  void mingxiclick();
  void tixianclick();
  void libaoclick();
  void tologin();
  void logoutclick();

 private:
  // Shows the login state as UserData holds it now.
  void refreshUser();
  // Presents a new screen of the class; with needsUser and nobody logged in, the login screen.
  void presentScreen(const std::string& className, const std::string& title, bool needsUser);

  std::shared_ptr<UILabel> nameLabel_;
  std::shared_ptr<UILabel> goldLabel_;
  std::shared_ptr<UILabel> boundGoldLabel_;
  std::shared_ptr<UIButton> loginButton_;
  std::shared_ptr<UIButton> logoutButton_;
};
