#include "wallet/DuiHuanPTBView.h"

#include "core/ServerController.h"
#include "core/TempData.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/AccountDropList.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(DuiHuanPTBView, UIView)

void DuiHuanPTBView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  initSubview();
  loadgamelist();
}

std::shared_ptr<UIView> DuiHuanPTBView::createNum(const std::string& number) const {
  return WalletStyle::numberDot(number);
}

void DuiHuanPTBView::initSubview() {
  auto self = sharedSelf<DuiHuanPTBView>();
  const double W = frame().size.width;
  setBackgroundColor(UIColor::whiteColor());

  // Line 1: the balances, rewritten by the shop tab on every appearance.
  auto dot1 = createNum("1");
  dot1->setFrame(CGRectMake(5, 5, 20, 20));
  addSubview(dot1);
  label1 = WalletStyle::label(CGRectMake(30, 5, W - 35, 20), "", 13);
  label1->setAttributedText(balanceLine(TempData::getuserdata()));
  addSubview(label1);

  // Line 2: the rate.
  auto dot2 = createNum("2");
  dot2->setFrame(CGRectMake(5, CGRectGetMaxY(dot1->frame()) + 5, 20, 20));
  addSubview(dot2);
  auto rate = WalletStyle::label(CGRectMake(30, dot2->frame().origin.y, W - 35, 20), "", 13);
  rate->setAttributedText(WalletStyle::colored("兑换平台币比例为1:0.95(5%为支付渠道手续费)",
                                               NSMakeRange(8, 6), WalletStyle::red()));
  addSubview(rate);

  // Line 3: what platform currency is for, and how gold is earned.
  auto dot3 = createNum("3");
  dot3->setFrame(CGRectMake(5, CGRectGetMaxY(dot2->frame()) + 5, 20, 20));
  addSubview(dot3);
  const double y3 = dot3->frame().origin.y;
  auto use = WalletStyle::label(CGRectMake(30, y3, 160, 20), "平台币可充值本站任意游戏", 13);
  addSubview(use);
  auto howBtn = WalletStyle::button(CGRectMake(CGRectGetMaxX(use->frame()), y3, 80, 20),
                                    "怎样获得金币", WalletStyle::red(), nullptr, 13);
  auto underline = UIView::create(CGRectMake(0, 18, 80, 0.5));
  underline->setBackgroundColor(WalletStyle::red());
  underline->setUserInteractionEnabled(false);
  howBtn->addSubview(underline);
  howBtn->addTarget(self, WalletStyle::action(self, &DuiHuanPTBView::getJinBi),
                    UIControlEventTouchUpInside);
  addSubview(howBtn);

  // The two exchange entries.
  const double yButtons = CGRectGetMaxY(dot3->frame()) + 5;
  const double bw = (W - 40) / 2;
  auto goldBtn = WalletStyle::button(CGRectMake(15, yButtons, bw, 25), "用金币兑换",
                                     UIColor::whiteColor(), WalletStyle::green(), 13);
  goldBtn->layer().setCornerRadius(3);
  goldBtn->addTarget(self, WalletStyle::action(self, &DuiHuanPTBView::jinBiDuiHuan),
                     UIControlEventTouchUpInside);
  addSubview(goldBtn);
  auto boundBtn = WalletStyle::button(CGRectMake(15 + bw + 10, yButtons, bw, 25), "用绑定金币兑换",
                                      UIColor::whiteColor(), WalletStyle::green(), 13);
  boundBtn->layer().setCornerRadius(3);
  boundBtn->addTarget(self, WalletStyle::action(self, &DuiHuanPTBView::bangDinDuiHuan),
                      UIControlEventTouchUpInside);
  addSubview(boundBtn);

  auto band1 = UIView::create(CGRectMake(0, yButtons + 25 + 5, W, 10));
  band1->setBackgroundColor(WalletStyle::lightGrey());
  addSubview(band1);

  // The account picker and the balance query.
  const double yAccount = CGRectGetMaxY(band1->frame()) + 5;
  numTextField_ = UITextField::create(CGRectMake(5, yAccount, 150, 25));
  numTextField_->setBackgroundColor(UIColor::whiteColor());
  numTextField_->layer().setBorderWidth(1);
  numTextField_->layer().setBorderColor(WalletStyle::lightGrey());
  numTextField_->setFont(UIFont::systemFontOfSize(13));
  numTextField_->setPlaceholder("请选择游戏账号");
  numTextField_->setDelegate(self);
  addSubview(numTextField_);
  numBtn_ = UIButton::buttonWithType(UIButtonTypeCustom);
  numBtn_->setFrame(CGRectMake(CGRectGetMaxX(numTextField_->frame()), yAccount, 25, 25));
  numBtn_->setBackgroundImage(UIImage::imageNamed("ktr_bg_game_et.png"));
  numBtn_->addTarget(self, WalletStyle::action(self, &DuiHuanPTBView::addNum),
                     UIControlEventTouchUpInside);
  addSubview(numBtn_);
  auto queryBtn =
      WalletStyle::button(CGRectMake(CGRectGetMaxX(numBtn_->frame()) + 5, yAccount, W - 190, 25),
                          "平台币余额查询", UIColor::blackColor(), WalletStyle::lightGrey(), 13);
  queryBtn->layer().setCornerRadius(3);
  queryBtn->addTarget(self, WalletStyle::action(self, &DuiHuanPTBView::checkPingTaiBi),
                      UIControlEventTouchUpInside);
  addSubview(queryBtn);

  auto band2 = UIView::create(CGRectMake(0, yAccount + 25 + 5, W, 10));
  band2->setBackgroundColor(WalletStyle::lightGrey());
  addSubview(band2);

  // The two grid headings; the grids hang below them.
  const double bandBottom = CGRectGetMaxY(band2->frame());
  auto dotNew = UIImageView::create(CGRectMake(10, bandBottom + 10, 10, 10));
  dotNew->setImage(UIImage::imageNamed("ktr_red_dot_mini.png"));
  addSubview(dotNew);
  newLabel_ = WalletStyle::label(CGRectMake(23, bandBottom + 5, 200, 20), "最新入库", 16);
  addSubview(newLabel_);
  const double newBottom = CGRectGetMaxY(newLabel_->frame());
  auto dotHot = UIImageView::create(CGRectMake(10, newBottom + 125, 10, 10));
  dotHot->setImage(UIImage::imageNamed("ktr_red_dot_mini.png"));
  pointImgview2_ = dotHot;
  addSubview(dotHot);
  hotLabel_ = WalletStyle::label(CGRectMake(23, newBottom + 120, 200, 20), "热门推荐", 16);
  addSubview(hotLabel_);
}

