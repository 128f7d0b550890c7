#include "games/LibaoDuihuanController.h"

#include <algorithm>
#include <cmath>

#include "account/LoginViewController.h"
#include "core/ImageCache.h"
#include "core/ServerController.h"
#include "core/TempData.h"
#include "core/UserHelper.h"
#include "games/LibaoRecordController.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIActivityIndicatorView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(LibaoDuihuanController, UIViewController)

namespace {

constexpr long kRowTag = 8;
constexpr double kRowPitch = 80;

std::shared_ptr<UIColor> stockGreen() { return UIColor::rgb(69, 165, 49); }

// A label of the system font whose width is that of its text on one line.
std::shared_ptr<UILabel> fittedLabel(double x, double y, double height, const std::string& text,
                                     double fontSize) {
  return WalletStyle::label(CGRectMake(x, y, TextMeasure::widthOfText(text, fontSize), height),
                            text, fontSize);
}

// The text of a reply value as a label shows it; absent, null and containers show nothing.
std::string textOf(const Value& value) {
  return value.isString() || value.isNumber() ? value.str() : "";
}

}  // namespace

// ---- Set-up --------------------------------------------------------------------------------

void LibaoDuihuanController::viewDidLoad() {
  tempDeveiceWidth_ = UIScreen::mainScreen()->bounds().size.width;
  initSubview();

  // The presenter's name first; a hand-over's name wins over it.
  libaolistparams_ = Value::dict({{"qx_cardtype", "2"}});
  if (gamename_) {
    libaolistparams_.set("kw", GiftLists::escapedName(*gamename_));
    searchgame_->setText(*gamename_);
  }
  data_ = TempData::getcontrollerdata();
  TempData::setcontrollerdata(Value());
  // A home slide may hand over extras of another shape: without "gamename" they choose nothing.
  if (data_.contains("gamename")) {
    const std::string name = textOf(data_["gamename"]);
    libaolistparams_.set("kw", GiftLists::escapedName(name));
    searchgame_->setText(name);
  }
  GiftLists::syncPrompt(*searchgame_, *searchgamelabel_);

  mainscroll_->setContentSize(CGSizeMake(0, 0));
  mainscroll_->setDelegate(sharedSelf<LibaoDuihuanController>());
  loadmainscroll();
}

void LibaoDuihuanController::initSubview() {
  auto self = sharedSelf<LibaoDuihuanController>();
  std::weak_ptr<LibaoDuihuanController> weak = self;
  auto root = view();
  const double W = root->frame().size.width;
  const double H = root->frame().size.height;
  root->setBackgroundColor(WalletStyle::lightGrey());
  root->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto screen = weak.lock()) screen->tapGestureRecognizer();
  }));

  // The title bar, under the status bar.
  auto top = GiftLists::titleBar(self, W, "礼包兑换", [weak] {
    if (auto screen = weak.lock()) screen->back();
  });
  topview_ = top.view;
  topbacklabel_ = top.backLabel;
  root->addSubview(topview_);
  howgetgoldlabel_ = WalletStyle::label(CGRectMake(W - 100, 13, 90, 20), "怎样获得金币", 14);
  howgetgoldlabel_->setTextColor(UIColor::whiteColor());
  howgetgoldlabel_->setTextAlignment(NSTextAlignmentRight);
  howgetgoldlabel_->setUserInteractionEnabled(true);
  howgetgoldlabel_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto screen = weak.lock()) screen->howgetgoldlabelclick();
  }));
  topview_->addSubview(howgetgoldlabel_);

  // The search row: field with its prompt, search button, record button.
  auto search = GiftLists::searchRow(self, *root, W);
  searchgame_ = search.field;
  searchgamelabel_ = search.prompt;
  searchbtn_ = search.searchButton;
  lingqujilubtn_ = search.recordButton;
  searchgame_->setBackgroundColor(UIColor::whiteColor());
  searchgame_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self));
  searchbtn_->addTarget(self,
                        WalletStyle::action(self, &LibaoDuihuanController::searchgamebtnclick),
                        UIControlEventTouchUpInside);
  lingqujilubtn_->addTarget(self,
                            WalletStyle::action(self, &LibaoDuihuanController::libaorecordbtnclick),
                            UIControlEventTouchUpInside);

  // The list, rows 5 points in from either side.
  mainscroll_ = UIScrollView::create(CGRectMake(5, 106, W - 10, H - 106));
  mainscroll_->setBackgroundColor(UIColor::clearColor());
  mainscroll_->setShowsHorizontalScrollIndicator(false);
  root->addSubview(mainscroll_);

  mask_ = GiftLists::makeMask(CGRectMake(0, 0, W, H));
  mask_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto screen = weak.lock()) screen->maskclick();
  }));
  root->addSubview(mask_);
  buildPopups();
  waitview_ = GiftLists::makeSpinner(W, H);
  root->addSubview(waitview_);
}

