#include "games/InviteGLVC.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(InviteGLVC, UIViewController)

void InviteGLVC::viewDidLoad() {
  UIViewController::viewDidLoad();
  auto self = sharedSelf<InviteGLVC>();
  tempDeveiceWidth_ = UIScreen::mainScreen()->bounds().size.width;
  auto root = view();
  root->setBackgroundColor(UIColor::rgb(164, 241, 242));
  const CGRect bounds = root->bounds();
  mainScroll_ = UIScrollView::create(bounds);
  root->addSubview(mainScroll_);

  // The picture is 720 x 3094; it keeps that aspect at the view's width.
  const double V = bounds.size.width;
  const double contentHeight = V * 3094 / 720;
  guideImage_ = UIImageView::create(CGRectMake(0, 20, V, contentHeight - 20));
  guideImage_->setImage(UIImage::imageNamed("ktr_pic_invite_stratege.png"));
  mainScroll_->addSubview(guideImage_);
  auto backButton = UIButton::buttonWithType(UIButtonTypeCustom);
  backButton->setFrame(CGRectMake(0, 0, 50, 50));
  backButton->setBackgroundColor(UIColor::clearColor());
  backButton->addTarget(self, WalletStyle::action(self, &InviteGLVC::back),
                        UIControlEventTouchUpInside);
  mainScroll_->addSubview(backButton);
  mainScroll_->setContentSize(CGSizeMake(V, contentHeight));
}

void InviteGLVC::back() { dismissViewControllerAnimated(true); }
