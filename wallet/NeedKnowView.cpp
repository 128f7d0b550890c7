#include "wallet/NeedKnowView.h"

#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(NeedKnowView, UIView)

namespace {
// The notice's paragraphs are spaced a little more than the other popups' to read easily; with
// it both still fit their rows (three lines in 60 points, four in 80).
constexpr double kLineSpacing = 3;
}  // namespace

void NeedKnowView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  initSubview();
}

void NeedKnowView::initSubview() {
  auto self = sharedSelf<NeedKnowView>();
  layer().setCornerRadius(5);
  setClipsToBounds(true);
  const double bottom = WalletStyle::infoForm(
      *this, "提现需知",
      {{"支付宝提现将在2个工作日内处理，请及时查收，支付宝账户需实名认证，没有实名认证的账户提现"
        "无法到账。",
        60},
       {"提现前请仔细检查自己所填写的收款信息准确无误，支付后由于用户自身问题（如收款信息填写错误"
        "等）造成的资金冻结、消失，本站概不负责。",
        80}},
      kLineSpacing);
  auto know = WalletStyle::knowButton(frame().size.width, bottom + 10);
  know->addTarget(self, WalletStyle::action(self, &NeedKnowView::alreadyKnow),
                  UIControlEventTouchUpInside);
  addSubview(know);
}

void NeedKnowView::alreadyKnow() {
  if (auto d = delegate.lock()) d->hideNeedKnowView();
}

std::shared_ptr<UIView> NeedKnowView::createNum(const std::string& number) const {
  return WalletStyle::numberDot(number);
}