std::shared_ptr<NSMutableAttributedString> DuiHuanPTBView::balanceLine(const Value& user) {
  const std::string gold = user["gold"] ? user["gold"].str() : "0.00";
  const std::string bound = user["bound_gold"] ? user["bound_gold"].str() : "0.00";
  const size_t goldLength = NSString::length(gold);
  return WalletStyle::colored(
      NSString::stringWithFormat("账号余额为：金币%@个，绑金%@个", gold, bound),
      NSMakeRange(8, goldLength), NSMakeRange(8 + goldLength + 4, NSString::length(bound)),
      WalletStyle::red());
}

void DuiHuanPTBView::loadgamelist() {
  viewHeight_ = 455;
  // The request keys are taken here, on the main thread, where UserData is read and replaced:
  // reading it from the worker raced with a login or re-login replacing it.
  // A JSON null reads as absent, as everywhere in the app: "(null)", not "<null>".
  const Value user = TempData::getuserdata();
  const Value& isSpecial = user["is_special"];
  const std::string special = isSpecial.isNil() ? "(null)" : isSpecial.description();
  Value newest = Value::dict({{"orderby", "qx_add_time"}, {"limit", "9"}, {"is_special", special}});
  Value hot = Value::dict({{"isRmd", "1"}, {"limit", "9"}, {"is_special", special}});
  std::weak_ptr<DuiHuanPTBView> weak = sharedSelf<DuiHuanPTBView>();
  dispatch_async_global([weak, newest, hot] {
    Value newestReply = ServerController::getGamelistWithParams(newest);
    dispatch_async_main([weak, newestReply] {
      if (auto page = weak.lock()) page->buildGrid(newestReply, page->newLabel_, false);
    });
    Value hotReply = ServerController::getGamelistWithParams(hot);
    dispatch_async_main([weak, hotReply] {
      if (auto page = weak.lock()) page->buildGrid(hotReply, page->hotLabel_, true);
    });
  });
}

