#pragma once
// The invitation rewards page: how many friends the player invited, the bound gold that
// earned, one row per invited friend (masked account, registration time, reward) and the way
// to the withdrawal of bound gold. It shows the invitation summary that its presenter leaves
// as the hand-over (TempData's controller data), which it clears on reading; it asks the
// server for nothing and is not refreshed while open. Anything can present it the same way
// (a home-screen slide names it by class).
//
// A summary without "count" or "sum" shows 0 there; a missing or non-array "list" gives no
// rows. Main thread only.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"

class UIButton;
class UILabel;
class UIScrollView;

class YaoQingJiangLiController : public UIViewController {
  TOVIRA_CLASS(YaoQingJiangLiController)
  static constexpr double kRowHeight = 30;

  static std::shared_ptr<YaoQingJiangLiController> create() {
    return std::make_shared<YaoQingJiangLiController>();
  }

  void viewDidLoad() override;
  void back();
  void topbackbtnclick() { back(); }
  void goldTX();

  // The page as built (its layout is this screen's own), for tests and the simulator.
  std::shared_ptr<UIView> topview;
  std::shared_ptr<UILabel> topbacklabel;
  std::shared_ptr<UILabel> yaoqinghaoyoucount;
  std::shared_ptr<UIScrollView> mainscroll;
  std::shared_ptr<UILabel> leijiDesLabel;
  std::shared_ptr<UIView> bgView;
  std::shared_ptr<UIButton> goldTXBtn;
  std::shared_ptr<UILabel> leijijianglilabel;
  std::shared_ptr<UIView> prizeIcon;
  const Value& data() const { return data_; }

 private:
  void buildPage();
  void showSummary();
  void showFriends();

  Value data_;
  double tempDeveiceWidth_ = 0;
};