void LibaoDuihuanController::buildPopups() {
  auto self = sharedSelf<LibaoDuihuanController>();
  auto root = view();
  const CGSize m = mask_->frame().size;
  auto centred = [&](double w, double h) {
    return CGRectMake((m.width - w) / 2, (m.height - h) / 2, w, h);
  };
  auto band = [](UIView& popup, const std::string& text) {
    auto label = WalletStyle::label(CGRectMake(0, 0, popup.frame().size.width, 30), text, 16);
    label->setTextAlignment(NSTextAlignmentCenter);
    label->setTextColor(UIColor::whiteColor());
    label->setBackgroundColor(WalletStyle::green());
    popup.addSubview(label);
  };
  auto popupButton = [&](CGRect frame, const std::string& title,
                         void (LibaoDuihuanController::*method)()) {
    auto button =
        WalletStyle::button(frame, title, UIColor::whiteColor(), WalletStyle::green(), 14);
    button->layer().setCornerRadius(3);
    button->addTarget(self, WalletStyle::action(self, method), UIControlEventTouchUpInside);
    return button;
  };

  // The detail popup.
  libaoxiangqingview_ = UIView::create(centred(280, 210));
  libaoxiangqingview_->setBackgroundColor(UIColor::whiteColor());
  band(*libaoxiangqingview_, "礼包详情");
  libaoneironglabel_ = WalletStyle::label(CGRectMake(10, 40, 260, 60), "", 14);
  libaoneironglabel_->setNumberOfLines(0);
  libaoxiangqingview_->addSubview(libaoneironglabel_);
  shiyongfangfalabel_ = WalletStyle::label(CGRectMake(10, 105, 260, 60), "", 14);
  shiyongfangfalabel_->setNumberOfLines(0);
  libaoxiangqingview_->addSubview(shiyongfangfalabel_);
  libaoxiangqingview_->addSubview(popupButton(CGRectMake(90, 170, 100, 30), "确定",
                                              &LibaoDuihuanController::libaoxiangqingquerenclick));

  // The confirmation popup.
  lingqulibaoview_ = UIView::create(centred(280, 170));
  lingqulibaoview_->setBackgroundColor(UIColor::whiteColor());
  band(*lingqulibaoview_, "兑换礼包");
  tanchulibaonamelabel_ = WalletStyle::label(CGRectMake(10, 45, 260, 20), "", 15);
  tanchulibaonamelabel_->setTextAlignment(NSTextAlignmentCenter);
  lingqulibaoview_->addSubview(tanchulibaonamelabel_);
  tanchujiagelabel_ = WalletStyle::label(CGRectMake(10, 75, 260, 20), "", 15);
  tanchujiagelabel_->setTextAlignment(NSTextAlignmentCenter);
  lingqulibaoview_->addSubview(tanchujiagelabel_);
  auto cancel = popupButton(CGRectMake(30, 120, 100, 30), "取消",
                            &LibaoDuihuanController::quxiaolingqulibaobtnclick);
  cancel->setBackgroundColor(UIColor::grayColor());
  lingqulibaoview_->addSubview(cancel);
  lingqulibaoview_->addSubview(popupButton(CGRectMake(150, 120, 100, 30), "确认领取",
                                           &LibaoDuihuanController::huanbtnclick));

  // The code popup.
  libaocodeview_ = UIView::create(centred(280, 160));
  libaocodeview_->setBackgroundColor(UIColor::whiteColor());
  band(*libaocodeview_, "领取成功");
  auto prompt = WalletStyle::label(CGRectMake(10, 40, 260, 20), "您的兑换码：", 14);
  prompt->setTextAlignment(NSTextAlignmentCenter);
  libaocodeview_->addSubview(prompt);
  libaocodelabel_ = WalletStyle::label(CGRectMake(10, 65, 260, 30), "", 18);
  libaocodelabel_->setTextAlignment(NSTextAlignmentCenter);
  libaocodelabel_->setTextColor(WalletStyle::red());
  libaocodeview_->addSubview(libaocodelabel_);
  libaocodeview_->addSubview(
      popupButton(CGRectMake(90, 115, 100, 30), "复制", &LibaoDuihuanController::copycodebtnclick));

  auto howGet = GiftLists::howGetGoldPopup(centred(300, 260));
  howgetgoldview_ = howGet.view;
  howGet.button->addTarget(
      self, WalletStyle::action(self, &LibaoDuihuanController::howgetgoldwozhidaoleclick),
      UIControlEventTouchUpInside);

  for (const auto& popup :
       {libaoxiangqingview_, lingqulibaoview_, libaocodeview_, howgetgoldview_}) {
    popup->setHidden(true);
    root->addSubview(popup);
  }
}

