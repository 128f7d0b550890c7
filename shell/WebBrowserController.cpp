#include "shell/WebBrowserController.h"

#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWebView.h"
#include "shell/BackButton.h"
#include "shell/InviteShare.h"

TOVIRA_REGISTER_CLASS(WebBrowserController, UIViewController)

std::shared_ptr<WebBrowserController> WebBrowserController::create() {
  return std::make_shared<WebBrowserController>();
}

void WebBrowserController::viewDidLoad() {
  // The hand-over is one-shot: take it and clear it before anything else can read it.
  const Value args = TempData::getcontrollerdata();
  TempData::setcontrollerdata(Value());
  gameTitle_ = args["title"].str();
  gid_ = args["gid"].str();
  url_ = args["url"].str();

  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const CGRect bounds = root->bounds();
  const double width = bounds.size.width;
  std::weak_ptr<WebBrowserController> weakSelf = sharedSelf<WebBrowserController>();

  auto topBar = UIView::create(CGRectMake(0, 20, width, 44));
  topBar->setBackgroundColor(UIColor::rgb(81, 158, 19));
  root->addSubview(topBar);

  topBar->addSubview(makeBackButton(sharedSelf<WebBrowserController>(), CGRectMake(5, 7, 50, 30),
                                    UIColor::whiteColor()));

  auto titleLabel = UILabel::create(CGRectMake(60, 7, width - 120, 30));
  titleLabel->setText(gameTitle_);
  titleLabel->setTextAlignment(NSTextAlignmentCenter);
  titleLabel->setTextColor(UIColor::whiteColor());
  titleLabel->setFont(UIFont::boldSystemFontOfSize(17));
  topBar->addSubview(titleLabel);

  auto libaoButton = UIButton::buttonWithType(UIButtonTypeCustom);
  libaoButton->setFrame(CGRectMake(width - 55, 7, 50, 30));
  libaoButton->setTitle(kLibaoTitle);
  libaoButton->setTitleColor(UIColor::whiteColor());
  libaoButton->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->libaoclick();
      },
      UIControlEventTouchUpInside);
  topBar->addSubview(libaoButton);

  auto urlLabel = UILabel::create(CGRectMake(5, 64, width - 10, 20));
  urlLabel->setText(url_);
  urlLabel->setFont(UIFont::systemFontOfSize(11));
  urlLabel->setTextColor(UIColor::grayColor());
  root->addSubview(urlLabel);

  const double shareHeight = 44;
  webView_ = UIWebView::create(CGRectMake(0, 84, width, bounds.size.height - 84 - shareHeight));
  root->addSubview(webView_);
  if (auto address = NSURL::URLWithString(url_)) webView_->loadRequest(address);

  const double shareY = bounds.size.height - shareHeight;
  auto friendButton = UIButton::buttonWithType(UIButtonTypeCustom);
  friendButton->setFrame(CGRectMake(0, shareY, width / 2, shareHeight));
  friendButton->setTitle("分享给好友");
  friendButton->setTitleColor(UIColor::rgb(81, 158, 19));
  friendButton->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->shareToFriend();
      },
      UIControlEventTouchUpInside);
  root->addSubview(friendButton);

  auto circleButton = UIButton::buttonWithType(UIButtonTypeCustom);
  circleButton->setFrame(CGRectMake(width / 2, shareY, width / 2, shareHeight));
  circleButton->setTitle("分享到动态");
  circleButton->setTitleColor(UIColor::rgb(81, 158, 19));
  circleButton->addTarget(
      weakSelf,
      [weakSelf] {
        if (auto self = weakSelf.lock()) self->shareToCircle();
      },
      UIControlEventTouchUpInside);
  root->addSubview(circleButton);
}

void WebBrowserController::shareToFriend() { InviteShare::shareToFriend(); }

void WebBrowserController::shareToCircle() { InviteShare::shareToCircle(); }

void WebBrowserController::libaoclick() {
  // The page's title is the game's name, the name by which the gift list is searched.
  TempData::setcontrollerdata(Value::dict({{"gamename", gameTitle_}}));
  presentViewController(LibaoDuihuanController::create(), true);
}
