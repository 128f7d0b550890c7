#include "games/LibaoController.h"

#include "account/LoginViewController.h"
#include "core/ImageCache.h"
#include "core/ServerController.h"
#include "core/TempData.h"
#include "games/LibaoDuihuanController.h"
#include "games/LibaoRecordController.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIActivityIndicatorView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/TabBarHelper.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(LibaoController, UIViewController)

namespace {

constexpr long kTileTag = 8;
constexpr long kNameTag = 9;
constexpr double kTilePitch = 150;
constexpr double kTabBarHeight = 49;

std::shared_ptr<UIColor> separatorColour() { return UIColor::rgb(218, 215, 216); }
std::shared_ptr<UIColor> linkBlue() { return UIColor::rgb(47, 128, 197); }

// "is_special" as the game list sends it: %@ of UserData's value; "(null)" (left out of the
// request) when nobody is logged in or the key is missing or null.
std::string isSpecialText() {
  const Value& value = TempData::getuserdata()["is_special"];
  return value.isNil() ? "(null)" : value.description();
}

}  // namespace

// ---- Set-up --------------------------------------------------------------------------------

void LibaoController::viewDidLoad() {
  tempDeveiceWidth_ = UIScreen::mainScreen()->bounds().size.width;
  gamelistparams_ = Value::dict();
  initSubview();
  mainscroll_->setContentSize(CGSizeMake(0, 0));
  mainscroll_->setDelegate(sharedSelf<LibaoController>());
  loadmainscroll();
}

std::shared_ptr<UILabel> LibaoController::tappableLabel(CGRect frame, const std::string& text,
                                                        void (LibaoController::*method)()) {
  auto label = WalletStyle::label(frame, text, 13);
  label->setUserInteractionEnabled(true);
  std::weak_ptr<LibaoController> weak = sharedSelf<LibaoController>();
  label->addGestureRecognizer(UITapGestureRecognizer::create(weak, [weak, method] {
    if (auto screen = weak.lock()) ((*screen).*method)();
  }));
  return label;
}

void LibaoController::initSubview() {
  auto self = sharedSelf<LibaoController>();
  std::weak_ptr<LibaoController> weak = self;
  auto root = view();
  const double W = root->frame().size.width;
  const double H = root->frame().size.height;
  root->setBackgroundColor(UIColor::whiteColor());
  root->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto screen = weak.lock()) screen->tapGestureRecognizer();
  }));

  // The title bar: back, title, rules.
  auto top = GiftLists::titleBar(self, W, "礼包中心", [weak] {
    if (auto screen = weak.lock()) screen->back();
  });
  root->addSubview(top.view);
  topbacklabel_ = top.backLabel;
  topduihuanguizelabel_ = tappableLabel(CGRectMake(W - 75, 13, 65, 20), "兑换规则",
                                        &LibaoController::topduihuanguizelabelclick);
  topduihuanguizelabel_->setFont(UIFont::systemFontOfSize(15));
  topduihuanguizelabel_->setTextColor(UIColor::whiteColor());
  topduihuanguizelabel_->setTextAlignment(NSTextAlignmentRight);
  top.view->addSubview(topduihuanguizelabel_);

  // The search row.
  auto search = GiftLists::searchRow(self, *root, W);
  searchgame_ = search.field;
  searchgamelabel_ = search.prompt;
  searchbtn_ = search.searchButton;
  lingqujilubtn_ = search.recordButton;
  searchgame_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self));
  searchbtn_->addTarget(self, WalletStyle::action(self, &LibaoController::searchgamebtnclick),
                        UIControlEventTouchUpInside);
  lingqujilubtn_->addTarget(self, WalletStyle::action(self, &LibaoController::libaorecordbtnclick),
                            UIControlEventTouchUpInside);

  // The links row: how to earn gold on the left, the three tab links on the right.
  howgetgoldlabel_ = tappableLabel(CGRectMake(5, 106, 90, 20), "怎样获得金币",
                                   &LibaoController::howgetgoldlabelclick);
  howgetgoldlabel_->setTextColor(WalletStyle::red());
  root->addSubview(howgetgoldlabel_);
  root->addSubview(WalletStyle::label(CGRectMake(W - 175, 106, 35, 20), "导航:", 13));
  yaoqinglabel_ = tappableLabel(CGRectMake(W - 140, 106, 60, 20), "邀请好友",
                                &LibaoController::yaoqinglabelclick);
  shoplabel_ =
      tappableLabel(CGRectMake(W - 75, 106, 30, 20), "商城", &LibaoController::shoplabelclick);
  libaolabel_ =
      tappableLabel(CGRectMake(W - 40, 106, 30, 20), "礼包", &LibaoController::libaolabelclick);
  for (const auto& link : {yaoqinglabel_, shoplabel_, libaolabel_}) {
    link->setTextColor(linkBlue());
    root->addSubview(link);
  }

  // The grid, above the tab bar.
  mainscroll_ = UIScrollView::create(CGRectMake(0, 131, W, H - 131 - kTabBarHeight));
  mainscroll_->setBackgroundColor(WalletStyle::lightGrey());
  mainscroll_->setShowsHorizontalScrollIndicator(false);
  root->addSubview(mainscroll_);

  mask_ = GiftLists::makeMask(CGRectMake(0, 0, W, H));
  mask_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto screen = weak.lock()) screen->maskclick();
  }));
  root->addSubview(mask_);
  const double popupsHeight = H - kTabBarHeight;
  auto rules = GiftLists::rulesPopup(CGRectMake((W - 300) / 2, (popupsHeight - 300) / 2, 300, 300));
  duihuanguizeview_ = rules.view;
  rules.button->addTarget(self, WalletStyle::action(self, &LibaoController::wozhidaoleclick),
                          UIControlEventTouchUpInside);
  root->addSubview(duihuanguizeview_);
  auto howGet =
      GiftLists::howGetGoldPopup(CGRectMake((W - 300) / 2, (popupsHeight - 260) / 2, 300, 260));
  howgetgoldview_ = howGet.view;
  howGet.button->addTarget(self,
                           WalletStyle::action(self, &LibaoController::howgetgoldwozhidaoleclick),
                           UIControlEventTouchUpInside);
  root->addSubview(howgetgoldview_);
  waitview_ = GiftLists::makeSpinner(W, popupsHeight);
  root->addSubview(waitview_);
}

