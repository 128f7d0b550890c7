#include "wallet/DHSuccessView.h"

#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UILabel.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(DHSuccessView, UIView)

std::shared_ptr<DHSuccessView> DHSuccessView::create(CGRect frame, const std::string& num) {
  auto view = UIView::make<DHSuccessView>(frame);
  view->build(num);
  return view;
}

void DHSuccessView::build(const std::string& num) {
  auto self = sharedSelf<DHSuccessView>();
  const double W = frame().size.width;
  setBackgroundColor(UIColor::whiteColor());
  layer().setCornerRadius(5);
  setClipsToBounds(true);

  auto title = WalletStyle::label(CGRectMake(0, 0, W, 40), "兑换成功", 15);
  title->setTextAlignment(NSTextAlignmentCenter);
  title->setTextColor(UIColor::whiteColor());
  title->setBackgroundColor(WalletStyle::green());
  addSubview(title);

  auto gained = WalletStyle::label(CGRectMake(0, 50, W, 20),
                                   NSString::stringWithFormat("获得%@枚平台币", num), 14);
  gained->setTextAlignment(NSTextAlignmentCenter);
  addSubview(gained);

  auto invite = WalletStyle::label(CGRectMake(0, 80, W, 20), "邀请好友加入Tovira", 13);
  invite->setTextAlignment(NSTextAlignmentCenter);
  invite->setTextColor(UIColor::grayColor());
  addSubview(invite);

  auto reward = WalletStyle::label(CGRectMake(0, 100, W, 20), "", 13);
  reward->setTextAlignment(NSTextAlignmentCenter);
  reward->setTextColor(UIColor::grayColor());
  reward->setAttributedText(
      WalletStyle::colored("单个好友最高奖励50绑金", NSMakeRange(8, 4), UIColor::rgb(255, 82, 97)));
  addSubview(reward);

  const double yButtons = CGRectGetMaxY(reward->frame()) + 20;
  auto timeline = UIButton::buttonWithType(UIButtonTypeCustom);
  timeline->setFrame(CGRectMake((W - 120) / 2, yButtons, 50, 50));
  timeline->setImage(UIImage::imageNamed("ktr_share_p.png"));
  timeline->addTarget(self, WalletStyle::action(self, &DHSuccessView::shareToP),
                      UIControlEventTouchUpInside);
  addSubview(timeline);
  auto chat = UIButton::buttonWithType(UIButtonTypeCustom);
  chat->setFrame(CGRectMake((W - 120) / 2 + 70, yButtons, 50, 50));
  chat->setImage(UIImage::imageNamed("ktr_share_f.png"));
  chat->addTarget(self, WalletStyle::action(self, &DHSuccessView::shareToF),
                  UIControlEventTouchUpInside);
  addSubview(chat);

  const double yLine = yButtons + 50 + 15;
  auto line = UIView::create(CGRectMake(0, yLine, W, 0.5));
  line->setBackgroundColor(UIColor::grayColor());
  addSubview(line);
  auto cancel = WalletStyle::button(CGRectMake(0, yLine + 0.5, W, 35), "取消",
                                    UIColor::blackColor(), nullptr, 15);
  cancel->addTarget(self, WalletStyle::action(self, &DHSuccessView::cancelShare),
                    UIControlEventTouchUpInside);
  addSubview(cancel);
}

void DHSuccessView::shareToP() {
  if (auto d = delegate.lock()) d->shareToCircle();
}

void DHSuccessView::shareToF() {
  if (auto d = delegate.lock()) d->shareToFriend();
}

void DHSuccessView::cancelShare() {
  if (auto d = delegate.lock()) d->cancelToShare();
}
