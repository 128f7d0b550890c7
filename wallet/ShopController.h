#pragma once
// The shop tab ("商城"): a child of the tab bar controller, found there by its class name. It
// holds two pages side by side in a horizontally paged scroll view, the exchange page
// (DuiHuanPTBView) and the gold recharge page (JinBiView), owns every popup of both pages over
// a half-transparent mask that leaves the 49-point tab bar uncovered, and is the delegate of
// each. It runs the exchange of gold or bound gold into platform currency for a bound game
// account, sends the recharge card, shares the invitation link to Parley after a successful
// exchange, and hands a tapped game to the game detail page.
//
// Main thread only. Its server calls and the re-login block the main thread until the reply
// has come. Neighbouring screens (the login screen, the game detail page) are made by class
// name through the class registry; the tab switch goes through TabBarHelper.

#include <memory>
#include <string>

#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIViewController.h"
#include "wallet/CertainDuiHuanView.h"
#include "wallet/DHSuccessView.h"
#include "wallet/DuiHuanPTBView.h"
#include "wallet/HowGetJinBiView.h"
#include "wallet/JinBiView.h"
#include "wallet/RuleView.h"
#include "wallet/UserJinBiDHView.h"

class UIButton;
class UILabel;
class UISwipeGestureRecognizer;

class ShopController : public UIViewController,
                       public UITextFieldDelegate,
                       public UIScrollViewDelegate,
                       public JinBinDelegate,
                       public RuleViewDelegate,
                       public DuiHuanPTBViewDelegate,
                       public HowGetJBViewDelegate,
                       public UseJinBiDHViewDelegate,
                       public CertainDuiHuanViewDelegate,
                       public DHSuccessViewDelegate {
  TOVIRA_CLASS(ShopController)
  static constexpr double kTabBarHeight = 49;

  static std::shared_ptr<ShopController> create() { return std::make_shared<ShopController>(); }

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  // Page switching.
  void duihuanpingtaibi_action();
  void jinbichongzhi_action();
  void handleSwipes(UISwipeGestureRecognizer& recognizer);
  void scrollViewWillEndDragging(UIScrollView& scrollView, CGPoint velocity,
                                 CGPoint& targetContentOffset) override;

  // The top bar.
  void topduihuanguizelabelclick();
  void topduihuanguizebtnclick() { topduihuanguizelabelclick(); }
  void back();
  void topbackbtnclick() { back(); }
  void tologin();

  // DuiHuanPTBViewDelegate
  void howGetJinBi() override;
  void useJinBiDuiHuan() override;
  void useBangDinDuiHuan() override;
  void toGame(UIGestureRecognizer& recognizer) override;
  void gamelabelclick(UIGestureRecognizer& recognizer) { toGame(recognizer); }
  void goToLogin() override { tologin(); }
  // UseJinBiDHViewDelegate
  void useJinBiDHViewDuiHuan(const std::string& account, const std::string& num,
                             const std::string& plat) override;
  void useJinBiDHViewCancel() override;
  // CertainDuiHuanViewDelegate
  void reallyDuiHuan() override;
  // DHSuccessViewDelegate
  void shareToFriend() override;
  void shareToCircle() override;
  void cancelToShare() override;
  // RuleViewDelegate
  void hideRuleView() override;
  // HowGetJBViewDelegate
  void hideHowGetJBView() override;
  void htoFriend() override;
  void htoShop() override;
  void htoLibao() override;
  // JinBinDelegate
  void jinbiCard() override;
  bool querenChongzhi(const std::string& account, const std::string& cardnum,
                      const std::string& cardpsd) override;

  // What the screen holds, for tests and the simulator.
  std::shared_ptr<UIView> topView() const { return topView_; }
  std::shared_ptr<UILabel> topbacklabel() const { return topbacklabel_.lock(); }
  std::shared_ptr<UILabel> topduihuanguizelabel() const { return topduihuanguizelabel_.lock(); }
  std::shared_ptr<UIButton> duihuanpingtaibiButton() const { return duihuanpingtaibi_btn_; }
  std::shared_ptr<UIButton> jinbichongzhiButton() const { return jinbichongzhi_btn_; }
  std::shared_ptr<UIScrollView> mainScrollview() const { return mainScrollview_; }
  std::shared_ptr<DuiHuanPTBView> dhptbView() const { return dhptbView_; }
  std::shared_ptr<JinBiView> jbView() const { return jbView_; }
  std::shared_ptr<UIView> mask() const { return mask_; }
  std::shared_ptr<UserJinBiDHView> userJinBiDHView() const { return userJinBiDHView_; }
  std::shared_ptr<CertainDuiHuanView> certainDuiHuanView() const { return certainDuiHuanView_; }
  std::shared_ptr<DHSuccessView> dhSuccessView() const { return dhSuccessView_; }
  std::shared_ptr<RuleView> ruleView() const { return ruleView_; }
  std::shared_ptr<HowGetJinBiView> howGetJBview() const { return howGetJBview_; }

 private:
  void initSubview();
  void createMask();
  // Removes the current mask, then the popup.
  void closePopup(const std::shared_ptr<UIView>& popup);
  // A popup of this size centred on the current mask.
  CGRect onMask(double width, double height) const;
  void openAmountPopup(const std::string& coinType, const std::string& title,
                       const std::string& preset, const std::string& note);

  std::shared_ptr<UIView> topView_;
  std::weak_ptr<UILabel> topbacklabel_;
  std::weak_ptr<UILabel> topduihuanguizelabel_;
  std::shared_ptr<UIButton> duihuanpingtaibi_btn_;
  std::shared_ptr<UIButton> jinbichongzhi_btn_;
  std::shared_ptr<UIScrollView> mainScrollview_;
  std::shared_ptr<UIScrollView> dhptbScrollview_;
  std::shared_ptr<UIScrollView> jbczScrollview_;
  std::shared_ptr<DuiHuanPTBView> dhptbView_;
  std::shared_ptr<JinBiView> jbView_;
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<RuleView> ruleView_;
  std::shared_ptr<HowGetJinBiView> howGetJBview_;
  std::shared_ptr<UserJinBiDHView> userJinBiDHView_;
  std::shared_ptr<CertainDuiHuanView> certainDuiHuanView_;
  std::shared_ptr<DHSuccessView> dhSuccessView_;

  std::string type_;          // CoinType of the exchange being prepared: "2" gold, "3" bound gold
  std::string gameAccount_;   // the receiving game account
  std::string jinbiNum_;      // the amount as typed, sent as it is
  long long jinbiCoins_ = 0;  // the amount read once; every number shown comes from it
  std::string huanplatid_;    // GamePlatformId of the receiving account
};
