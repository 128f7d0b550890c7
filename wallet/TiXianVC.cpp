#include "wallet/TiXianVC.h"

#include <array>
#include <mutex>
#include <random>

#include "core/ServerController.h"
#include "core/TempData.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/AddAlipyaVC.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(TiXianVC, UIViewController)

namespace {
// The amount buttons by tag: 101 to 106.
const std::array<const char*, 6> kAmounts = {"100", "300", "500", "1000", "3000", "5000"};
constexpr long kFirstTag = 101;
const char* const kAmountFormat = "您申请提现的绑金数量为%@，可获得现金%@";
}  // namespace

std::string TiXianVC::moneyFor(const std::string& amount) {
  return NSString::stringWithFormat("%.f", Value(amount).intValue() * 0.4);
}

std::string TiXianVC::generateTradeNO() {
  static const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static std::mutex mutex;
  static std::mt19937_64 generator = [] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    return std::mt19937_64(seed);
  }();
  std::uniform_int_distribution<int> pick(0, 35);
  std::lock_guard lock(mutex);
  std::string number;
  for (int i = 0; i < 15; ++i) number += kAlphabet[pick(generator)];
  return number;
}

void TiXianVC::viewDidLoad() {
  userDic_ = TempData::getuserdata();
  const CGRect screen = UIScreen::mainScreen()->bounds();
  tempDeveiceWidth_ = screen.size.width;
  tempDeveiceHeight_ = screen.size.height;
  initSubview();
}

void TiXianVC::initSubview() {
  std::weak_ptr<TiXianVC> weak = sharedSelf<TiXianVC>();
  auto root = view();
  root->setBackgroundColor(WalletStyle::lightGrey());
  auto bar = WalletStyle::topBar(*root, "绑金提现", [weak] {
    if (auto page = weak.lock()) page->back();
  });
  topview = bar.view;
  backlabel = bar.backlabel;
  mainScroll = UIScrollView::create(CGRectMake(0, 66, tempDeveiceWidth_, tempDeveiceHeight_ - 66));
  root->addSubview(mainScroll);
  addBackView1();
  addBackView3();
  addBackView4();
}

void TiXianVC::addBackView1() {
  auto self = sharedSelf<TiXianVC>();
  const double W = tempDeveiceWidth_;
  backView1 = UIView::create(CGRectMake(0, 0, W, 40));
  backView1->setBackgroundColor(WalletStyle::bandGrey());
  mainScroll->addSubview(backView1);
  backView1->addSubview(WalletStyle::label(CGRectMake(10, 0, 100, 40), "收款信息", 14));
  auto notice = WalletStyle::button(CGRectMake(W - 110, 0, 100, 40), "提现需知",
                                    WalletStyle::blue(), nullptr, 14);
  notice->setTitleEdgeInsets(UIEdgeInsetsMake(0, 30, 0, 0));
  auto icon = UIImageView::create(CGRectMake(0, 10, 20, 20));
  icon->setImage(UIImage::imageNamed("ktr_alipay_tipl"));
  notice->addSubview(icon);
  notice->addTarget(self, WalletStyle::action(self, &TiXianVC::needKnow),
                    UIControlEventTouchUpInside);
  backView1->addSubview(notice);
}

void TiXianVC::replaceBackView2(const std::shared_ptr<UIView>& band) {
  if (backView2) backView2->removeFromSuperview();
  backView2 = band;
  band->setBackgroundColor(WalletStyle::paleGrey());
  mainScroll->addSubview(band);
}

void TiXianVC::addBackView2() {
  auto self = sharedSelf<TiXianVC>();
  const double W = tempDeveiceWidth_;
  replaceBackView2(UIView::create(CGRectMake(0, 40, W, 80)));
  auto add = WalletStyle::button(CGRectMake(20, 10, W - 40, 60), "添加支付宝账号",
                                 WalletStyle::blue(), nullptr, 15);
  add->setTitleEdgeInsets(UIEdgeInsetsMake(0, 30, 0, 0));
  add->layer().setBorderWidth(1);
  add->layer().setBorderColor(WalletStyle::lightGrey());
  add->layer().setLineDashPattern({4, 2});
  add->layer().setCornerRadius(5);
  auto icon = UIImageView::create(CGRectMake(70, 20, 20, 20));
  icon->setImage(UIImage::imageNamed("ktr_alipay_+"));
  add->addSubview(icon);
  add->addTarget(self, WalletStyle::action(self, &TiXianVC::addZFB), UIControlEventTouchUpInside);
  backView2->addSubview(add);
}

