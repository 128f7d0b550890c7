#include "shell/GameCenterController.h"

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
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

TOVIRA_REGISTER_CLASS(GameCenterController, UIViewController)

namespace {
std::shared_ptr<UIButton> makeRowButton(const std::string& title, CGRect frame, long tag,
                                        std::shared_ptr<UIColor> colour) {
  auto button = makeEntryButton(title, frame, std::move(colour), 13);
  button->setTag(tag);
  return button;
}
}  // namespace

std::shared_ptr<GameCenterController> GameCenterController::create() {
  return std::make_shared<GameCenterController>();
}

void GameCenterController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const CGRect bounds = root->bounds();
  const double width = bounds.size.width;

  auto topBar = makeTitleBar(width, kTitle, CGRectMake(0, 7, width, 30));
  // Outside the tab bar (a home slide may present any screen) the bar's "首页" is not there to
  // leave by, so the screen brings its own way back.
  if (!tabBarController()) {
    topBar->addSubview(makeBackButton(sharedSelf<GameCenterController>(), CGRectMake(5, 7, 50, 30),
                                      UIColor::whiteColor()));
  }
  root->addSubview(topBar);

  gameList_ = UIScrollView::create(
      CGRectMake(0, 64, width, bounds.size.height - 64 - TabBarController::kBarHeight));
  root->addSubview(gameList_);

  games_ = ShellLists::games();
  for (size_t i = 0; i < games_.count(); ++i) addRow(i, games_[i]["plat_gamename"].str(), width);
  gameList_->setContentSize(CGSizeMake(0, kRowHeight * static_cast<double>(games_.count())));
}

void GameCenterController::addRow(size_t index, const std::string& gamename, double width) {
  auto row =
      UIView::create(CGRectMake(0, kRowHeight * static_cast<double>(index), width, kRowHeight));

  auto name = UILabel::create(CGRectMake(10, 15, width - 180, 20));
  name->setText(gamename);
  name->setFont(UIFont::systemFontOfSize(14));
  row->addSubview(name);

  std::weak_ptr<GameCenterController> weakSelf = sharedSelf<GameCenterController>();
  const long tagOffset = static_cast<long>(index);
  auto libao = makeRowButton(kLibaoTitle, CGRectMake(width - 165, 10, 70, 30),
                             kLibaoTagBase + tagOffset, UIColor::rgb(81, 158, 19));
  libao->addTarget(
      weakSelf,
      [weakSelf, gamename] {
        if (auto self = weakSelf.lock()) self->libaoclick(gamename);
      },
      UIControlEventTouchUpInside);
  row->addSubview(libao);

  auto bind = makeRowButton(kBindTitle, CGRectMake(width - 85, 10, 75, 30),
                            kBindTagBase + tagOffset, UIColor::rgb(47, 128, 197));
  bind->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->bindclick();
      },
      UIControlEventTouchUpInside);
  row->addSubview(bind);

  auto rule = UIView::create(CGRectMake(0, kRowHeight - 0.5, width, 0.5));
  rule->setBackgroundColor(UIColor::rgb(216, 214, 215));
  row->addSubview(rule);
  gameList_->addSubview(row);
}

void GameCenterController::libaoclick(const std::string& gamename) {
  auto page = LibaoDuihuanController::create();
  page->setGamename(gamename);
  presentViewController(page, true);
}

void GameCenterController::bindclick() {
  TabBarHelper::qiehuanTabBarViewControllers(parentViewController(), kBindClassName);
}
