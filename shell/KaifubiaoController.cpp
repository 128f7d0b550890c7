#include "shell/KaifubiaoController.h"

#include "core/TempData.h"
#include "core/Time.h"
#include "games/LibaoDuihuanController.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIView.h"
#include "shell/BackButton.h"
#include "shell/ShellLists.h"
#include "shell/ShellViews.h"

TOVIRA_REGISTER_CLASS(KaifubiaoController, UIViewController)

std::shared_ptr<KaifubiaoController> KaifubiaoController::create() {
  return std::make_shared<KaifubiaoController>();
}

void KaifubiaoController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const CGRect bounds = root->bounds();
  const double width = bounds.size.width;

  auto topBar = makeTitleBar(width, kTitle, CGRectMake(60, 7, width - 120, 30));
  topBar->addSubview(makeBackButton(sharedSelf<KaifubiaoController>(), CGRectMake(5, 7, 50, 30),
                                    UIColor::whiteColor()));
  root->addSubview(topBar);

  list_ = UIScrollView::create(CGRectMake(0, 64, width, bounds.size.height - 64));
  root->addSubview(list_);
  rows_ = ShellLists::kaifubiao();
  for (size_t i = 0; i < rows_.count(); ++i) addRow(i, rows_[i], width);
  list_->setContentSize(CGSizeMake(0, kRowHeight * static_cast<double>(rows_.count())));
}

void KaifubiaoController::addRow(size_t index, const Value& row, double width) {
  auto view =
      UIView::create(CGRectMake(0, kRowHeight * static_cast<double>(index), width, kRowHeight));
  const std::string gamename = row["plat_gamename"].str();

  auto name = UILabel::create(CGRectMake(10, 5, width - 100, 20));
  name->setText(gamename);
  name->setFont(UIFont::systemFontOfSize(14));
  view->addSubview(name);

  auto detail = UILabel::create(CGRectMake(10, 25, width - 100, 20));
  detail->setText(row["servername"].str() + "  " +
                  Time::getDateFromTimestamp(row["kaifutime"].longLongValue(), kTimeFormat));
  detail->setFont(UIFont::systemFontOfSize(12));
  detail->setTextColor(UIColor::grayColor());
  view->addSubview(detail);

  auto libao = makeEntryButton(kLibaoTitle, CGRectMake(width - 80, 10, 70, 30),
                               UIColor::rgb(81, 158, 19), 13);
  libao->setTag(kLibaoTagBase + static_cast<long>(index));
  std::weak_ptr<KaifubiaoController> weakSelf = sharedSelf<KaifubiaoController>();
  libao->addTarget(
      weakSelf,
      [weakSelf, gamename] {
        if (auto self = weakSelf.lock()) self->libaoclick(gamename);
      },
      UIControlEventTouchUpInside);
  view->addSubview(libao);

  auto rule = UIView::create(CGRectMake(0, kRowHeight - 0.5, width, 0.5));
  rule->setBackgroundColor(UIColor::rgb(216, 214, 215));
  view->addSubview(rule);
  list_->addSubview(view);
}

void KaifubiaoController::libaoclick(const std::string& gamename) {
  TempData::setcontrollerdata(Value::dict({{"gamename", gamename}}));
  presentViewController(LibaoDuihuanController::create(), true);
}
