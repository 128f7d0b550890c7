#include "games/YaoQingJiangLiController.h"

#include "core/StrHelper.h"
#include "core/TempData.h"
#include "core/Time.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/TiXianVC.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(YaoQingJiangLiController, UIViewController)

namespace {

// The "%@" text of a summary value; a value the server left out reads 0, not "(null)".
std::string orZero(const Value& value) { return value.isNil() ? std::string("0") : value.str(); }

}  // namespace

void YaoQingJiangLiController::viewDidLoad() {
  UIViewController::viewDidLoad();
  tempDeveiceWidth_ = UIScreen::mainScreen()->bounds().size.width;
  data_ = TempData::getcontrollerdata();
  TempData::setcontrollerdata(Value());
  buildPage();
  showSummary();
  showFriends();
}

void YaoQingJiangLiController::buildPage() {
  auto self = sharedSelf<YaoQingJiangLiController>();
  std::weak_ptr<YaoQingJiangLiController> weak = self;
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double W = tempDeveiceWidth_;
  const double H = root->bounds().size.height;

  // The top bar stands right under the 20-point status bar.
  auto bar = WalletStyle::topBar(*root, "邀请奖励", [weak] {
    if (auto page = weak.lock()) page->back();
  });
  topview = bar.view;
  topbacklabel = bar.backlabel;

  bgView = UIView::create(CGRectMake(0, 66, W, 100));
  bgView->setBackgroundColor(UIColor::rgb(47, 128, 197));
  root->addSubview(bgView);
  leijiDesLabel = WalletStyle::label(CGRectMake(0, 15, W, 20), "累计奖励（绑定金币）", 14);
  leijiDesLabel->setTextAlignment(NSTextAlignmentCenter);
  leijiDesLabel->setTextColor(UIColor::whiteColor());
  bgView->addSubview(leijiDesLabel);

  yaoqinghaoyoucount = WalletStyle::label(CGRectMake(0, 166, W, 30), "", 15);
  yaoqinghaoyoucount->setTextAlignment(NSTextAlignmentCenter);
  root->addSubview(yaoqinghaoyoucount);

  const char* headings[] = {"好友账号", "注册时间", "奖励"};
  for (int i = 0; i < 3; ++i) {
    auto heading = WalletStyle::label(CGRectMake(W / 3 * i, 196, W / 3, 30), headings[i], 12);
    heading->setTextAlignment(NSTextAlignmentCenter);
    heading->setTextColor(UIColor::whiteColor());
    heading->setBackgroundColor(WalletStyle::green());
    root->addSubview(heading);
  }

  mainscroll = UIScrollView::create(CGRectMake(0, 226, W, H - 226 - 60));
  root->addSubview(mainscroll);

  goldTXBtn = WalletStyle::button(CGRectMake(20, H - 50, W - 40, 40), "绑金提现",
                                  UIColor::redColor(), nullptr, 15);
  goldTXBtn->layer().setCornerRadius(5);
  goldTXBtn->setClipsToBounds(true);
  goldTXBtn->layer().setBorderColor(UIColor::redColor());
  goldTXBtn->layer().setBorderWidth(1);
  goldTXBtn->addTarget(self, WalletStyle::action(self, &YaoQingJiangLiController::goldTX),
                       UIControlEventTouchUpInside);
  root->addSubview(goldTXBtn);
}

void YaoQingJiangLiController::showSummary() {
  const double W = tempDeveiceWidth_;
  // "您成功邀请好友" is 7 characters: the count and 人 after it are red.
  const std::string count = orZero(data_["count"]);
  yaoqinghaoyoucount->setAttributedText(
      WalletStyle::colored(NSString::stringWithFormat("您成功邀请好友%@人", count),
                           NSMakeRange(7, NSString::length(count) + 1), WalletStyle::red()));

  // The icon, a 10-point gap and the total stand centred as one group; the total is measured
  // in the font of the original design, whatever font the label then shows it in.
  const std::string total = NSString::stringWithFormat("%@个", orZero(data_["sum"]));
  const double w =
      TextMeasure::sizeOfText(total, UIFont::fontWithName("HelveticaNeue", 20), 300).width;
  const double y = CGRectGetMaxY(leijiDesLabel->frame()) + 10;
  auto icon = UIImageView::create(CGRectMake((W - w - 40) / 2, y, 30, 30));
  icon->setImage(UIImage::imageNamed("ktr_prize.png"));
  bgView->addSubview(icon);
  prizeIcon = icon;
  leijijianglilabel = UILabel::create(CGRectMake(CGRectGetMaxX(icon->frame()) + 10, y, w, 30));
  leijijianglilabel->setText(total);
  leijijianglilabel->setTextColor(UIColor::whiteColor());
  bgView->addSubview(leijijianglilabel);
}

void YaoQingJiangLiController::showFriends() {
  const double W = tempDeveiceWidth_;
  // Only an array of friends makes rows; anything else (null, a text, a dictionary) makes none.
  const Value& list = data_["list"];
  if (!list.isArray()) return;
  const auto& friends = list.arrayValue();
  for (size_t i = 0; i < friends.size(); ++i) {
    const Value& friendRow = friends[i];
    const double y = kRowHeight * static_cast<double>(i);
    const std::string texts[] = {
        StrHelper::getjiamiphonenum(friendRow["qx_username"].str()),
        Time::getDateFromTimestamp(friendRow["qx_regtime"].intValue(), "yyyy/MM/dd HH:mm:ss"),
        NSString::stringWithFormat("%@绑金", friendRow["qx_amount"])};
    for (int column = 0; column < 3; ++column) {
      auto label =
          WalletStyle::label(CGRectMake(W / 3 * column, y, W / 3, kRowHeight), texts[column], 10);
      label->setTextAlignment(NSTextAlignmentCenter);
      label->setNumberOfLines(0);
      if (column == 2) label->setTextColor(WalletStyle::red());
      if (i % 2 == 1) label->setBackgroundColor(WalletStyle::lightGrey());
      mainscroll->addSubview(label);
    }
  }
  mainscroll->setContentSize(
      CGSizeMake(W, kRowHeight + kRowHeight * static_cast<double>(friends.size())));
}

void YaoQingJiangLiController::back() { dismissViewControllerAnimated(true); }

void YaoQingJiangLiController::goldTX() { presentViewController(TiXianVC::create(), true); }
