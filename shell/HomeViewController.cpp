#include "shell/HomeViewController.h"

#include "core/TempData.h"
#include "platform/foundation/NSLog.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIView.h"
#include "shell/GameCenterController.h"
#include "shell/KaifubiaoController.h"
#include "shell/ShellLists.h"
#include "shell/ShellViews.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

TOVIRA_REGISTER_CLASS(HomeViewController, UIViewController)

std::shared_ptr<HomeViewController> HomeViewController::create() {
  return std::make_shared<HomeViewController>();
}

void HomeViewController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double width = root->bounds().size.width;
  std::weak_ptr<HomeViewController> weakSelf = sharedSelf<HomeViewController>();

  addSlides(width);

  auto name = UILabel::create(CGRectMake(0, 160, width, 40));
  name->setText(kPlatformName);
  name->setTextAlignment(NSTextAlignmentCenter);
  name->setFont(UIFont::boldSystemFontOfSize(24));
  root->addSubview(name);

  const auto green = UIColor::rgb(81, 158, 19);
  auto entry = makeEntryButton(kEntryTitle, CGRectMake((width - 160) / 2, 260, 160, 44), green);
  entry->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->enterclick();
      },
      UIControlEventTouchUpInside);
  root->addSubview(entry);

  const auto blue = UIColor::rgb(47, 128, 197);
  auto gameCenter =
      makeEntryButton(kGameCenterTitle, CGRectMake(width / 2 - 150, 320, 140, 44), blue);
  gameCenter->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->gamecenterclick();
      },
      UIControlEventTouchUpInside);
  root->addSubview(gameCenter);

  auto timetable = makeEntryButton(kKaifubiaoTitle, CGRectMake(width / 2 + 10, 320, 140, 44), blue);
  timetable->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->kaifubiaoclick();
      },
      UIControlEventTouchUpInside);
  root->addSubview(timetable);
}

void HomeViewController::addSlides(double width) {
  slides_ = ShellLists::slides();
  // The band above the platform's name holds three rows; more scroll.
  slideView_ = UIScrollView::create(CGRectMake(0, 20, width, 130));
  slideView_->setContentSize(CGSizeMake(0, kSlideStep * static_cast<double>(slides_.count()) + 10));
  std::weak_ptr<HomeViewController> weakSelf = sharedSelf<HomeViewController>();
  for (size_t i = 0; i < slides_.count(); ++i) {
    const Value slide = slides_[i];
    auto row = makeEntryButton(
        slide["title"].str(),
        CGRectMake(10, 10 + kSlideStep * static_cast<double>(i), width - 20, kSlideHeight),
        UIColor::rgb(216, 214, 215));
    row->setTitleColor(UIColor::blackColor());
    row->addTarget(
        weakSelf,
        [weakSelf, slide] {
          if (auto self = weakSelf.lock()) self->slideclick(slide);
        },
        UIControlEventTouchUpInside);
    slideView_->addSubview(row);
  }
  view()->addSubview(slideView_);
}

void HomeViewController::enterclick() { presentViewController(TabBarController::create(), true); }

void HomeViewController::slideclick(const Value& slide) {
  const std::string className = slide["classname"].str();
  auto screen = std::dynamic_pointer_cast<UIViewController>(ClassRegistry::create(className));
  if (!screen) {
    // Leaving the extras behind without a screen to read them would hand them to whichever
    // screen reads ControllerData next.
    NSLog("HomeViewController: a slide names no screen class: %@", className);
    return;
  }
  TempData::setcontrollerdata(slide["extras"]);
  presentViewController(screen, true);
}

void HomeViewController::gamecenterclick() {
  auto tabs = TabBarController::create();
  presentViewController(tabs, true);
  // The switch needs the children, which the tab bar makes when its view loads.
  tabs->view();
  TabBarHelper::qiehuanTabBarViewControllers(tabs, GameCenterController::staticClassName());
}

void HomeViewController::kaifubiaoclick() {
  presentViewController(KaifubiaoController::create(), true);
}
