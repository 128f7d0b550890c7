#include "wallet/MoneyDetailVC.h"

#include "core/ServerController.h"
#include "core/TempData.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISegmentedControl.h"
#include "wallet/MoneyDetailCell.h"
#include "wallet/TXCell.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(MoneyDetailVC, UIViewController)

namespace {
constexpr int kGold = 2;
constexpr int kBoundGold = 3;
// The lists begin 116 points from the top of the screen, under their 40-point header.
constexpr double kListTop = 116;
constexpr double kBubbleOffset = 166;
}  // namespace

void MoneyDetailVC::viewDidLoad() {
  view()->setBackgroundColor(WalletStyle::lightGrey());
  jbAry.clear();
  bjAry.clear();
  txAry.clear();
  userDic_ = TempData::getuserdata();
  const CGRect screen = UIScreen::mainScreen()->bounds();
  tempDeveiceWidth_ = screen.size.width;
  tempDeveiceHeight_ = screen.size.height;
  initSubview();
}

void MoneyDetailVC::initSubview() {
  auto self = sharedSelf<MoneyDetailVC>();
  std::weak_ptr<MoneyDetailVC> weak = self;
  auto root = view();
  const double W = tempDeveiceWidth_;
  auto bar = WalletStyle::topBar(*root, "货币明细", [weak] {
    if (auto page = weak.lock()) page->back();
  });
  topview = bar.view;
  backlabel = bar.backlabel;

  segmentedControl = UISegmentedControl::create({"金币明细", "绑金明细", "提现记录"});
  segmentedControl->setFrame(CGRectMake(20, CGRectGetMaxY(topview->frame()) + 10, W - 40, 30));
  segmentedControl->setTintColor(WalletStyle::blue());
  segmentedControl->setSelectedSegmentIndex(0);
  segmentedControl->addTarget(
      self,
      [weak](UISegmentedControl& sender) {
        if (auto page = weak.lock()) page->segmentedClick(sender);
      },
      UIControlEventValueChanged);
  root->addSubview(segmentedControl);

  const double top = CGRectGetMaxY(segmentedControl->frame()) + 10;
  auto makeList = [&](const std::shared_ptr<UIView>& header, bool hidden) {
    auto list = UITableView::create(CGRectMake(0, top, W, tempDeveiceHeight_ - kListTop));
    list->setDelegate(std::static_pointer_cast<UITableViewDelegate>(self));
    list->setDataSource(std::static_pointer_cast<UITableViewDataSource>(self));
    list->setSeparatorColor(UIColor::clearColor());
    list->setTableFooterView(UIView::create());
    list->setTableHeaderView(header);
    list->setHidden(hidden);
    root->addSubview(list);
    return list;
  };
  jbTableView = makeList(createView("时间", "收/支", "余额", "类型"), false);
  bjTableView = makeList(createView("时间", "收/支", "余额", "类型"), true);
  txTableView = makeList(createView("时间", "绑金", "RMB", "状态"), true);
  addJBData();
}

std::shared_ptr<UIView> MoneyDetailVC::createView(const std::string& s0, const std::string& s1,
                                                  const std::string& s2,
                                                  const std::string& s3) const {
  const double W = tempDeveiceWidth_;
  auto header = UIView::create(CGRectMake(0, 0, W, 40));
  header->setBackgroundColor(UIColor::rgb(237, 237, 237));
  double x = 0;
  for (const std::string* title : {&s0, &s1, &s2, &s3}) {
    auto label = WalletStyle::label(CGRectMake(x, 0, W / 4, 40), *title, 14);
    label->setTextColor(UIColor::blackColor());
    label->setTextAlignment(NSTextAlignmentCenter);
    header->addSubview(label);
    x += W / 4;
  }
  return header;
}

void MoneyDetailVC::append(std::vector<Value>& records, const Value& reply) {
  // A refusal sends null, and a malformed reply anything at all: only records are rows. Taking
  // every item mends a crash: a cell that reads record keys from an item that is not a
  // dictionary sends it a message it does not know.
  for (const Value& item : reply["data"].arrayValue()) {
    if (item.isDict()) records.push_back(item);
  }
}

void MoneyDetailVC::addJBData() {
  append(jbAry, ServerController::getBalanceListWithQxusername(userDic_["username"].str(),
                                                               userDic_["token"].str(), kGold));
  jbTableView->reloadData();
}

