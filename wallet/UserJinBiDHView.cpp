#include "wallet/UserJinBiDHView.h"

#include "core/TempData.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/AccountDropList.h"
#include "wallet/ExchangeAmount.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(UserJinBiDHView, UIView)

void UserJinBiDHView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  // The account list hangs below the popup.
  setClipsToBounds(false);
  auto self = sharedSelf<UserJinBiDHView>();
  const double W = frame.size.width;
  setBackgroundColor(UIColor::whiteColor());

  titleLabel = UILabel::create(CGRectMake(0, 0, W, 30));
  titleLabel->setTextAlignment(NSTextAlignmentCenter);
  titleLabel->setTextColor(UIColor::whiteColor());
  titleLabel->setBackgroundColor(WalletStyle::green());
  addSubview(titleLabel);

  auto amountLabel = WalletStyle::label(CGRectMake(5, 40, 100, 20), "请输入金币数量", 14);
  addSubview(amountLabel);
  numTextField = UITextField::create(CGRectMake(CGRectGetMaxX(amountLabel->frame()), 40, 50, 20));
  numTextField->layer().setBorderWidth(1);
  numTextField->layer().setBorderColor(WalletStyle::lightGrey());
  numTextField->layer().setCornerRadius(3);
  numTextField->setTextAlignment(NSTextAlignmentCenter);
  numTextField->setFont(UIFont::systemFontOfSize(14));
  numTextField->setKeyboardType(UIKeyboardTypeNumberPad);
  numTextField->setDelegate(self);
  addSubview(numTextField);
  desLabel =
      WalletStyle::label(CGRectMake(CGRectGetMaxX(numTextField->frame()) + 1, 40, 70, 20), "", 14);
  addSubview(desLabel);

  auto accountLabel = WalletStyle::label(CGRectMake(5, 70, 100, 20), "平台币接受账号", 14);
  addSubview(accountLabel);
  accTextField_ =
      UITextField::create(CGRectMake(CGRectGetMaxX(accountLabel->frame()) + 5, 70, W - 135, 20));
  accTextField_->layer().setBorderWidth(1);
  accTextField_->layer().setBorderColor(WalletStyle::lightGrey());
  accTextField_->setFont(UIFont::systemFontOfSize(14));
  accTextField_->setPlaceholder("请选择游戏账号");
  accTextField_->setDelegate(self);
  addSubview(accTextField_);
  accBtn_ = UIButton::buttonWithType(UIButtonTypeCustom);
  accBtn_->setFrame(CGRectMake(CGRectGetMaxX(accTextField_->frame()), 70, 20, 20));
  accBtn_->setBackgroundImage(UIImage::imageNamed("ktr_bg_game_et.png"));
  accBtn_->addTarget(self, WalletStyle::action(self, &UserJinBiDHView::addNum),
                     UIControlEventTouchUpInside);
  addSubview(accBtn_);

  duihuanLabel = WalletStyle::label(CGRectMake(0, 100, W, 20), "", 14);
  duihuanLabel->setTextAlignment(NSTextAlignmentCenter);
  addSubview(duihuanLabel);

  auto ok = WalletStyle::button(CGRectMake(50, 130, 80, 30), "兑换", UIColor::whiteColor(),
                                WalletStyle::green(), 14);
  ok->addTarget(self, WalletStyle::action(self, &UserJinBiDHView::duihuan),
                UIControlEventTouchUpInside);
  addSubview(ok);
  auto no = WalletStyle::button(CGRectMake(W - 130, 130, 80, 30), "取消", UIColor::whiteColor(),
                                UIColor::grayColor(), 14);
  no->addTarget(self, WalletStyle::action(self, &UserJinBiDHView::cancel),
                UIControlEventTouchUpInside);
  addSubview(no);
}

void UserJinBiDHView::duihuan() {
  if (auto d = delegate.lock())
    d->useJinBiDHViewDuiHuan(accTextField_->text(), numTextField->text(), yueplatid_);
}

void UserJinBiDHView::cancel() {
  if (auto d = delegate.lock()) d->useJinBiDHViewCancel();
}

void UserJinBiDHView::writePreview(UILabel& label, const std::string& amountText) {
  const std::string number = ExchangeAmount::platformCoinText(ExchangeAmount::coins(amountText));
  label.setAttributedText(
      WalletStyle::colored(NSString::stringWithFormat("本次可兑换%@平台币", number),
                           NSMakeRange(5, NSString::length(number)), WalletStyle::red()));
}

void UserJinBiDHView::listenGoldNum() { writePreview(*duihuanLabel, numTextField->text()); }

bool UserJinBiDHView::textFieldShouldBeginEditing(UITextField& field) {
  if (&field == accTextField_.get()) {
    addNum();
    return false;
  }
  return true;
}

void UserJinBiDHView::textFieldDidEndEditing(UITextField& field) {
  if (&field == numTextField.get()) listenGoldNum();
}

bool UserJinBiDHView::pointInside(CGPoint point, const UIEvent* event) const {
  if (usernamedropscroll_ && usernamedropscroll_->superview().get() == this &&
      CGRectContainsPoint(usernamedropscroll_->frame(), point)) {
    return true;
  }
  return UIView::pointInside(point, event);
}

void UserJinBiDHView::addNum() {
  if (TempData::getuserdata()["bondlist"].count() == 0) {
    WalletStyle::alert("您还没有绑定游戏账号", "请绑定游戏找好后查询", "确定");
  }
  accBtn_->setSelected(selected_);
  if (selected_) {
    setAccountView();
    selected_ = false;
  } else {
    closeAccountList();
  }
}

void UserJinBiDHView::setAccountView() {
  const Value user = TempData::getuserdata();
  if (!user) return;
  if (usernamedropscroll_) WalletStyle::removeLater(usernamedropscroll_);
  const CGRect field = accTextField_->frame();
  std::weak_ptr<UserJinBiDHView> weak = sharedSelf<UserJinBiDHView>();
  usernamedropscroll_ = AccountDropList::create(CGPointMake(field.origin.x, CGRectGetMaxY(field)),
                                                field.size.width + 20, user["bondlist"],
                                                [weak](UIGestureRecognizer& g) {
                                                  if (auto popup = weak.lock())
                                                    popup->usernameviewclick(g);
                                                });
  addSubview(usernamedropscroll_);
}

// Closing by the drop-down button also marks the list closed. Only removing the list left it
// marked open, so every later press "closed" it again and the picker could not be opened any more
// in that popup.
void UserJinBiDHView::closeAccountList() {
  if (usernamedropscroll_) WalletStyle::removeLater(usernamedropscroll_);
  usernamedropscroll_.reset();
  selected_ = true;
}

void UserJinBiDHView::usernameviewclick(UIGestureRecognizer& recognizer) {
  auto row = recognizer.view();
  accTextField_->setText(AccountDropList::rowAccount(row));
  yueplatid_ = AccountDropList::rowPlatId(row);
  closeAccountList();
}
