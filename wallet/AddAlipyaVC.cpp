#include "wallet/AddAlipyaVC.h"

#include "core/ServerController.h"
#include "core/TempData.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(AddAlipyaVC, UIViewController)

namespace {
const char* const kCodeTitle = "获取验证码";

// Percent-escapes a value in UTF-8 for the request form. Every byte outside the unreserved set
// (and "@", common in accounts) is escaped, so that "&", "=" or "+" typed into a field travel as
// text instead of splitting the form.
std::string escaped(const std::string& text) { return NSString::percentEscape(text, "@"); }
}  // namespace

AddAlipyaVC::~AddAlipyaVC() {
  if (timer) timer->invalidate();
}

void AddAlipyaVC::viewDidLoad() {
  time = 60;
  view()->setBackgroundColor(WalletStyle::lightGrey());
  userDic_ = TempData::getuserdata();
  const CGRect screen = UIScreen::mainScreen()->bounds();
  tempDeveiceWidth_ = screen.size.width;
  tempDeveiceHeight_ = screen.size.height;
  initSubview();
}

void AddAlipyaVC::initSubview() {
  auto self = sharedSelf<AddAlipyaVC>();
  std::weak_ptr<AddAlipyaVC> weak = self;
  auto root = view();
  const double W = tempDeveiceWidth_;
  auto bar = WalletStyle::topBar(*root, "绑金提现", [weak] {
    if (auto page = weak.lock()) page->back();
  });
  topview = bar.view;
  backlabel = bar.backlabel;

  mainScroll = UIScrollView::create(CGRectMake(0, 66, W, tempDeveiceHeight_ - 66));
  root->addSubview(mainScroll);

  struct Row {
    const char* label;
    std::shared_ptr<UITextField>* field;
    const char* placeholder;
  };
  const Row rows[] = {{"支付宝账号", &zfb_accText, "填写正确的支付宝账号"},
                      {"确认账号", &confirmText, "确认支付宝账号"},
                      {"收款人姓名", &nameText, "收款人姓名"},
                      {"Tovira账号", &qx_accText, nullptr},
                      {"验证码", &codeText, "请输入手机验证码"}};
  const double rowWidth = W - 20;
  double y = 10;
  for (const Row& row : rows) {
    auto box = UIView::create(CGRectMake(10, y, rowWidth, 40));
    box->setBackgroundColor(WalletStyle::paleGrey());
    box->layer().setCornerRadius(5);
    mainScroll->addSubview(box);
    auto name = WalletStyle::label(CGRectMake(10, 0, 80, 40), row.label, 14);
    box->addSubview(name);
    const double fieldX = CGRectGetMaxX(name->frame()) + 10;
    const bool accountRow = row.field == &qx_accText;
    auto field =
        UITextField::create(CGRectMake(fieldX, 0, accountRow ? 100 : rowWidth - fieldX - 10, 40));
    field->setFont(UIFont::systemFontOfSize(14));
    if (row.placeholder) field->setPlaceholder(row.placeholder);
    box->addSubview(field);
    *row.field = field;
    if (accountRow) {
      field->setText(userDic_["username"].str());
      codeBtn = WalletStyle::button(CGRectMake(rowWidth - 80, 7.5, 70, 25), kCodeTitle,
                                    UIColor::whiteColor(), WalletStyle::brightRed(), 13);
      codeBtn->layer().setCornerRadius(5);
      codeBtn->addTarget(self, WalletStyle::action(self, &AddAlipyaVC::getCode),
                         UIControlEventTouchUpInside);
      box->addSubview(codeBtn);
    }
    y += 50;
  }

  auto bind = WalletStyle::button(CGRectMake(10, y, W - 20, 40), "绑定", UIColor::whiteColor(),
                                  WalletStyle::blue(), 14);
  bind->layer().setCornerRadius(3);
  bind->addTarget(self, WalletStyle::action(self, &AddAlipyaVC::bondAlipay),
                  UIControlEventTouchUpInside);
  mainScroll->addSubview(bind);
  y = CGRectGetMaxY(bind->frame()) + 10;

  auto icon = UIImageView::create(CGRectMake(10, y, 20, 20));
  icon->setImage(UIImage::imageNamed("ktr_alipay_tiph"));
  mainScroll->addSubview(icon);
  auto heading = WalletStyle::label(CGRectMake(35, y, W - 45, 20), "绑定需知", 14);
  heading->setTextColor(WalletStyle::brightRed());
  mainScroll->addSubview(heading);
  y += 25;
  for (const char* note : {"1.请仔细确认绑定的支付宝的正确性，以免绑定错误给您带来损失。",
                           "2.请确认您绑定的支付宝账号已经完成实名认证，否则将无法体现成功。"}) {
    auto text = WalletStyle::label(CGRectMake(10, y, W - 20, 40), note, 13);
    text->setNumberOfLines(0);
    mainScroll->addSubview(text);
    y += 40;
  }
  mainScroll->setContentSize(CGSizeMake(W, y + 10));
}

void AddAlipyaVC::getCode() {
  // The code goes to the logged-in user's mobile number; the account row is not read.
  const Value reply =
      ServerController::getAlipayTestCode(userDic_["username"].str(), userDic_["token"].str());
  // The network alert has told the player already; no second, empty "提示" after it.
  if (!reply) return;
  if (!reply["state"].isEqualToString("ok")) {
    WalletStyle::alert("提示", reply["msg"].str(), "确定");
    return;
  }
  stopCountdown();
  time = 60;
  codeBtn->setTitle(NSString::stringWithFormat("已发送(%i)", time));
  codeBtn->setUserInteractionEnabled(false);
  codeBtn->setAlpha(0.5);
  // The timer holds the form until the countdown ends, also when the form was closed before;
  // the end of the countdown invalidates it and so lets the form go.
  auto self = sharedSelf<AddAlipyaVC>();
  timer = NSTimer::scheduledTimerWithTimeInterval(
      1.0, [self](NSTimer&) { self->reduceTime(); }, true);
}

void AddAlipyaVC::reduceTime() {
  if (time < 2) {
    stopCountdown();
    return;
  }
  --time;
  codeBtn->setTitle(NSString::stringWithFormat("已发送(%i)", time));
}

void AddAlipyaVC::stopCountdown() {
  if (!timer) return;
  timer->invalidate();
  timer.reset();
  if (!codeBtn) return;
  codeBtn->setTitle(kCodeTitle);
  codeBtn->setAlpha(1.0);
  codeBtn->setUserInteractionEnabled(true);
}

void AddAlipyaVC::bondAlipay() {
  // A mistyped account would send the player's money elsewhere: both entries must agree.
  if (zfb_accText->text() != confirmText->text()) {
    WalletStyle::alert("提示", "两次输入的支付宝账号不一致", "确定");
    return;
  }
  const Value reply = ServerController::bondAlipay(
      escaped(userDic_["username"].str()), userDic_["token"].str(), escaped(zfb_accText->text()),
      escaped(nameText->text()), codeText->text());
  // The network alert has told the player already; no second, empty "提示" after it.
  if (!reply) return;
  if (reply["state"].isEqualToString("ok")) {
    dismissViewControllerAnimated(true);
  } else {
    WalletStyle::alert("提示", reply["msg"].str(), "确定");
  }
}

void AddAlipyaVC::back() { dismissViewControllerAnimated(true); }