void DuiHuanPTBView::buildGrid(const Value& reply, const std::shared_ptr<UILabel>& heading,
                               bool redFromOne) {
  if (!reply || !reply["state"].isEqualToString("ok") || reply["data"].count() == 0) return;
  auto self = sharedSelf<DuiHuanPTBView>();
  const double cw = (UIScreen::mainScreen()->bounds().size.width - 30) / 3;
  const double top = CGRectGetMaxY(heading->frame()) + 5;
  const Value& games = reply["data"];
  for (size_t i = 0; i < games.count(); ++i) {
    const Value& game = games[i];
    const size_t row = i / 3;
    const size_t column = i % 3;
    const double x = column == 0 ? 5 : column == 1 ? cw + 10 : 2 * cw + 15;
    auto cell = WalletStyle::label(CGRectMake(x, top + 40 * static_cast<double>(row), cw, 30),
                                   game["plat_gamename"].str(), 12);
    cell->setTextAlignment(NSTextAlignmentCenter);
    cell->layer().setBorderWidth(1);
    cell->layer().setBorderColor(UIColor::rgb(199, 199, 199));
    cell->setBackgroundColor(UIColor::rgb(245, 245, 245));
    const int isRed = game["is_red"].intValue();
    const bool red = redFromOne ? isRed >= 1 : isRed == 1;
    cell->setTextColor(red ? WalletStyle::red() : UIColor::rgb(104, 104, 104));
    const char* keys[] = {"plat_gamename", "plat_gameid", "pageurl"};
    for (long tag = 1; tag <= 3; ++tag) {
      auto hidden = UILabel::create();
      hidden->setText(game[keys[tag - 1]].str());
      hidden->setTag(tag);
      hidden->setHidden(true);
      cell->addSubview(hidden);
    }
    cell->setUserInteractionEnabled(true);
    std::weak_ptr<DuiHuanPTBView> weak = self;
    cell->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak](UIGestureRecognizer& g) {
      if (auto page = weak.lock()) page->gamelabelclick(g);
    }));
    addSubview(cell);
  }
}

void DuiHuanPTBView::getJinBi() {
  if (auto d = delegate.lock()) d->howGetJinBi();
}

void DuiHuanPTBView::jinBiDuiHuan() {
  if (auto d = delegate.lock()) d->useJinBiDuiHuan();
}

void DuiHuanPTBView::bangDinDuiHuan() {
  if (auto d = delegate.lock()) d->useBangDinDuiHuan();
}

void DuiHuanPTBView::gamelabelclick(UIGestureRecognizer& recognizer) {
  if (auto d = delegate.lock()) d->toGame(recognizer);
}

bool DuiHuanPTBView::textFieldShouldBeginEditing(UITextField&) {
  addNum();
  return false;
}

void DuiHuanPTBView::addNum() {
  if (TempData::getuserdata()["bondlist"].count() == 0) {
    WalletStyle::alert("您还没有绑定游戏账号", "请绑定游戏找好后查询", "确定");
  }
  numBtn_->setSelected(selected_);
  if (selected_) {
    setAccountView();
    selected_ = false;
  } else {
    numTextField_->endEditing(true);
    closeAccountList();
  }
}

void DuiHuanPTBView::setAccountView() {
  const Value user = TempData::getuserdata();
  if (!user) return;
  if (usernamedropscroll_) WalletStyle::removeLater(usernamedropscroll_);
  const CGRect field = numTextField_->frame();
  std::weak_ptr<DuiHuanPTBView> weak = sharedSelf<DuiHuanPTBView>();
  usernamedropscroll_ = AccountDropList::create(CGPointMake(field.origin.x, CGRectGetMaxY(field)),
                                                field.size.width + 25, user["bondlist"],
                                                [weak](UIGestureRecognizer& g) {
                                                  if (auto page = weak.lock())
                                                    page->usernameviewclick(g);
                                                });
  addSubview(usernamedropscroll_);
}

void DuiHuanPTBView::closeAccountList() {
  if (usernamedropscroll_) WalletStyle::removeLater(usernamedropscroll_);
  usernamedropscroll_.reset();
  selected_ = true;
}

void DuiHuanPTBView::usernameviewclick(UIGestureRecognizer& recognizer) {
  auto row = recognizer.view();
  numTextField_->setText(AccountDropList::rowAccount(row));
  yueplatid_ = AccountDropList::rowPlatId(row);
  hasPlatId_ = true;
  closeAccountList();
}

void DuiHuanPTBView::checkPingTaiBi() {
  const Value user = TempData::getuserdata();
  if (!user) {
    if (auto d = delegate.lock()) d->goToLogin();
  } else if (!hasPlatId_) {
    WalletStyle::alert("您还没有选择游戏账号", "请选择游戏账号后进行查询", "确定");
  } else {
    const Value reply = ServerController::getPingTaiBiYuEWithQxusername(
        user["username"].str(), user["token"].str(), numTextField_->text(), yueplatid_);
    if (reply["state"].isEqualToString("ok")) {
      WalletStyle::alert("平台币余额查询成功",
                         NSString::stringWithFormat("您的平台币余额是%@元", reply["data"]["ptb"]),
                         "确定");
    }
  }
  closeAccountList();
}