// ---- The list ------------------------------------------------------------------------------

void LibaoDuihuanController::loadmainscroll() {
  const auto ticket = pager_.begin();
  if (!ticket) return;  // a page is on its way; its arrival lets the next one go
  mask_->setHidden(false);
  waitview_->startAnimating();
  const Value params = libaolistparams_;
  std::weak_ptr<LibaoDuihuanController> weak = sharedSelf<LibaoDuihuanController>();
  dispatch_async_global([weak, ticket = *ticket, params] {
    Value reply = ServerController::getLibaoListWithPage(ticket.page, params);
    dispatch_async_main([weak, ticket, reply] {
      if (auto screen = weak.lock()) screen->appendPage(ticket, reply);
    });
  });
}

void LibaoDuihuanController::appendPage(const GiftPager::Ticket& ticket, const Value& reply) {
  const auto items = GiftLists::pageItems(reply);
  if (!pager_.finish(ticket, items.has_value())) return;  // a reply for the list before a search
  if (items && !items->empty()) {
    auto self = sharedSelf<LibaoDuihuanController>();
    const double top = mainscroll_->contentSize().height;
    for (size_t i = 0; i < items->size(); ++i) {
      mainscroll_->addSubview(
          makeRow((*items)[i], top + kRowPitch * static_cast<double>(i), tempDeveiceWidth_, self));
    }
    mainscroll_->setContentSize(
        CGSizeMake(0, top + kRowPitch * static_cast<double>(items->size())));
  }
  waitview_->stopAnimating();
  // The mask stays under a popup that was opened while the page loaded.
  const bool popupShown = !libaoxiangqingview_->isHidden() || !lingqulibaoview_->isHidden() ||
                          !libaocodeview_->isHidden() || !howgetgoldview_->isHidden();
  if (!popupShown) mask_->setHidden(true);
}