void MoneyDetailVC::addBJData() {
  append(bjAry, ServerController::getBalanceListWithQxusername(
                    userDic_["username"].str(), userDic_["token"].str(), kBoundGold));
  bjTableView->reloadData();
}

void MoneyDetailVC::addTXData() {
  append(txAry,
         ServerController::withdrawRecord(userDic_["username"].str(), userDic_["token"].str()));
  txTableView->reloadData();
}

void MoneyDetailVC::segmentedClick(UISegmentedControl& sender) {
  const long index = sender.selectedSegmentIndex();
  if (index < 0 || index > 2) return;
  const std::shared_ptr<UITableView> lists[] = {jbTableView, bjTableView, txTableView};
  for (long i = 0; i < 3; ++i) lists[i]->setHidden(i != index);
  // A list with rows is never fetched again while the screen is open; an empty one is.
  if (index == 0 && jbAry.empty()) addJBData();
  if (index == 1 && bjAry.empty()) addBJData();
  if (index == 2 && txAry.empty()) addTXData();
  lists[index]->reloadData();
}

std::vector<Value>* MoneyDetailVC::recordsOf(const UITableView& tableView) {
  if (&tableView == jbTableView.get()) return &jbAry;
  if (&tableView == bjTableView.get()) return &bjAry;
  if (&tableView == txTableView.get()) return &txAry;
  return nullptr;
}

long MoneyDetailVC::numberOfRowsInSection(UITableView& tableView, long) {
  const auto* records = recordsOf(tableView);
  return records ? static_cast<long>(records->size()) : 0;
}

std::shared_ptr<UITableViewCell> MoneyDetailVC::cellForRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
  const auto* records = recordsOf(tableView);
  const size_t row = static_cast<size_t>(indexPath.row);
  const Value record = records && row < records->size() ? (*records)[row] : Value();
  const auto background =
      indexPath.row % 2 == 1 ? UIColor::rgb(237, 237, 237) : WalletStyle::lightGrey();
  if (&tableView == txTableView.get()) {
    auto cell =
        std::dynamic_pointer_cast<TXCell>(tableView.dequeueReusableCellWithIdentifier("txcell"));
    if (!cell) cell = TXCell::create("txcell");
    cell->setBackgroundColor(background);
    cell->setCellData(record);
    return cell;
  }
  const std::string identifier = &tableView == bjTableView.get() ? "bjcell" : "jbcell";
  auto cell = std::dynamic_pointer_cast<MoneyDetailCell>(
      tableView.dequeueReusableCellWithIdentifier(identifier));
  if (!cell) cell = MoneyDetailCell::create(identifier);
  cell->setBackgroundColor(background);
  cell->setCellData(record);
  return cell;
}

void MoneyDetailVC::didSelectRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) {
  tableView.deselectRowAtIndexPath(indexPath, true);
  const auto* records = recordsOf(tableView);
  const size_t row = static_cast<size_t>(indexPath.row);
  if (!records || row >= records->size()) return;
  maskClick();  // one bubble at a time

  std::weak_ptr<MoneyDetailVC> weak = sharedSelf<MoneyDetailVC>();
  mask = UIView::create(view()->bounds());
  mask->setBackgroundColor(UIColor::clearColor());
  mask->addGestureRecognizer(UITapGestureRecognizer::create(nullptr, [weak] {
    if (auto page = weak.lock()) page->maskClick();
  }));
  view()->addSubview(mask);

  const std::string remark = (*records)[row]["qx_remark"].str();
  const double textWidth = TextMeasure::widthOfText(remark, 13);
  // Follows the tapped row also when its list is scrolled away from the top.
  const double rowTop =
      tableView.rectForRowAtIndexPath(indexPath).origin.y - tableView.contentOffset().y;
  desLabel = WalletStyle::label(
      CGRectMake(tempDeveiceWidth_ - textWidth - 20, rowTop + kBubbleOffset, textWidth + 10, 30),
      remark, 13);
  desLabel->setTextAlignment(NSTextAlignmentCenter);
  desLabel->setBackgroundColor(UIColor::whiteColor());
  desLabel->layer().setBorderWidth(1);
  desLabel->layer().setBorderColor(UIColor::rgb(238, 165, 110));
  view()->addSubview(desLabel);
}

void MoneyDetailVC::maskClick() {
  // Called from the mask's own gesture: let the mask outlive the handler that is running.
  WalletStyle::removeLater(mask);
  WalletStyle::removeLater(desLabel);
  mask.reset();
  desLabel.reset();
}

void MoneyDetailVC::back() { dismissViewControllerAnimated(true); }
