#pragma once
// The gift packages of one game ("礼包"), or of whatever name the player searches for, page by
// page: each row shows the package, how much of its stock is left and its price in bound gold.
// A row opens a detail popup or starts a redemption: a confirmation popup names the package and
// its price, "getCard" asks the server for a code, a code popup shows it and its copy button
// puts it on the general pasteboard; then the player is logged in again to refresh UserData.
//
// Presented modally, made with plain init (by class name from a home slide, too). The name to
// list comes from setGamename() before the view loads, or from a ControllerData hand-over
// {"gamename": text}, which wins and is cleared when the view loads; a hand-over without
// "gamename" leaves the name alone.
//
// Threads: the package list is fetched on a global queue and its rows are built on the main
// queue; the redemption and the re-login after it block the main thread. Everything else runs on
// the main thread. One page request is under way at a time; a search drops the replies still on
// their way for the list before it.

#include <memory>
#include <optional>
#include <string>

#include "games/GiftPager.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIViewController.h"

class UIActivityIndicatorView;
class UIButton;
class UIGestureRecognizer;
class UILabel;

class LibaoDuihuanController : public UIViewController,
                               public UITextFieldDelegate,
                               public UIScrollViewDelegate {
  TOVIRA_CLASS(LibaoDuihuanController)
  static std::shared_ptr<LibaoDuihuanController> create() {
    return std::make_shared<LibaoDuihuanController>();
  }

  // The name to list, set by the presenter before the view loads.
  void setGamename(const std::string& name) { gamename_ = name; }
  const std::optional<std::string>& gamename() const { return gamename_; }

  void viewDidLoad() override;

  // The list.
  void loadmainscroll();
  void cleanmainscroll();
  void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
  void searchgamebtnclick();

  // Rows and popups.
  void libaoxiangqinglabelclick(UIGestureRecognizer& recognizer);
  void libaoxiangqingquerenclick();
  void duihuanbtnclick(UIView& sender);  // the tapped "兑换" button
  void huanbtnclick();
  void quxiaolingqulibaobtnclick();
  void copycodebtnclick();
  void howgetgoldlabelclick();
  void howgetgoldwozhidaoleclick();
  void maskclick();

  // Neighbours.
  void libaorecordbtnclick();
  void tologin();
  void back();
  void topbackbtnclick() { back(); }

  // The search field's delegate.
  bool textFieldShouldReturn(UITextField& field) override;
  bool textFieldShouldEndEditing(UITextField& field) override;
  bool shouldChangeCharactersInRange(UITextField& field, NSRange range,
                                     const std::string& replacement) override;
  bool textFieldShouldClear(UITextField& field) override;
  void tapGestureRecognizer();

  // The row of one package as the list shows it; `y` is its top in the list.
  static std::shared_ptr<UIView> makeRow(const Value& item, double y, double screenWidth,
                                         const std::shared_ptr<LibaoDuihuanController>& owner);

  // What the screen holds, for tests, the simulator and the benchmark.
  int page() const { return pager_.page(); }
  const Value& libaolistparams() const { return libaolistparams_; }
  const std::optional<std::string>& cardid() const { return cardid_; }
  std::shared_ptr<UIView> topview() const { return topview_; }
  std::shared_ptr<UITextField> searchgame() const { return searchgame_; }
  std::shared_ptr<UILabel> searchgamelabel() const { return searchgamelabel_; }
  std::shared_ptr<UIScrollView> mainscroll() const { return mainscroll_; }
  std::shared_ptr<UIView> mask() const { return mask_; }
  std::shared_ptr<UIActivityIndicatorView> waitview() const { return waitview_; }
  std::shared_ptr<UIView> libaoxiangqingview() const { return libaoxiangqingview_; }
  std::shared_ptr<UILabel> libaoneironglabel() const { return libaoneironglabel_; }
  std::shared_ptr<UILabel> shiyongfangfalabel() const { return shiyongfangfalabel_; }
  std::shared_ptr<UIView> lingqulibaoview() const { return lingqulibaoview_; }
  std::shared_ptr<UILabel> tanchulibaonamelabel() const { return tanchulibaonamelabel_; }
  std::shared_ptr<UILabel> tanchujiagelabel() const { return tanchujiagelabel_; }
  std::shared_ptr<UIView> libaocodeview() const { return libaocodeview_; }
  std::shared_ptr<UILabel> libaocodelabel() const { return libaocodelabel_; }
  std::shared_ptr<UIView> howgetgoldview() const { return howgetgoldview_; }

 private:
  void initSubview();
  void buildPopups();
  void appendPage(const GiftPager::Ticket& ticket, const Value& reply);
  void showPopup(const std::shared_ptr<UIView>& popup);
  void hidePopups();

  std::optional<std::string> gamename_;
  Value data_;  // the hand-over found when the view loaded
  double tempDeveiceWidth_ = 0;
  GiftPager pager_;
  Value libaolistparams_;
  std::optional<std::string> cardid_;

  std::shared_ptr<UIView> topview_;
  std::shared_ptr<UILabel> topbacklabel_;
  std::shared_ptr<UITextField> searchgame_;
  std::shared_ptr<UILabel> searchgamelabel_;
  std::shared_ptr<UIButton> searchbtn_;
  std::shared_ptr<UIButton> lingqujilubtn_;
  std::shared_ptr<UILabel> howgetgoldlabel_;
  std::shared_ptr<UIScrollView> mainscroll_;
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<UIActivityIndicatorView> waitview_;
  std::shared_ptr<UIView> libaoxiangqingview_;
  std::shared_ptr<UILabel> libaoneironglabel_;
  std::shared_ptr<UILabel> shiyongfangfalabel_;
  std::shared_ptr<UIView> lingqulibaoview_;
  std::shared_ptr<UILabel> tanchulibaonamelabel_;
  std::shared_ptr<UILabel> tanchujiagelabel_;
  std::shared_ptr<UIView> libaocodeview_;
  std::shared_ptr<UILabel> libaocodelabel_;
  std::shared_ptr<UIView> howgetgoldview_;
};