std::shared_ptr<UIView> LibaoDuihuanController::makeRow(
    const Value& item, double y, double screenWidth,
    const std::shared_ptr<LibaoDuihuanController>& owner) {
  std::weak_ptr<LibaoDuihuanController> weak = owner;
  auto row = UIView::create(CGRectMake(0, y, screenWidth - 10, 76));
  row->setBackgroundColor(UIColor::whiteColor());
  row->setTag(kRowTag);
  row->layer().setCornerRadius(5);

  auto icon = UIImageView::create(CGRectMake(10, 10, 56, 56));
  row->addSubview(icon);
  ImageCache::loadImage(icon, textOf(item["plat_gameicon"]));
  if (item["plat_id"].intValue() == 3) {
    auto h5 = UIImageView::create(CGRectMake(10, 10, 23, 23));
    h5->setImage(UIImage::imageNamed("ktr_center_h5First.png"));
    row->addSubview(h5);
  }

  row->addSubview(fittedLabel(
      71, 10, 20, NSString::stringWithFormat("%@%@", item["plat_gamename"], item["cardname"]), 12));

  // The stock bar and its text, both held to 0-100 whatever the server sends.
  float percent = item["rpercent"].floatValue();
  percent = std::isnan(percent) ? 0 : std::clamp(percent, 0.0f, 100.0f);
  auto track = UIView::create(CGRectMake(71, 35, 120, 8));
  track->setBackgroundColor(UIColor::rgb(191, 191, 191));
  track->layer().setCornerRadius(4);
  auto fill = UIView::create(CGRectMake(0, 0, 120 * percent / 100, 8));
  fill->setBackgroundColor(stockGreen());
  fill->layer().setCornerRadius(4);
  track->addSubview(fill);
  row->addSubview(track);
  const int whole = std::clamp(item["rpercent"].intValue(), 0, 100);
  const std::string stock = NSString::stringWithFormat("剩%i%%", whole);
  auto stockLabel = fittedLabel(191, 35, 8, stock, 10);
  stockLabel->setAttributedText(WalletStyle::colored(
      stock, NSMakeRange(1, NSString::length(stock) - 1), UIColor::rgb(126, 181, 64)));
  row->addSubview(stockLabel);

  auto detail = WalletStyle::label(CGRectMake(71, 48, 50, 20), "礼包详情", 12);
  detail->setUserInteractionEnabled(true);
  detail->addSubview(GiftLists::hiddenValue(textOf(item["cardcontent"]), 1));
  detail->addSubview(GiftLists::hiddenValue(textOf(item["cardusage"]), 2));
  detail->addGestureRecognizer(
      UITapGestureRecognizer::create(owner, [weak](UIGestureRecognizer& g) {
        if (auto screen = weak.lock()) screen->libaoxiangqinglabelclick(g);
      }));
  row->addSubview(detail);

  const std::string price = NSString::stringWithFormat("价格:%@绑金(金币)", item["qx_cardprice"]);
  auto priceLabel = fittedLabel(131, 48, 20, price, 12);
  priceLabel->setAttributedText(
      WalletStyle::colored(price, NSMakeRange(3, NSString::length(price) - 3), WalletStyle::red()));
  row->addSubview(priceLabel);

  auto redeem = WalletStyle::button(CGRectMake(screenWidth - 90, 23, 70, 30), "兑换",
                                    UIColor::whiteColor(), stockGreen(), 15);
  redeem->layer().setCornerRadius(5);
  const char* keys[] = {"plat_gamename", "cardname", "qx_cardprice", "qx_cardid"};
  for (long tag = 1; tag <= 4; ++tag)
    redeem->addSubview(GiftLists::hiddenValue(textOf(item[keys[tag - 1]]), tag));
  redeem->addTarget(
      owner,
      [weak](UIControl& sender) {
        if (auto screen = weak.lock()) screen->duihuanbtnclick(sender);
      },
      UIControlEventTouchUpInside);
  row->addSubview(redeem);
  return row;
}

void LibaoDuihuanController::cleanmainscroll() { GiftLists::clearRows(*mainscroll_, kRowTag); }

void LibaoDuihuanController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
  if (GiftLists::nearEnd(scrollView)) loadmainscroll();
}

void LibaoDuihuanController::searchgamebtnclick() {
  libaolistparams_.set("kw", GiftLists::escapedName(searchgame_->text()));
  pager_.restart();
  cleanmainscroll();
  loadmainscroll();
}

// ---- Popups --------------------------------------------------------------------------------

void LibaoDuihuanController::showPopup(const std::shared_ptr<UIView>& popup) {
  mask_->setHidden(false);
  popup->setHidden(false);
}

void LibaoDuihuanController::hidePopups() {
  for (const auto& popup : {libaoxiangqingview_, lingqulibaoview_, libaocodeview_, howgetgoldview_})
    popup->setHidden(true);
  mask_->setHidden(true);
}

void LibaoDuihuanController::libaoxiangqinglabelclick(UIGestureRecognizer& recognizer) {
  auto label = recognizer.view();
  if (!label) return;
  libaoneironglabel_->setText(
      NSString::stringWithFormat("礼包包含：%@", GiftLists::childText(*label, 1)));
  shiyongfangfalabel_->setText(
      NSString::stringWithFormat("使用方法：%@", GiftLists::childText(*label, 2)));
  showPopup(libaoxiangqingview_);
}

