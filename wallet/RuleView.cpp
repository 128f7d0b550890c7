#include "wallet/RuleView.h"

#include "platform/uikit/UIButton.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(RuleView, UIView)

void RuleView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  auto self = sharedSelf<RuleView>();
  const double bottom = WalletStyle::infoForm(
      *this, "兑换规则",
      {{"金币：通过游戏充值获得；绑定金币，通过注册Tovira和邀请好友获得", 35},
       {"金币和绑定金币，均可用来兑换平台币和游戏礼包", 35},
       {"兑换礼包时，系统默认使用绑定金币；绑定金币不足时，则自动使用金币兑换", 35},
       {"礼包兑换后，请在48消失内使用，超过后的问题概不负责", 35},
       {"兑换平台币和礼包请谨慎操作，兑换后，概不提供你想退还", 35}});
  auto know = WalletStyle::knowButton(frame.size.width, bottom + 10);
  know->addTarget(self, WalletStyle::action(self, &RuleView::alreadyKnow),
                  UIControlEventTouchUpInside);
  addSubview(know);
}

void RuleView::alreadyKnow() {
  if (auto d = delegate.lock()) d->hideRuleView();
}

std::shared_ptr<UIView> RuleView::createNum(const std::string& number) const {
  return WalletStyle::numberDot(number);
}