// ---- The grid ------------------------------------------------------------------------------

void LibaoController::loadmainscroll() {
  const auto ticket = pager_.begin();
  if (!ticket) return;  // a page is on its way; its arrival lets the next one go
  mask_->setHidden(false);
  waitview_->startAnimating();
  const Value params = gamelistparams_;
  const std::string special = isSpecialText();
  std::weak_ptr<LibaoController> weak = sharedSelf<LibaoController>();
  dispatch_async_global([weak, ticket = *ticket, params, special] {
    Value reply = ServerController::getAllGameListWithPage(ticket.page, params, special);
    dispatch_async_main([weak, ticket, reply] {
      if (auto screen = weak.lock()) screen->appendPage(ticket, reply);
    });
  });
}

void LibaoController::appendPage(const GiftPager::Ticket& ticket, const Value& reply) {
  const auto items = GiftLists::pageItems(reply);
  if (!pager_.finish(ticket, items.has_value())) return;  // a reply for the list before a search
  if (items && !items->empty()) {
    const double top = mainscroll_->contentSize().height;
    const double w = (tempDeveiceWidth_ - 18) / 3;
    const size_t n = items->size();
    for (size_t i = 0; i < n; ++i) {
      const size_t column = i % 3;
      const size_t row = i / 3;
      const double x = 3 + static_cast<double>(column) * (w + 1);
      const double y = top + 3 + static_cast<double>(row) * kTilePitch;
      mainscroll_->addSubview(makeTile((*items)[i], x, y, w, column < 2));
    }
    // Each page starts on a fresh row.
    const double rows = static_cast<double>(n / 3 + (n % 3 ? 1 : 0));
    mainscroll_->setContentSize(CGSizeMake(0, top + kTilePitch * rows));
  }
  waitview_->stopAnimating();
  if (duihuanguizeview_->isHidden() && howgetgoldview_->isHidden()) mask_->setHidden(true);
}