void TiXianVC::addBackView2_2(const Value& data) {
  const double W = tempDeveiceWidth_;
  replaceBackView2(UIView::create(CGRectMake(0, 40, W, 80)));
  backView2->addSubview(
      WalletStyle::label(CGRectMake(10, 0, W - 20, 40),
                         NSString::stringWithFormat("支付宝账号  %@", data["alipay_account"]), 15));
  auto line = UIView::create(CGRectMake(0, 40, W, 0.5));
  line->setBackgroundColor(WalletStyle::lightGrey());
  backView2->addSubview(line);
  backView2->addSubview(
      WalletStyle::label(CGRectMake(10, 40, W - 20, 40),
                         NSString::stringWithFormat("收款人姓名  %@", data["alipay_name"]), 15));
}

void TiXianVC::addBackView3() {
  const double W = tempDeveiceWidth_;
  backView3 = UIView::create(CGRectMake(0, 120, W, 40));
  backView3->setBackgroundColor(WalletStyle::bandGrey());
  mainScroll->addSubview(backView3);
  backView3->addSubview(WalletStyle::label(CGRectMake(10, 0, 150, 40), "选择提现绑金数量", 14));
  const std::string value = NSString::stringWithFormat("%@绑金", userDic_["bound_gold"]);
  const std::string text = NSString::stringWithFormat("当前数量：%@", value);
  auto count = WalletStyle::label(CGRectMake(W / 2, 0, W / 2 - 10, 40), text, 14);
  count->setTextAlignment(NSTextAlignmentRight);
  count->setAttributedText(
      WalletStyle::colored(text, NSMakeRange(5, NSString::length(text) - 5), WalletStyle::blue()));
  backView3->addSubview(count);
}

void TiXianVC::paint(UIButton& button, bool selected) const {
  button.setTitleColor(selected ? UIColor::whiteColor() : UIColor::blackColor());
  button.setBackgroundColor(selected ? WalletStyle::brightRed() : WalletStyle::bandGrey());
}

void TiXianVC::addBackView4() {
  auto self = sharedSelf<TiXianVC>();
  const double W = tempDeveiceWidth_;
  const double top = 160;
  backView4 = UIView::create(CGRectMake(0, top, W, mainScroll->frame().size.height - top));
  backView4->setBackgroundColor(WalletStyle::paleGrey());
  mainScroll->addSubview(backView4);

  const double width = (W - 70) / 4;
  std::shared_ptr<UIButton>* buttons[] = {&btn1, &btn2, &btn3, &btn4, &btn5, &btn6};
  for (size_t i = 0; i < kAmounts.size(); ++i) {
    const double x = 20 + static_cast<double>(i % 4) * (width + 10);
    const double y = i < 4 ? 10 : 50;
    auto button = WalletStyle::button(CGRectMake(x, y, width, 30), kAmounts[i],
                                      UIColor::blackColor(), nullptr, 13);
    button->setTag(kFirstTag + static_cast<long>(i));
    button->layer().setCornerRadius(5);
    paint(*button, i == 0);
    std::weak_ptr<TiXianVC> weak = self;
    button->addTarget(
        self,
        [weak](UIButton& sender) {
          if (auto page = weak.lock()) page->btnClick(sender);
        },
        UIControlEventTouchUpInside);
    backView4->addSubview(button);
    *buttons[i] = button;
  }

  auto line = UIView::create(CGRectMake(20, 90, W - 40, 0.5));
  line->setBackgroundColor(WalletStyle::lightGrey());
  backView4->addSubview(line);

  getLabel =
      WalletStyle::label(CGRectMake(20, CGRectGetMaxY(line->frame()) + 10, W - 40, 20),
                         NSString::stringWithFormat(kAmountFormat, amount, moneyFor(amount)), 13);
  getLabel->setAdjustsFontSizeToFitWidth(true);
  backView4->addSubview(getLabel);

  auto note = WalletStyle::label(CGRectMake(20, CGRectGetMaxY(getLabel->frame()) + 20, W - 40, 20),
                                 "注：提交申请两个工作日内转至支付宝账号！", 13);
  note->setTextColor(WalletStyle::brightRed());
  backView4->addSubview(note);

  auto apply = WalletStyle::button(CGRectMake(20, CGRectGetMaxY(note->frame()) + 10, W - 40, 30),
                                   "申请提现", UIColor::whiteColor(), WalletStyle::blue(), 14);
  apply->layer().setCornerRadius(3);
  apply->addTarget(self, WalletStyle::action(self, &TiXianVC::applyTX),
                   UIControlEventTouchUpInside);
  backView4->addSubview(apply);
}

