#include "wallet/CertainDuiHuanView.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(CertainDuiHuanView, UIView)

void CertainDuiHuanView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  auto self = sharedSelf<CertainDuiHuanView>();
  const double W = frame.size.width;
  setBackgroundColor(UIColor::whiteColor());

  // Both coin kinds share this title.
  auto title = UILabel::create(CGRectMake(0, 0, W, 30));
  title->setText("金币兑换平台币");
  title->setTextAlignment(NSTextAlignmentCenter);
  title->setTextColor(UIColor::whiteColor());
  title->setBackgroundColor(WalletStyle::green());
  addSubview(title);

  auto line = [&](double y) {
    auto label = WalletStyle::label(CGRectMake(0, y, W, 20), "", 14);
    label->setTextAlignment(NSTextAlignmentCenter);
    addSubview(label);
    return label;
  };
  duihuanLabel = line(40);
  accountLabel = line(70);
  platLabel = line(100);
  platLabel->setTextColor(WalletStyle::red());

  for (auto [y, text] : {std::pair{130.0, "*兑换成功后，请登录游戏"},
                         std::pair{145.0, "选择平台币支付，即可充值游戏"}}) {
    auto note = WalletStyle::label(CGRectMake(0, y, W, 15), text, 12);
    note->setTextAlignment(NSTextAlignmentCenter);
    note->setTextColor(UIColor::grayColor());
    addSubview(note);
  }

  auto ok = WalletStyle::button(CGRectMake((W - 100) / 2, 170, 100, 30), "确认兑换",
                                UIColor::whiteColor(), WalletStyle::green(), 14);
  ok->addTarget(self, WalletStyle::action(self, &CertainDuiHuanView::queRenDuiHuan),
                UIControlEventTouchUpInside);
  addSubview(ok);
}

void CertainDuiHuanView::queRenDuiHuan() {
  if (auto d = delegate.lock()) d->reallyDuiHuan();
}
