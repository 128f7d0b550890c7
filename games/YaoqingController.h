#pragma once
// The invitation tab ("邀请"): how much bound gold the player's invitations earned and how many
// friends he invited ("getInvite_v2"), the share sheet (YQView) with the Parley shares, the
// copied link and the QR code that a long press saves to the photo album, and the ways to the
// rewards list, the invitation guide and the withdrawal of bound gold.
//
// The tab bar finds it by its class name. Its page fills the whole screen: it lies on the tab
// bar controller's view rather than on its own, under the tab bar's own bar, and its end can be
// scrolled clear of that bar. While the share sheet or the save sheet is open, the page and its
// mask come in front of the bar, so that the bottom of the sheets can be reached. The page is
// shown only while this tab is, so that other tabs are never covered by it.
//
// The summary is asked for once, when the view loads, with the user data copied at load. When
// the tab loaded while nobody was logged in, the copy is taken (and the summary asked for) the
// next time the tab appears with somebody logged in; until then every action that needs the
// player or his link presents the login screen.
//
// Main thread only; the summary request blocks it until the reply has come. The photo album's
// completion arrives on the main run loop.

#include <memory>
#include <string>

#include "games/YQView.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"

class UIGestureRecognizer;
class UIImage;
class UILabel;
class UIScrollView;

class YaoqingController : public UIViewController, public YQViewDelegate {
  TOVIRA_CLASS(YaoqingController)
  static constexpr double kSheetDuration = 0.25;
  static constexpr double kSaveSheetHeight = 100;

  static std::shared_ptr<YaoqingController> create() {
    return std::make_shared<YaoqingController>();
  }
  ~YaoqingController() override;

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  void tologin();
  void back();
  void inviteRightNow();
  void maskclick();
  // YQViewDelegate
  void shareClick(long tag) override;
  void yqViewLongPress(const std::shared_ptr<UIImage>& image) override;
  void plpyqclick();
  void plhyclick();
  void saveImageToAlbum();
  void hideMask1();
  void imageSavedToPhotosAlbum(const std::string& error);
  void to_invitePrize();
  void to_gonglue();
  void to_tixian();

  // What the screen holds, for tests and the simulator.
  std::shared_ptr<UIScrollView> mainScroll() const { return mainScroll_; }
  std::shared_ptr<UILabel> goldLab() const { return goldLab_; }
  std::shared_ptr<UILabel> friendLab() const { return friendLab_; }
  std::shared_ptr<YQView> yqView() const { return yqView_; }
  std::shared_ptr<UIView> mask() const { return mask_; }
  std::shared_ptr<UIView> chooseView() const { return chooseView_; }
  std::shared_ptr<UIView> mask1() const { return mask1_; }
  const Value& userDic() const { return userDic_; }
  const Value& data() const { return data_; }

 private:
  void initSubView();
  // Puts the page in front of the tab bar's own bar while a sheet is open, and back under it
  // once none is.
  void raisePage();
  void lowerPage();
  void addData();
  // Whether an action must send the player to the login screen first: nobody is logged in,
  // or the tab still holds no copy of his data (and so no link).
  bool needsLogin() const;
  std::shared_ptr<UIView> dimmingView(void (YaoqingController::*action)());
  // Makes a screen by class name; a placeholder stands in when the build has no such screen.

  double tempDeveiceWidth_ = 0;
  double tempDeveiceHeight_ = 0;
  Value userDic_;
  Value data_;
  std::shared_ptr<UIScrollView> mainScroll_;
  std::shared_ptr<UILabel> goldLab_;
  std::shared_ptr<UILabel> friendLab_;
  std::shared_ptr<YQView> yqView_;
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<UIView> chooseView_;
  std::shared_ptr<UIView> mask1_;
  std::string shareUrl_;
  std::shared_ptr<UIImage> ewmImg_;
};