void LibaoDuihuanController::libaoxiangqingquerenclick() { hidePopups(); }

void LibaoDuihuanController::duihuanbtnclick(UIView& sender) {
  const std::string game = GiftLists::childText(sender, 1);
  const std::string package = GiftLists::childText(sender, 2);
  const std::string price = GiftLists::childText(sender, 3);
  const std::string id = GiftLists::childText(sender, 4);
  cardid_ = id.empty() ? std::nullopt : std::optional<std::string>(id);
  tanchulibaonamelabel_->setAttributedText(
      WalletStyle::colored(NSString::stringWithFormat("%@%@", game, package),
                           NSMakeRange(0, NSString::length(game)), WalletStyle::red()));
  tanchujiagelabel_->setAttributedText(
      WalletStyle::colored(NSString::stringWithFormat("绑金兑换:%@绑金", price),
                           NSMakeRange(5, NSString::length(price) + 2), WalletStyle::red()));
  showPopup(lingqulibaoview_);
}

void LibaoDuihuanController::quxiaolingqulibaobtnclick() { hidePopups(); }

void LibaoDuihuanController::huanbtnclick() {
  const Value user = TempData::getuserdata();
  if (!user) {
    tologin();
    return;
  }
  if (!cardid_) {
    WalletStyle::alert("您还没有选择游戏礼包", "请选择游戏礼包后进行查询", "确定");
    return;
  }
  const Value reply =
      ServerController::lingLibaoWithCardid(*cardid_, user["username"].str(), user["token"].str());
  if (!reply) return;  // the transport has told the player already
  const std::string code = textOf(reply["data"]["card"]);
  // An "ok" without a code has nothing to show or copy: it is a failure to the player.
  if (!reply["state"].isEqualToString("ok") || code.empty()) {
    WalletStyle::alert("领取礼包失败", reply["msg"].str(), "确定");
    return;
  }
  libaocodelabel_->setText(code);
  lingqulibaoview_->setHidden(true);
  libaocodeview_->setHidden(false);
  UserHelper::reLogin();
}

void LibaoDuihuanController::copycodebtnclick() {
  const std::string code = libaocodelabel_->text();
  UIPasteboard::generalPasteboard()->setString(code);
  hidePopups();
  WalletStyle::alert("复制成功", NSString::stringWithFormat("兑换码(%@)已复制到您的剪贴板", code),
                     "确定");
}

void LibaoDuihuanController::howgetgoldlabelclick() { showPopup(howgetgoldview_); }

void LibaoDuihuanController::howgetgoldwozhidaoleclick() { hidePopups(); }

void LibaoDuihuanController::maskclick() { hidePopups(); }

// ---- Neighbours and the search field -------------------------------------------------------

void LibaoDuihuanController::libaorecordbtnclick() {
  if (!TempData::getuserdata()) {
    tologin();
    return;
  }
  presentViewController(LibaoRecordController::create(), true);
}

void LibaoDuihuanController::tologin() {
  presentViewController(LoginViewController::create(), true);
}

void LibaoDuihuanController::back() { dismissViewControllerAnimated(true); }

bool LibaoDuihuanController::textFieldShouldReturn(UITextField& field) {
  field.resignFirstResponder();
  return true;
}

// Resigning from here would ask this again; the answer is the one textFieldShouldReturn gives.
bool LibaoDuihuanController::textFieldShouldEndEditing(UITextField&) { return true; }

// The prompt follows the field's text once a change is made (see the editing-changed action),
// so that it also matches after a change that the field did not take.
bool LibaoDuihuanController::shouldChangeCharactersInRange(UITextField&, NSRange,
                                                           const std::string&) {
  return true;
}

bool LibaoDuihuanController::textFieldShouldClear(UITextField& field) {
  if (&field == searchgame_.get()) searchgamelabel_->setHidden(false);
  return true;
}

void LibaoDuihuanController::tapGestureRecognizer() { searchgame_->resignFirstResponder(); }
