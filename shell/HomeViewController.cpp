#include "shell/HomeViewController.h"

#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"
#include "shell/TabBarController.h"

TOVIRA_REGISTER_CLASS(HomeViewController, UIViewController)

std::shared_ptr<HomeViewController> HomeViewController::create() {
  return std::make_shared<HomeViewController>();
}

void HomeViewController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double width = root->bounds().size.width;

  auto name = UILabel::create(CGRectMake(0, 160, width, 40));
  name->setText(kPlatformName);
  name->setTextAlignment(NSTextAlignmentCenter);
  name->setFont(UIFont::boldSystemFontOfSize(24));
  root->addSubview(name);

  auto entry = UIButton::buttonWithType(UIButtonTypeCustom);
  entry->setFrame(CGRectMake((width - 160) / 2, 260, 160, 44));
  entry->setTitle(kEntryTitle);
  entry->setTitleColor(UIColor::whiteColor());
  entry->setBackgroundColor(UIColor::rgb(81, 158, 19));
  entry->layer().setCornerRadius(5);
  std::weak_ptr<HomeViewController> weakSelf = sharedSelf<HomeViewController>();
  entry->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->enterclick();
      },
      UIControlEventTouchUpInside);
  root->addSubview(entry);
}

void HomeViewController::enterclick() { presentViewController(TabBarController::create(), true); }
