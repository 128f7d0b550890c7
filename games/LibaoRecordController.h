#pragma once
// The gift codes that the logged-in player has redeemed ("领取记录"), page by page in the order
// the server sends them; each row's "复制" button puts its code on the general pasteboard again.
//
// Presented modally, made with plain init, by the gift tab and by one game's packages, both of
// which present it only while a user is logged in; each page load checks the login again and
// presents the login screen instead when nobody is logged in.
//
// Threads: the records are fetched on a global queue and their rows are built on the main
// queue; everything else runs on the main thread. One page request is under way at a time.

#include <memory>
#include <string>

#include "games/GiftPager.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIViewController.h"

class UIActivityIndicatorView;
class UILabel;

class LibaoRecordController : public UIViewController, public UIScrollViewDelegate {
  TOVIRA_CLASS(LibaoRecordController)
  static std::shared_ptr<LibaoRecordController> create() {
    return std::make_shared<LibaoRecordController>();
  }

  void viewDidLoad() override;

  void loadmainscroll();
  void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
  void libaocopybtnclick(UIView& sender);  // the row's copy button
  void tologin();
  void back();
  void topbackbtnclick() { back(); }

  // What the screen holds, for tests and the simulator.
  int page() const { return pager_.page(); }
  std::shared_ptr<UIView> topview() const { return topview_; }
  std::shared_ptr<UIScrollView> mainscroll() const { return mainscroll_; }

 private:
  void initSubview();
  void appendPage(const GiftPager::Ticket& ticket, const Value& reply);
  std::shared_ptr<UIView> makeRow(const Value& item, double y);

  double tempDeveiceWidth_ = 0;
  GiftPager pager_;
  std::shared_ptr<UIView> topview_;
  std::shared_ptr<UILabel> topbacklabel_;
  std::shared_ptr<UIScrollView> mainscroll_;
  // Part of the screen's make-up; the record list shows no loading state.
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<UIActivityIndicatorView> waitview_;
};
