#pragma once
// The withdrawal of bound gold ("绑金提现"): the Alipay account bound to the app account (or the
// button that opens the binding form), the bound-gold balance, six fixed amounts with the money
// each yields, and "申请提现", which sends "get_cash" with a trade number made here. "提现需知"
// lays the notice popup over a mask.
//
// Presented modally, with plain create(), by the player's page (only while a user is logged in),
// the invitation tab and the rewards page. It copies UserData when it loads; the balance line
// shows that copy until the screen is presented again. The bound account is fetched on every
// appearance, so returning from the binding form shows the new account. Main thread only.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"
#include "wallet/NeedKnowView.h"

class UIButton;
class UILabel;
class UIScrollView;

class TiXianVC : public UIViewController, public NeedKnowViewDelegate {
  TOVIRA_CLASS(TiXianVC)
  static std::shared_ptr<TiXianVC> create() { return std::make_shared<TiXianVC>(); }

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void initSubview();
  void addBackView1();
  // The add-account band and the account band; each replaces the band shown before.
  void addBackView2();
  void addBackView2_2(const Value& data);
  void addBackView3();
  void addBackView4();

  void back();
  void needKnow();
  void hideNeedKnowView() override;
  void addZFB();
  void btnClick(UIButton& sender);
  void applyTX();

  // A new 15-character trade number of digits and capital letters. Its characters come from a
  // generator seeded once per process from std::random_device, so that two applications, even
  // within one second, carry different numbers. This mends a fault: re-seeding the process-wide
  // generator with the time in seconds at each call gave two applications made within one second
  // the same trade number, so the server could take the second for a repeat of the first.
  static std::string generateTradeNO();
  // The money an amount of bound gold yields, as shown ("%.f" of 0.4 x its integer value).
  static std::string moneyFor(const std::string& amount);

  // The chosen amount in bound gold; "100" until another button is tapped.
  std::string amount = "100";
  Value alipayDic;

  std::shared_ptr<UIButton> btn1, btn2, btn3, btn4, btn5, btn6;
  std::shared_ptr<UILabel> getLabel;
  std::shared_ptr<UIScrollView> mainScroll;
  std::shared_ptr<UIView> backView1, backView2, backView3, backView4;
  std::shared_ptr<UIView> mask;
  std::shared_ptr<NeedKnowView> needKnowView;
  std::shared_ptr<UIView> topview;
  std::shared_ptr<UILabel> backlabel;

 private:
  // Puts `band` in band 2's place, taking out whatever band stood there. Adding the add-account
  // band without taking out the one before piled up a new band on every appearance, and stale
  // bands stayed under the account band once one was bound.
  void replaceBackView2(const std::shared_ptr<UIView>& band);
  void paint(UIButton& button, bool selected) const;

  Value userDic_;
  double tempDeveiceWidth_ = 0;
  double tempDeveiceHeight_ = 0;
};
