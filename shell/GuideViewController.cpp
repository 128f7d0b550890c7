#include "shell/GuideViewController.h"

#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"
#include "shell/HomeViewController.h"

TOVIRA_REGISTER_CLASS(GuideViewController, UIViewController)

std::shared_ptr<GuideViewController> GuideViewController::create() {
  return std::make_shared<GuideViewController>();
}

void GuideViewController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double width = root->bounds().size.width;

  auto welcome = UILabel::create(CGRectMake(0, 140, width, 30));
  welcome->setText("欢迎使用Tovira手游");
  welcome->setTextAlignment(NSTextAlignmentCenter);
  welcome->setFont(UIFont::boldSystemFontOfSize(20));
  root->addSubview(welcome);

  auto note = UILabel::create(CGRectMake(20, 180, width - 40, 40));
  note->setText("玩手游，领返利");
  note->setTextAlignment(NSTextAlignmentCenter);
  root->addSubview(note);

  auto start = UIButton::buttonWithType(UIButtonTypeCustom);
  start->setFrame(CGRectMake((width - 160) / 2, 300, 160, 44));
  start->setTitle(kStartTitle);
  start->setTitleColor(UIColor::whiteColor());
  start->setBackgroundColor(UIColor::rgb(81, 158, 19));
  start->layer().setCornerRadius(5);
  std::weak_ptr<GuideViewController> weakSelf = sharedSelf<GuideViewController>();
  start->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->startclick();
      },
      UIControlEventTouchUpInside);
  root->addSubview(start);
}

void GuideViewController::startclick() {
  // Keep this screen alive until the window has let go of it.
  auto keepAlive = sharedSelf<GuideViewController>();
  auto window = view()->window();
  if (!window) return;
  window->setRootViewController(HomeViewController::create());
}
