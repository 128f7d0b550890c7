#pragma once
// The new-user gift page ("新手礼包"), presented modally from the player's own page. The player
// picks the game he plays in the game picker, or a game from the list of hot new-user gifts,
// and the page opens that game's gift in the shop app ("taobao" in place of the link's leading
// "https") when the device can open it, else the link itself in the browser.
//
// Main thread only. Its three server calls (the game list and the hot gifts while the page is
// built, the gift link on "0.1元") block the main thread until the reply has come.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class UIButton;
class UIGestureRecognizer;
class UILabel;
class UIScrollView;

class LibaoViewController : public UIViewController,
                            public UITableViewDataSource,
                            public UITableViewDelegate {
  TOVIRA_CLASS(LibaoViewController)
  static std::shared_ptr<LibaoViewController> create() {
    return std::make_shared<LibaoViewController>();
  }

  static constexpr const char* kPrompt = "请输入游戏名称";

  void viewDidLoad() override;

  void chooseGame();
  void gamelabelclick(UIGestureRecognizer& recognizer);
  void gamezimulabelclick(UIGestureRecognizer& recognizer);
  void lingqu();
  void back();

  // UITableViewDataSource / UITableViewDelegate
  long numberOfRowsInSection(UITableView& tableView, long section) override;
  double heightForRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) override;
  std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                         const NSIndexPath& indexPath) override;
  void didSelectRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) override;

  // The shop app's form of a gift link: a leading "https" becomes "taobao"; nothing inside the
  // link changes. Links of another scheme stay as they are.
  static std::string shopAppLink(const std::string& link);

  // What the page holds, for tests and the simulator.
  std::shared_ptr<UIView> topview() const { return topview_; }
  std::shared_ptr<UILabel> backlabel() const { return backlabel_; }
  std::shared_ptr<UIView> chooser() const { return chooser_; }
  std::shared_ptr<UILabel> chooseLab() const { return chooseLab_; }
  std::shared_ptr<UIButton> lingquButton() const { return lingquButton_; }
  std::shared_ptr<UIScrollView> gamescroll() const { return gamescroll_; }
  std::shared_ptr<UIScrollView> gamezimuscroll() const { return gamezimuscroll_; }
  std::shared_ptr<UIView> mask() const { return mask_; }
  std::shared_ptr<UITableView> gameTableview() const { return gameTableview_; }
  const Value& gameAry() const { return gameAry_; }

 private:
  void initSubview();
  void addGame();
  void addWord();
  void getNewHotLibao();
  // Opens a gift link as described above; no link shows "很抱歉".
  void openGiftLink(const std::string& link);

  double tempDeveiceWidth_ = 0;
  double tempDeveiceHeight_ = 0;
  Value userInfo_;
  Value gameAry_;
  std::shared_ptr<UIView> topview_;
  std::shared_ptr<UILabel> backlabel_;
  std::shared_ptr<UIView> chooser_;
  std::shared_ptr<UILabel> chooseLab_;
  std::shared_ptr<UIButton> lingquButton_;
  std::shared_ptr<UIScrollView> gamescroll_;
  std::shared_ptr<UIScrollView> gamezimuscroll_;
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<UITableView> gameTableview_;
};
