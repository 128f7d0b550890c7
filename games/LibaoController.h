#pragma once
// The gift tab ("礼包"): every game that has gift packages as a grid of tiles, three to a row,
// each with the game's icon, its name and the number of package kinds ("礼包种类:%@种"), loaded
// page by page as the player scrolls to the end. A search field filters the games by name; a
// tile opens that game's packages (LibaoDuihuanController) through a ControllerData hand-over
// {"gamename": name}. The record button (login first) presents the gift records; two labels open
// the rules and how-to-earn popups over the mask; three labels switch tabs by class name.
//
// A child of the tab bar controller, made by class name; it loads page 1 once, when its view
// loads. Threads: the game list is fetched on a global queue and the tiles are built on the main
// queue; everything else runs on the main thread. One page request is under way at a time; a
// search drops the replies still on their way for the list before it.

#include <memory>
#include <string>

#include "games/GiftPager.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIViewController.h"

class UIActivityIndicatorView;
class UIButton;
class UIGestureRecognizer;
class UILabel;

class LibaoController : public UIViewController,
                        public UITextFieldDelegate,
                        public UIScrollViewDelegate {
  TOVIRA_CLASS(LibaoController)
  static std::shared_ptr<LibaoController> create() { return std::make_shared<LibaoController>(); }

  void viewDidLoad() override;

  // The grid.
  void loadmainscroll();
  void cleanmainscroll();
  void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
  void searchgamebtnclick();
  void gameviewclick(UIGestureRecognizer& recognizer);

  // Buttons, labels and popups.
  void libaorecordbtnclick();
  void tologin();
  void topduihuanguizelabelclick();
  void topduihuanguizebtnclick() { topduihuanguizelabelclick(); }
  void wozhidaoleclick();
  void howgetgoldlabelclick();
  void howgetgoldwozhidaoleclick();
  void maskclick();
  void yaoqinglabelclick();
  void shoplabelclick();
  void libaolabelclick();
  void back();
  void topbackbtnclick() { back(); }

  // The search field's delegate.
  bool textFieldShouldReturn(UITextField& field) override;
  bool textFieldShouldEndEditing(UITextField& field) override;
  bool shouldChangeCharactersInRange(UITextField& field, NSRange range,
                                     const std::string& replacement) override;
  bool textFieldShouldClear(UITextField& field) override;
  void tapGestureRecognizer();

  // What the screen holds, for tests and the simulator.
  int page() const { return pager_.page(); }
  const Value& gamelistparams() const { return gamelistparams_; }
  std::shared_ptr<UITextField> searchgame() const { return searchgame_; }
  std::shared_ptr<UILabel> searchgamelabel() const { return searchgamelabel_; }
  std::shared_ptr<UIButton> lingqujilubtn() const { return lingqujilubtn_; }
  std::shared_ptr<UIScrollView> mainscroll() const { return mainscroll_; }
  std::shared_ptr<UIView> mask() const { return mask_; }
  std::shared_ptr<UIActivityIndicatorView> waitview() const { return waitview_; }
  std::shared_ptr<UIView> duihuanguizeview() const { return duihuanguizeview_; }
  std::shared_ptr<UIView> howgetgoldview() const { return howgetgoldview_; }
  std::shared_ptr<UILabel> topbacklabel() const { return topbacklabel_; }
  std::shared_ptr<UILabel> topduihuanguizelabel() const { return topduihuanguizelabel_; }
  std::shared_ptr<UILabel> howgetgoldlabel() const { return howgetgoldlabel_; }
  std::shared_ptr<UILabel> yaoqinglabel() const { return yaoqinglabel_; }
  std::shared_ptr<UILabel> shoplabel() const { return shoplabel_; }
  std::shared_ptr<UILabel> libaolabel() const { return libaolabel_; }

 private:
  void initSubview();
  std::shared_ptr<UILabel> tappableLabel(CGRect frame, const std::string& text,
                                         void (LibaoController::*method)());
  void appendPage(const GiftPager::Ticket& ticket, const Value& reply);
  std::shared_ptr<UIView> makeTile(const Value& item, double x, double y, double w, bool lineRight);

  double tempDeveiceWidth_ = 0;
  GiftPager pager_;
  Value gamelistparams_;

  std::shared_ptr<UILabel> topbacklabel_;
  std::shared_ptr<UILabel> topduihuanguizelabel_;
  std::shared_ptr<UITextField> searchgame_;
  std::shared_ptr<UILabel> searchgamelabel_;
  std::shared_ptr<UIButton> searchbtn_;
  std::shared_ptr<UIButton> lingqujilubtn_;
  std::shared_ptr<UILabel> howgetgoldlabel_;
  std::shared_ptr<UILabel> yaoqinglabel_;
  std::shared_ptr<UILabel> shoplabel_;
  std::shared_ptr<UILabel> libaolabel_;
  std::shared_ptr<UIScrollView> mainscroll_;
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<UIActivityIndicatorView> waitview_;
  std::shared_ptr<UIView> duihuanguizeview_;
  std::shared_ptr<UIView> howgetgoldview_;
};