std::shared_ptr<UIView> LibaoController::makeTile(const Value& item, double x, double y, double w,
                                                  bool lineRight) {
  auto self = sharedSelf<LibaoController>();
  std::weak_ptr<LibaoController> weak = self;
  auto tile = UIView::create(CGRectMake(x, y, w, 149));
  tile->setBackgroundColor(UIColor::whiteColor());
  tile->setTag(kTileTag);

  // The separators belong to the tile, so that clearing the grid takes them too.
  if (lineRight) {
    auto right = UIView::create(CGRectMake(w, 0, 1, 149));
    right->setBackgroundColor(separatorColour());
    tile->addSubview(right);
  }
  auto below = UIView::create(CGRectMake(0, 149, w, 1));
  below->setBackgroundColor(separatorColour());
  tile->addSubview(below);

  auto icon = UIImageView::create(CGRectMake(w / 2 - 35, 10, 70, 70));
  tile->addSubview(icon);
  const Value& iconUrl = item["plat_gameicon"];
  ImageCache::loadImage(icon, iconUrl.isString() ? iconUrl.str() : "");
  if (item["plat_id"].intValue() == 3) {
    auto h5 = UIImageView::create(CGRectMake(w / 2 - 35, 10, 30, 30));
    h5->setImage(UIImage::imageNamed("ktr_center_h5First.png"));
    tile->addSubview(h5);
  }

  auto name = WalletStyle::label(CGRectMake(0, 85, w, 20), item["plat_gamename"].str(), 16);
  name->setTextAlignment(NSTextAlignmentCenter);
  name->setTag(kNameTag);
  tile->addSubview(name);

  const std::string kinds = NSString::stringWithFormat("礼包种类:%@种", item["cardcount"]);
  auto kindsLabel = WalletStyle::label(CGRectMake(0, 110, w, 20), kinds, 12);
  kindsLabel->setTextAlignment(NSTextAlignmentCenter);
  kindsLabel->setTextColor(UIColor::rgb(167, 167, 167));
  kindsLabel->setAttributedText(
      WalletStyle::colored(kinds, NSMakeRange(5, NSString::length(kinds) - 6), WalletStyle::red()));
  tile->addSubview(kindsLabel);

  tile->setUserInteractionEnabled(true);
  tile->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak](UIGestureRecognizer& g) {
    if (auto screen = weak.lock()) screen->gameviewclick(g);
  }));
  return tile;
}

void LibaoController::cleanmainscroll() { GiftLists::clearRows(*mainscroll_, kTileTag); }

void LibaoController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
  if (GiftLists::nearEnd(scrollView)) loadmainscroll();
}

void LibaoController::searchgamebtnclick() {
  gamelistparams_ = Value::dict({{"gamename", GiftLists::escapedName(searchgame_->text())}});
  pager_.restart();
  cleanmainscroll();
  loadmainscroll();
}

void LibaoController::gameviewclick(UIGestureRecognizer& recognizer) {
  auto tile = recognizer.view();
  if (!tile) return;
  TempData::setcontrollerdata(Value::dict({{"gamename", GiftLists::childText(*tile, kNameTag)}}));
  presentViewController(LibaoDuihuanController::create(), true);
}

// ---- Buttons, labels and popups ------------------------------------------------------------

void LibaoController::libaorecordbtnclick() {
  if (!TempData::getuserdata()) {
    tologin();
    return;
  }
  presentViewController(LibaoRecordController::create(), true);
}

void LibaoController::tologin() { presentViewController(LoginViewController::create(), true); }

void LibaoController::topduihuanguizelabelclick() {
  mask_->setHidden(false);
  duihuanguizeview_->setHidden(false);
}

void LibaoController::wozhidaoleclick() {
  duihuanguizeview_->setHidden(true);
  mask_->setHidden(true);
}

void LibaoController::howgetgoldlabelclick() {
  mask_->setHidden(false);
  howgetgoldview_->setHidden(false);
}

void LibaoController::howgetgoldwozhidaoleclick() {
  howgetgoldview_->setHidden(true);
  mask_->setHidden(true);
}

void LibaoController::maskclick() {
  mask_->setHidden(true);
  duihuanguizeview_->setHidden(true);
  howgetgoldview_->setHidden(true);
}

void LibaoController::yaoqinglabelclick() {
  TabBarHelper::qiehuanTabBarViewControllers(parentViewController(), "YaoqingController");
}

void LibaoController::shoplabelclick() {
  TabBarHelper::qiehuanTabBarViewControllers(parentViewController(), "ShopController");
}

void LibaoController::libaolabelclick() {
  TabBarHelper::qiehuanTabBarViewControllers(parentViewController(), "LibaoController");
}

void LibaoController::back() {
  // As a tab, closing means closing the tab bar and going home.
  if (auto tabs = tabBarController()) {
    tabs->dismissViewControllerAnimated(true);
  } else {
    dismissViewControllerAnimated(true);
  }
}

// ---- The search field ----------------------------------------------------------------------

bool LibaoController::textFieldShouldReturn(UITextField& field) {
  field.resignFirstResponder();
  return true;
}

// Resigning from here would ask this again; the answer is the one textFieldShouldReturn gives.
bool LibaoController::textFieldShouldEndEditing(UITextField&) { return true; }

// The prompt follows the field's text once a change is made (see the editing-changed action),
// so that it also matches after a change that the field did not take.
bool LibaoController::shouldChangeCharactersInRange(UITextField&, NSRange, const std::string&) {
  return true;
}

bool LibaoController::textFieldShouldClear(UITextField& field) {
  if (&field == searchgame_.get()) searchgamelabel_->setHidden(false);
  return true;
}

void LibaoController::tapGestureRecognizer() { searchgame_->resignFirstResponder(); }
