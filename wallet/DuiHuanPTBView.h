#pragma once
// The exchange page, the first page of the shop tab ("兑换平台币"): the player's two coin
// balances, the exchange rate, the entries to the two exchange popups, a picker of the bound
// game accounts with a query of the chosen account's platform-currency balance, and two
// grids of up to nine games ("最新入库" and "热门推荐") whose cells open the game's detail page.
//
// Made with UIView::make<DuiHuanPTBView>(frame). It reports its buttons to its delegate (the
// shop tab, held weakly). Everything runs on the main thread except the two game-list
// requests, which run one after the other on a global queue; each grid is then built on the
// main queue. The balance query blocks the main thread until its reply has come.

#include <memory>
#include <string>

#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIView.h"

class NSMutableAttributedString;
class UIButton;
class UIGestureRecognizer;
class UILabel;
class UIScrollView;
class Value;

class DuiHuanPTBViewDelegate {
 public:
  virtual ~DuiHuanPTBViewDelegate() = default;
  virtual void howGetJinBi() = 0;
  virtual void useJinBiDuiHuan() = 0;
  virtual void useBangDinDuiHuan() = 0;
  // A game cell was tapped; its view carries hidden labels tagged 1 (name), 2 (game id)
  // and 3 (page URL).
  virtual void toGame(UIGestureRecognizer& recognizer) = 0;
  virtual void goToLogin() = 0;
};

class DuiHuanPTBView : public UIView, public UITextFieldDelegate {
  TOVIRA_CLASS(DuiHuanPTBView)
 public:
  void initWithFrame(CGRect frame) override;

  std::weak_ptr<DuiHuanPTBViewDelegate> delegate;
  std::shared_ptr<UILabel> label1;  // the balance line; the shop tab rewrites it

  // "账号余额为：金币%@个，绑金%@个" with UserData "gold" and "bound_gold" ("0.00" when absent),
  // both values red.
  static std::shared_ptr<NSMutableAttributedString> balanceLine(const Value& userData);

  // The page's height (455); the shop tab sizes the page and its scroll view with it.
  double setViewHeiht() const { return viewHeight_; }

  // Button handlers.
  void getJinBi();
  void jinBiDuiHuan();
  void bangDinDuiHuan();
  void addNum();
  void checkPingTaiBi();
  void gamelabelclick(UIGestureRecognizer& recognizer);
  void usernameviewclick(UIGestureRecognizer& recognizer);

  // The account field never edits: touching it opens or closes the account list.
  bool textFieldShouldBeginEditing(UITextField& field) override;

  std::shared_ptr<UIView> createNum(const std::string& number) const;

  // For tests and the screen dump.
  std::shared_ptr<UITextField> accountField() const { return numTextField_; }
  std::shared_ptr<UIButton> dropButton() const { return numBtn_; }
  std::shared_ptr<UIScrollView> accountList() const { return usernamedropscroll_; }
  const std::string& chosenPlatId() const { return yueplatid_; }
  bool hasChosenPlatId() const { return hasPlatId_; }
  std::shared_ptr<UILabel> newHeading() const { return newLabel_; }
  std::shared_ptr<UILabel> hotHeading() const { return hotLabel_; }

 private:
  void initSubview();
  void loadgamelist();
  void setAccountView();
  void closeAccountList();
  // Builds one grid of game cells under `heading`; `redFromOne` marks the recommended grid,
  // whose names are red for any "is_red" of 1 or more (the newest grid: exactly 1).
  void buildGrid(const Value& reply, const std::shared_ptr<UILabel>& heading, bool redFromOne);

  std::shared_ptr<UITextField> numTextField_;
  std::shared_ptr<UIButton> numBtn_;
  std::shared_ptr<UIScrollView> usernamedropscroll_;
  std::string yueplatid_;
  bool hasPlatId_ = false;  // yueplatid is nil until an account is chosen
  bool selected_ = true;    // YES while the list is closed
  std::shared_ptr<UILabel> newLabel_;
  std::shared_ptr<UILabel> hotLabel_;
  std::shared_ptr<UIView> pointImgview2_;
  double viewHeight_ = 455;
};
