#pragma once
// The form that binds the Alipay account to which withdrawals of bound gold are paid. The
// player types the account, the account again, the payee's name and the SMS code that
// "获取验证码" asked the server to send ("get_code_by_token"); "绑定" sends "add_user_alipay"
// and closes the form on success. Presented modally, with plain create(), by the withdrawal
// screen; it reads "username" and "token" from the UserData copy it takes when it loads.
//
// The code button counts down 60 seconds on the main run loop after a sent code. The running
// timer holds the form, as a scheduled timer holds its target: a form closed mid-count lives on
// until its countdown ends, then the timer lets it go. Main thread only.

#include <memory>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"

class NSTimer;
class UIButton;
class UILabel;
class UIScrollView;
class UITextField;

class AddAlipyaVC : public UIViewController {
  TOVIRA_CLASS(AddAlipyaVC)
  static std::shared_ptr<AddAlipyaVC> create() { return std::make_shared<AddAlipyaVC>(); }
  ~AddAlipyaVC() override;

  void viewDidLoad() override;
  void initSubview();

  // Asks the server to send the code; on "ok" starts the countdown.
  void getCode();
  // One second of the countdown.
  void reduceTime();
  // Checks that the account was typed the same twice, then sends the binding.
  void bondAlipay();
  void back();

  // Seconds left in the countdown; 60 when one starts.
  int time = 60;
  std::shared_ptr<NSTimer> timer;

  std::shared_ptr<UITextField> zfb_accText;
  std::shared_ptr<UITextField> confirmText;
  std::shared_ptr<UITextField> nameText;
  std::shared_ptr<UITextField> qx_accText;
  std::shared_ptr<UITextField> codeText;
  std::shared_ptr<UIButton> codeBtn;
  std::shared_ptr<UIScrollView> mainScroll;
  std::shared_ptr<UIView> topview;
  std::shared_ptr<UILabel> backlabel;

 private:
  // Stops the countdown and gives the button back.
  void stopCountdown();

  Value userDic_;
  double tempDeveiceWidth_ = 0;
  double tempDeveiceHeight_ = 0;
};
