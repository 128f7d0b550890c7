#include "games/LibaoRecordController.h"

#include "account/LoginViewController.h"
#include "core/ImageCache.h"
#include "core/ServerController.h"
#include "core/TempData.h"
#include "core/Time.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIActivityIndicatorView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(LibaoRecordController, UIViewController)

namespace {
constexpr double kRowPitch = 80;

std::string textOf(const Value& value) {
  return value.isString() || value.isNumber() ? value.str() : "";
}
}  // namespace

void LibaoRecordController::viewDidLoad() {
  tempDeveiceWidth_ = UIScreen::mainScreen()->bounds().size.width;
  initSubview();
  mainscroll_->setContentSize(CGSizeMake(0, 0));
  mainscroll_->setDelegate(sharedSelf<LibaoRecordController>());
  loadmainscroll();
}

void LibaoRecordController::initSubview() {
  auto self = sharedSelf<LibaoRecordController>();
  std::weak_ptr<LibaoRecordController> weak = self;
  auto root = view();
  const double W = root->frame().size.width;
  const double H = root->frame().size.height;
  root->setBackgroundColor(WalletStyle::lightGrey());

  auto top = GiftLists::titleBar(self, W, "领取记录", [weak] {
    if (auto screen = weak.lock()) screen->back();
  });
  topview_ = top.view;
  topbacklabel_ = top.backLabel;
  root->addSubview(topview_);

  mainscroll_ = UIScrollView::create(CGRectMake(5, 71, W - 10, H - 71));
  mainscroll_->setBackgroundColor(UIColor::clearColor());
  mainscroll_->setShowsHorizontalScrollIndicator(false);
  root->addSubview(mainscroll_);

  mask_ = GiftLists::makeMask(CGRectMake(0, 0, W, H));
  root->addSubview(mask_);
  waitview_ = GiftLists::makeSpinner(W, H);
  root->addSubview(waitview_);
}

void LibaoRecordController::loadmainscroll() {
  const Value user = TempData::getuserdata();
  if (!user) {
    tologin();
    return;
  }
  const auto ticket = pager_.begin();
  if (!ticket) return;  // a page is on its way; its arrival lets the next one go
  const std::string username = user["username"].str();
  const std::string token = user["token"].str();
  std::weak_ptr<LibaoRecordController> weak = sharedSelf<LibaoRecordController>();
  dispatch_async_global([weak, ticket = *ticket, username, token] {
    Value reply = ServerController::getLibaoRecordWithPage(ticket.page, username, token);
    dispatch_async_main([weak, ticket, reply] {
      if (auto screen = weak.lock()) screen->appendPage(ticket, reply);
    });
  });
}

void LibaoRecordController::appendPage(const GiftPager::Ticket& ticket, const Value& reply) {
  const auto items = GiftLists::pageItems(reply);
  if (!pager_.finish(ticket, items.has_value()) || !items || items->empty()) return;
  const double top = mainscroll_->contentSize().height;
  for (size_t i = 0; i < items->size(); ++i)
    mainscroll_->addSubview(makeRow((*items)[i], top + kRowPitch * static_cast<double>(i)));
  mainscroll_->setContentSize(CGSizeMake(0, top + kRowPitch * static_cast<double>(items->size())));
}

std::shared_ptr<UIView> LibaoRecordController::makeRow(const Value& item, double y) {
  auto self = sharedSelf<LibaoRecordController>();
  std::weak_ptr<LibaoRecordController> weak = self;
  auto row = UIView::create(CGRectMake(0, y, tempDeveiceWidth_ - 10, 76));
  row->setBackgroundColor(UIColor::whiteColor());
  row->layer().setCornerRadius(5);

  auto icon = UIImageView::create(CGRectMake(10, 10, 56, 56));
  row->addSubview(icon);
  ImageCache::loadImage(icon, textOf(item["gameicon"]));

  const std::string title = NSString::stringWithFormat("%@%@", item["gamename"], item["cardname"]);
  row->addSubview(
      WalletStyle::label(CGRectMake(71, 10, TextMeasure::widthOfText(title, 12), 16), title, 12));

  // The time stamp is read as a 32-bit number of seconds, as the server's records hold it.
  const auto seconds = static_cast<int32_t>(item["qx_addtime"].intValue());
  const std::string when = NSString::stringWithFormat(
      "领取时间:%@", Time::getDateFromTimestamp(seconds, "yyyy年MM月dd日"));
  auto whenLabel =
      WalletStyle::label(CGRectMake(71, 26, TextMeasure::widthOfText(when, 12), 16), when, 12);
  whenLabel->setAttributedText(
      WalletStyle::colored(when, NSMakeRange(5, NSString::length(when) - 5), WalletStyle::red()));
  row->addSubview(whenLabel);

  const std::string code = textOf(item["qx_card"]);
  auto codeLabel = WalletStyle::label(CGRectMake(71, 42, 150, 20), code, 12);
  codeLabel->setTextColor(UIColor::whiteColor());
  codeLabel->setTextAlignment(NSTextAlignmentCenter);
  codeLabel->setBackgroundColor(UIColor::rgb(194, 194, 194));
  row->addSubview(codeLabel);

  auto copy = WalletStyle::button(CGRectMake(221, 42, 50, 20), "复制", UIColor::whiteColor(),
                                  UIColor::rgb(69, 165, 49), 12);
  copy->addSubview(GiftLists::hiddenValue(code, 1));
  copy->addTarget(
      self,
      [weak](UIControl& sender) {
        if (auto screen = weak.lock()) screen->libaocopybtnclick(sender);
      },
      UIControlEventTouchUpInside);
  row->addSubview(copy);
  return row;
}

void LibaoRecordController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
  if (GiftLists::nearEnd(scrollView)) loadmainscroll();
}

void LibaoRecordController::libaocopybtnclick(UIView& sender) {
  const std::string code = GiftLists::childText(sender, 1);
  UIPasteboard::generalPasteboard()->setString(code);
  WalletStyle::alert("复制成功", NSString::stringWithFormat("兑换码(%@)已复制到您的剪贴板", code),
                     "确定");
}

void LibaoRecordController::tologin() {
  presentViewController(LoginViewController::create(), true);
}

void LibaoRecordController::back() { dismissViewControllerAnimated(true); }
