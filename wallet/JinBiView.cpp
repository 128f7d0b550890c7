#include "wallet/JinBiView.h"

#include "core/TempData.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UITextField.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(JinBiView, UIView)

namespace {
const char* const kShopName = "Tovira手游金铺";
}

void JinBiView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  auto self = sharedSelf<JinBiView>();
  const double W = frame.size.width;
  setBackgroundColor(UIColor::whiteColor());

  // The four steps.
  const char* steps[] = {"Tovira手游官方淘宝店购买金币充值卡.", "本页下方输入卡密进行金币充值.",
                         "充值成功后,在个人中心处查收金币.", "购买时,请熟读商品详情噢!"};
  double y = 5;
  for (int k = 0; k < 4; ++k) {
    auto dot = createNum(std::to_string(k + 1));
    dot->setFrame(CGRectMake(5, y, 20, 20));
    addSubview(dot);
    auto step = WalletStyle::label(CGRectMake(30, y, W - 35, 20), steps[k], 13);
    step->setTextColor(UIColor::grayColor());
    addSubview(step);
    y += 25;
  }

  // The shop's name and its copy button.
  y += 5;  // 10 below the last step
  auto shop = WalletStyle::label(CGRectMake(5, y, 140, 20), "淘宝店名: Tovira手游金铺", 13);
  addSubview(shop);
  auto copy = WalletStyle::button(CGRectMake(CGRectGetMaxX(shop->frame()) + 5, y, 60, 20),
                                  "复制店名", UIColor::orangeColor(), nullptr, 13);
  copy->layer().setBorderWidth(1);
  copy->layer().setBorderColor(UIColor::orangeColor());
  copy->layer().setCornerRadius(3);
  copy->addTarget(self, WalletStyle::action(self, &JinBiView::copyName),
                  UIControlEventTouchUpInside);
  addSubview(copy);
  y += 20 + 5;

  auto how = WalletStyle::label(CGRectMake(5, y, 55, 20), "购买方式", 13);
  addSubview(how);
  auto howText =
      WalletStyle::label(CGRectMake(CGRectGetMaxX(how->frame()), y, W - 65, 35),
                         "淘宝【店铺名】搜索进入右上角分类,选择“金币充值卡,选择面值购买即可", 13);
  howText->setNumberOfLines(0);
  addSubview(howText);
  y += 35 + 5;

  auto warning = WalletStyle::label(CGRectMake(5, y, W - 10, 20),
                                    "重要提示:请认准Tovira手游唯一官方淘宝店,谨防上当受骗", 12);
  warning->setTextColor(WalletStyle::red());
  addSubview(warning);
  y += 20 + 5;

  auto buy = WalletStyle::button(CGRectMake((W - 100) / 2, y, 100, 30), "快速购卡通道",
                                 UIColor::whiteColor(), WalletStyle::green(), 13);
  buy->layer().setCornerRadius(3);
  buy->addTarget(self, WalletStyle::action(self, &JinBiView::buyCard), UIControlEventTouchUpInside);
  addSubview(buy);
  y += 30 + 5;

  auto band = UIView::create(CGRectMake(0, y, W, 10));
  band->setBackgroundColor(WalletStyle::lightGrey());
  addSubview(band);
  y += 10 + 10;

  auto redDot = UIImageView::create(CGRectMake(10, y + 5, 10, 10));
  redDot->setImage(UIImage::imageNamed("ktr_red_dot_mini.png"));
  addSubview(redDot);
  addSubview(WalletStyle::label(CGRectMake(23, y, 200, 20), "金币充值中心", 16));
  y += 20 + 5;

  // The card form; each field ends 10 points before the page's right edge.
  auto row = [&](const char* title) {
    auto label = WalletStyle::label(CGRectMake(5, y, 60, 20), title, 13);
    label->setTextColor(UIColor::grayColor());
    addSubview(label);
    auto field = UITextField::create(CGRectMake(65, y, W - 75, 20));
    field->layer().setBorderWidth(1);
    field->layer().setBorderColor(UIColor::grayColor());
    field->setFont(UIFont::systemFontOfSize(13));
    addSubview(field);
    y += 20 + 5;
    return field;
  };
  accText = row("Tovira账号:");
  accText->setText(TempData::getuserdata()["username"].str());
  auto clear = UIButton::buttonWithType(UIButtonTypeCustom);
  clear->setFrame(CGRectMake(accText->frame().size.width - 7 - 16, 2, 16, 16));
  clear->setImage(UIImage::imageNamed("ktr_qxzh_delete.png"));
  clear->addTarget(self, WalletStyle::action(self, &JinBiView::deleteText),
                   UIControlEventTouchUpInside);
  accText->addSubview(clear);
  cardText = row("充值卡号:");
  psdText = row("充值密码:");

  auto confirm = WalletStyle::button(CGRectMake((W - 100) / 2, y, 100, 30), "确认充值",
                                     UIColor::whiteColor(), WalletStyle::green(), 13);
  confirm->layer().setCornerRadius(3);
  confirm->addTarget(self, WalletStyle::action(self, &JinBiView::certainGiveM),
                     UIControlEventTouchUpInside);
  addSubview(confirm);
}

std::shared_ptr<UIView> JinBiView::createNum(const std::string& number) const {
  return WalletStyle::numberDot(number);
}

void JinBiView::copyName() {
  UIPasteboard::generalPasteboard()->setString(kShopName);
  WalletStyle::alert("提示", "店名已复制到剪切板", "知道了");
}

void JinBiView::buyCard() {
  if (auto d = delegate.lock()) d->jinbiCard();
}

void JinBiView::deleteText() { accText->setText(""); }

void JinBiView::certainGiveM() {
  auto keep = sharedSelf<JinBiView>();  // the delegate may present screens and drop views
  const std::string account = accText->text();
  const std::string card = cardText->text();
  const std::string password = psdText->text();
  bool sent = false;
  if (auto d = delegate.lock()) sent = d->querenChongzhi(account, card, password);
  // A form refused before sending keeps what was typed, so the player can complete it rather
  // than type the card again. Once the request went out the card's number and password are
  // cleared, whatever came back: they have gone to the server and must not be sent twice by
  // mistake.
  if (sent) {
    cardText->setText("");
    psdText->setText("");
  }
  accText->resignFirstResponder();
  cardText->resignFirstResponder();
  psdText->resignFirstResponder();
}