void TiXianVC::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  alipayDic = ServerController::getZFBInfo(userDic_["username"].str(), userDic_["token"].str());
  // Without a reply the network alert has told the player already; an empty "提示" after it
  // would only look like a second, blank failure. Band 2 stays as it was.
  if (!alipayDic) return;
  if (!alipayDic["state"].isEqualToString("ok")) {
    WalletStyle::alert("提示", alipayDic["msg"].str(), "确定");
    return;
  }
  // Only a dictionary names an account. Any other "data" that is not null counts as no account
  // bound, which mends a crash: reading the account's keys from it sends it a message it does
  // not know.
  const Value data = alipayDic["data"];
  if (data.isDict()) {
    addBackView2_2(data);
  } else {
    addBackView2();
  }
}

void TiXianVC::btnClick(UIButton& sender) {
  const long index = sender.tag() - kFirstTag;
  if (index < 0 || index >= static_cast<long>(kAmounts.size())) return;
  amount = kAmounts[static_cast<size_t>(index)];
  for (const auto& button : {btn1, btn2, btn3, btn4, btn5, btn6}) {
    if (button) paint(*button, button.get() == &sender);
  }
  const std::string money = moneyFor(amount);
  const std::string text = NSString::stringWithFormat(kAmountFormat, amount, money);
  const size_t amountLength = NSString::length(amount);
  getLabel->setAttributedText(WalletStyle::colored(
      text, NSMakeRange(11, amountLength), NSMakeRange(17 + amountLength, NSString::length(money)),
      WalletStyle::brightRed()));
}

void TiXianVC::applyTX() {
  const std::string orderid = generateTradeNO();
  const Value reply = ServerController::withdraw(userDic_["username"].str(),
                                                 userDic_["token"].str(), amount, orderid);
  // The network alert has told the player already; no second, empty "提示" after it.
  if (!reply) return;
  if (reply["state"].isEqualToString("ok")) {
    WalletStyle::alert("提示", "申请成功，提交申请后两个工作日内转至支付宝账号", "确定");
  } else {
    WalletStyle::alert("提示", reply["msg"].str(), "确定");
  }
}

void TiXianVC::needKnow() {
  const CGSize size = view()->bounds().size;
  mask = UIView::create(view()->bounds());
  mask->setBackgroundColor(UIColor::blackColor());
  mask->setAlpha(0.5);
  view()->addSubview(mask);
  const double sw = tempDeveiceWidth_ > 0 ? tempDeveiceWidth_ : size.width;
  const double sh = tempDeveiceHeight_ > 0 ? tempDeveiceHeight_ : size.height;
  needKnowView = UIView::make<NeedKnowView>(CGRectMake((sw - 280) / 2, (sh - 250) / 2, 280, 250));
  needKnowView->delegate = std::static_pointer_cast<NeedKnowViewDelegate>(sharedSelf<TiXianVC>());
  view()->addSubview(needKnowView);
}

void TiXianVC::hideNeedKnowView() {
  // Called from the popup's own button: let it outlive the handler that is running.
  WalletStyle::removeLater(mask);
  WalletStyle::removeLater(needKnowView);
  mask.reset();
  needKnowView.reset();
}

void TiXianVC::addZFB() { presentViewController(AddAlipyaVC::create(), true); }

void TiXianVC::back() { dismissViewControllerAnimated(true); }
