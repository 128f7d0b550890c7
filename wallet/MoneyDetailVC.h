#pragma once
// The money records ("货币明细"): the gold ledger, the bound-gold ledger ("balanceList" with
// type 2 and 3) and the withdrawal records ("get_cash_record") behind a three-segment switch.
// Each list is fetched whole when it is first shown, and again on a later showing while it is
// still empty; a tap on a row shows that record's remark in a bubble until the next tap.
//
// Presented modally, with plain create(), by the player's page while a user is logged in; it
// reads "username" and "token" from the UserData copy it takes when it loads. Every fetch
// blocks the main thread, the first one while the screen is built. Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class UILabel;
class UISegmentedControl;

class MoneyDetailVC : public UIViewController,
                      public UITableViewDelegate,
                      public UITableViewDataSource {
  TOVIRA_CLASS(MoneyDetailVC)
  static std::shared_ptr<MoneyDetailVC> create() { return std::make_shared<MoneyDetailVC>(); }

  void viewDidLoad() override;
  void initSubview();
  // A list header as wide as the screen and 40 high with four centred column titles.
  std::shared_ptr<UIView> createView(const std::string& s0, const std::string& s1,
                                     const std::string& s2, const std::string& s3) const;
  void addJBData();
  void addBJData();
  void addTXData();
  void segmentedClick(UISegmentedControl& sender);
  void back();
  void maskClick();

  long numberOfSectionsInTableView(UITableView&) override { return 1; }
  long numberOfRowsInSection(UITableView& tableView, long section) override;
  std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                         const NSIndexPath& indexPath) override;
  double heightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 30; }
  void didSelectRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) override;

  // The records of each list, in the order the server sent them.
  std::vector<Value> jbAry, bjAry, txAry;
  std::shared_ptr<UITableView> jbTableView, bjTableView, txTableView;
  std::shared_ptr<UISegmentedControl> segmentedControl;
  std::shared_ptr<UIView> mask;
  std::shared_ptr<UILabel> desLabel;
  std::shared_ptr<UIView> topview;
  std::shared_ptr<UILabel> backlabel;

 private:
  // The records of a list: the array of its table.
  std::vector<Value>* recordsOf(const UITableView& tableView);
  // Appends the dictionaries of a reply's "data" array; anything else adds nothing.
  static void append(std::vector<Value>& records, const Value& reply);

  Value userDic_;
  double tempDeveiceWidth_ = 0;
  double tempDeveiceHeight_ = 0;
};
