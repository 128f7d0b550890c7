#include "wallet/HowGetJinBiView.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(HowGetJinBiView, UIView)

void HowGetJinBiView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  auto self = sharedSelf<HowGetJinBiView>();
  const double W = frame.size.width;
  const double bottom = WalletStyle::infoForm(
      *this, "怎样获得金币",
      {{"金币：通过游戏充值获得；您在Tovira体验游戏并充值，系统将返利以金币形式自动发放至Tovira账号"
        "；",
        53},
       {"绑定金币：简称绑金，通过邀请好友体验Tovira，好友充值游戏，则您可按比例获得绑金奖励", 53},
       {"金币和绑定金币，可通过“商城“界面兑换成平台币，平台币等同于现金使用，可再次充值进游戏；",
        53},
       {"金币和绑定金币，也可用来兑换游戏礼包", 20}});

  // The navigation line: "导航" and three links, 165 wide, centred.
  const double yNav = bottom + 5;
  double x = (W - 165) / 2;
  addSubview(WalletStyle::label(CGRectMake(x, yNav, 30, 20), "导航", 14));
  x += 30 + 5;
  struct Link {
    const char* title;
    double width;
    void (HowGetJinBiView::*handler)();
  };
  for (const Link& link :
       {Link{"邀请好友", 60, &HowGetJinBiView::toFriend},
        Link{"商城", 30, &HowGetJinBiView::toShop}, Link{"礼包", 30, &HowGetJinBiView::toLibao}}) {
    auto button = WalletStyle::button(CGRectMake(x, yNav, link.width, 20), link.title,
                                      WalletStyle::red(), nullptr, 14);
    button->addTarget(self, WalletStyle::action(self, link.handler), UIControlEventTouchUpInside);
    addSubview(button);
    x += link.width + 5;
  }

  auto know = WalletStyle::knowButton(W, yNav + 20 + 5);
  know->addTarget(self, WalletStyle::action(self, &HowGetJinBiView::alreadyKnow),
                  UIControlEventTouchUpInside);
  addSubview(know);
}

void HowGetJinBiView::alreadyKnow() {
  if (auto d = delegate.lock()) d->hideHowGetJBView();
}

void HowGetJinBiView::toFriend() {
  if (auto d = delegate.lock()) d->htoFriend();
}

void HowGetJinBiView::toShop() {
  if (auto d = delegate.lock()) d->htoShop();
}

void HowGetJinBiView::toLibao() {
  if (auto d = delegate.lock()) d->htoLibao();
}

std::shared_ptr<UIView> HowGetJinBiView::createNum(const std::string& number) const {
  return WalletStyle::numberDot(number);
}
