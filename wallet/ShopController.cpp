#include "wallet/ShopController.h"

#include "core/ServerController.h"
#include "core/TempData.h"
#include "core/UserHelper.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/Value.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/InviteShare.h"
#include "shell/TabBarHelper.h"
#include "wallet/ChongZhiCardVC.h"
#include "wallet/ExchangeAmount.h"
#include "wallet/GamePlatform.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(ShopController, UIViewController)

namespace {
CGSize screenSize() { return UIScreen::mainScreen()->bounds().size; }

// Makes a neighbouring screen by its class name, so that the wallet does not depend on the
// subsystem that provides it.
std::shared_ptr<UIViewController> makeScreen(const std::string& className) {
  auto screen = std::dynamic_pointer_cast<UIViewController>(ClassRegistry::create(className));
  if (!screen) NSLog("%@ is not available", className);
  return screen;
}
}  // namespace

void ShopController::viewDidLoad() {
  initSubview();
  auto self = sharedSelf<ShopController>();
  std::weak_ptr<ShopController> weak = self;
  if (auto back = topbacklabel_.lock()) {
    back->setUserInteractionEnabled(true);
    back->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
      if (auto shop = weak.lock()) shop->back();
    }));
  }
  if (auto rules = topduihuanguizelabel_.lock()) {
    rules->setUserInteractionEnabled(true);
    rules->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
      if (auto shop = weak.lock()) shop->topduihuanguizelabelclick();
    }));
  }
}

void ShopController::initSubview() {
  auto self = sharedSelf<ShopController>();
  auto root = view();
  const double W = root->frame().size.width;
  const CGSize S = screenSize();

  // The top bar under the status bar: back label, title, rules label.
  topView_ = UIView::create(CGRectMake(0, 20, W, 46));
  topView_->setBackgroundColor(WalletStyle::green());
  root->addSubview(topView_);
  auto backLabel = WalletStyle::label(CGRectMake(10, 13, 40, 20), "返回", 15);
  backLabel->setTextColor(UIColor::whiteColor());
  topView_->addSubview(backLabel);
  topbacklabel_ = backLabel;
  auto title = WalletStyle::label(CGRectMake((W - 100) / 2, 13, 100, 20), "商城", 17);
  title->setTextColor(UIColor::whiteColor());
  title->setTextAlignment(NSTextAlignmentCenter);
  topView_->addSubview(title);
  auto rulesLabel = WalletStyle::label(CGRectMake(W - 75, 13, 65, 20), "兑换规则", 15);
  rulesLabel->setTextColor(UIColor::whiteColor());
  rulesLabel->setTextAlignment(NSTextAlignmentRight);
  topView_->addSubview(rulesLabel);
  topduihuanguizelabel_ = rulesLabel;

  // The two page buttons.
  const double bw = (W - 15) / 2;
  duihuanpingtaibi_btn_ = WalletStyle::button(CGRectMake(5, 71, bw, 30), "兑换平台币",
                                              UIColor::whiteColor(), WalletStyle::green(), 15);
  duihuanpingtaibi_btn_->addTarget(
      self, WalletStyle::action(self, &ShopController::duihuanpingtaibi_action),
      UIControlEventTouchUpInside);
  root->addSubview(duihuanpingtaibi_btn_);
  jinbichongzhi_btn_ = WalletStyle::button(CGRectMake(5 + bw + 5, 71, bw, 30), "金币充值",
                                           UIColor::whiteColor(), UIColor::grayColor(), 15);
  jinbichongzhi_btn_->addTarget(self,
                                WalletStyle::action(self, &ShopController::jinbichongzhi_action),
                                UIControlEventTouchUpInside);
  auto badge = UIImageView::create(CGRectMake(110, 5, 20, 10));
  badge->setImage(UIImage::imageNamed("ktr_new.png"));
  jinbichongzhi_btn_->addSubview(badge);
  root->addSubview(jinbichongzhi_btn_);

  // The paged holder of both pages.
  const double top = CGRectGetMaxY(duihuanpingtaibi_btn_->frame());
  mainScrollview_ = UIScrollView::create(CGRectMake(0, top, S.width, S.height - 150));
  mainScrollview_->setContentSize(CGSizeMake(2 * S.width, 0));
  mainScrollview_->setPagingEnabled(true);
  mainScrollview_->setShowsHorizontalScrollIndicator(false);
  mainScrollview_->setShowsVerticalScrollIndicator(false);
  mainScrollview_->setBackgroundColor(WalletStyle::lightGrey());
  mainScrollview_->setDelegate(std::static_pointer_cast<UIScrollViewDelegate>(self));
  root->addSubview(mainScrollview_);

  const CGSize page = mainScrollview_->frame().size;
  dhptbScrollview_ = UIScrollView::create(CGRectMake(0, 0, page.width, page.height));
  jbczScrollview_ = UIScrollView::create(CGRectMake(S.width, 0, page.width, page.height));
  for (const auto& scroll : {dhptbScrollview_, jbczScrollview_}) {
    scroll->setBackgroundColor(UIColor::clearColor());
    scroll->setShowsHorizontalScrollIndicator(false);
    mainScrollview_->addSubview(scroll);
  }

  // The exchange page reports its own height once built.
  dhptbView_ = UIView::make<DuiHuanPTBView>(CGRectMake(5, 0, page.width - 10, 445));
  const double height = dhptbView_->setViewHeiht();
  dhptbView_->setFrame(CGRectMake(5, 0, page.width - 10, height));
  dhptbView_->delegate = std::static_pointer_cast<DuiHuanPTBViewDelegate>(self);
  dhptbScrollview_->addSubview(dhptbView_);
  dhptbScrollview_->setContentSize(CGSizeMake(0, height + 10));

  jbView_ = UIView::make<JinBiView>(CGRectMake(5, 0, page.width - 10, 410));
  jbView_->delegate = std::static_pointer_cast<JinBinDelegate>(self);
  jbczScrollview_->addSubview(jbView_);
}

void ShopController::viewWillAppear(bool) {
  view();  // the pages exist from here on
  const Value handOver = TempData::getcontrollerdata();
  if (handOver["flag"].isEqualToString("1")) {
    jinbichongzhi_action();
    TempData::setcontrollerdata(Value());
  }
  dhptbView_->label1->setAttributedText(DuiHuanPTBView::balanceLine(TempData::getuserdata()));
}

// ---- Page switching -------------------------------------------------------------------

void ShopController::duihuanpingtaibi_action() {
  mainScrollview_->setContentOffset(CGPointMake(0, 0), true);
  duihuanpingtaibi_btn_->setBackgroundColor(WalletStyle::green());
  jinbichongzhi_btn_->setBackgroundColor(UIColor::grayColor());
}

void ShopController::jinbichongzhi_action() {
  mainScrollview_->setContentOffset(CGPointMake(screenSize().width, 0), true);
  jinbichongzhi_btn_->setBackgroundColor(WalletStyle::green());
  duihuanpingtaibi_btn_->setBackgroundColor(UIColor::grayColor());
}

void ShopController::handleSwipes(UISwipeGestureRecognizer& recognizer) {
  if (recognizer.direction() == UISwipeGestureRecognizerDirectionLeft) jinbichongzhi_action();
  if (recognizer.direction() == UISwipeGestureRecognizerDirectionRight) duihuanpingtaibi_action();
}

void ShopController::scrollViewWillEndDragging(UIScrollView&, CGPoint,
                                               CGPoint& targetContentOffset) {
  const int page = static_cast<int>(targetContentOffset.x / screenSize().width);
  if (page == 1) jinbichongzhi_action();
  if (page == 0) duihuanpingtaibi_action();
}

// ---- Top bar and neighbours ------------------------------------------------------------

void ShopController::back() {
  if (auto tabs = tabBarController()) {
    tabs->dismissViewControllerAnimated(true);
  } else {
    dismissViewControllerAnimated(true);
  }
}

void ShopController::tologin() {
  if (auto login = makeScreen("LoginViewController")) presentViewController(login, true);
}

void ShopController::toGame(UIGestureRecognizer& recognizer) {
  auto cell = recognizer.view();
  if (!cell) return;
  auto text = [&](long tag) {
    auto label = std::dynamic_pointer_cast<UILabel>(cell->viewWithTag(tag));
    return label ? label->text() : std::string();
  };
  TempData::setcontrollerdata(
      Value::dict({{"title", text(1)}, {"gid", text(2)}, {"url", text(3)}}));
  if (auto detail = makeScreen("WebBrowserController")) presentViewController(detail, true);
}

void ShopController::htoFriend() {
  TabBarHelper::qiehuanTabBarViewControllers(parentViewController(), "YaoqingController");
}

void ShopController::htoLibao() {
  TabBarHelper::qiehuanTabBarViewControllers(parentViewController(), "LibaoController");
}

void ShopController::jinbiCard() { presentViewController(ChongZhiCardVC::create(), true); }

// ---- Mask and popups --------------------------------------------------------------------

void ShopController::createMask() {
  const CGSize S = screenSize();
  // The mask swallows every touch above the tab bar; the bar stays usable.
  mask_ = UIView::create(CGRectMake(0, 0, S.width, S.height - kTabBarHeight));
  mask_->setBackgroundColor(UIColor::blackColor());
  mask_->setAlpha(0.5);
  mask_->setUserInteractionEnabled(true);
  view()->addSubview(mask_);
}

CGRect ShopController::onMask(double width, double height) const {
  const CGSize m = mask_ ? mask_->frame().size : CGSizeMake(0, 0);
  return CGRectMake((m.width - width) / 2, (m.height - height) / 2, width, height);
}

void ShopController::closePopup(const std::shared_ptr<UIView>& popup) {
  WalletStyle::removeLater(mask_);
  WalletStyle::removeLater(popup);
}

void ShopController::topduihuanguizelabelclick() {
  createMask();
  ruleView_ = UIView::make<RuleView>(onMask(300, 300));
  ruleView_->delegate = std::static_pointer_cast<RuleViewDelegate>(sharedSelf<ShopController>());
  view()->addSubview(ruleView_);
}

void ShopController::hideRuleView() { closePopup(ruleView_); }

void ShopController::howGetJinBi() {
  createMask();
  howGetJBview_ = UIView::make<HowGetJinBiView>(onMask(300, 320));
  howGetJBview_->delegate =
      std::static_pointer_cast<HowGetJBViewDelegate>(sharedSelf<ShopController>());
  view()->addSubview(howGetJBview_);
}

void ShopController::hideHowGetJBView() { closePopup(howGetJBview_); }

void ShopController::htoShop() { closePopup(howGetJBview_); }

// ---- The exchange ------------------------------------------------------------------------

void ShopController::useJinBiDuiHuan() {
  openAmountPopup("2", "金币兑换平台币", "10", "(10个起兑)");
}

void ShopController::useBangDinDuiHuan() {
  openAmountPopup("3", "绑定金币兑换平台币", "50", "(50个起兑)");
}

void ShopController::openAmountPopup(const std::string& coinType, const std::string& title,
                                     const std::string& preset, const std::string& note) {
  type_ = coinType;
  createMask();
  userJinBiDHView_ = UIView::make<UserJinBiDHView>(onMask(300, 180));
  userJinBiDHView_->delegate =
      std::static_pointer_cast<UseJinBiDHViewDelegate>(sharedSelf<ShopController>());
  userJinBiDHView_->titleLabel->setText(title);
  userJinBiDHView_->numTextField->setText(preset);
  userJinBiDHView_->desLabel->setText(note);
  UserJinBiDHView::writePreview(*userJinBiDHView_->duihuanLabel, preset);
  view()->addSubview(userJinBiDHView_);
}

void ShopController::useJinBiDHViewCancel() { closePopup(userJinBiDHView_); }

void ShopController::useJinBiDHViewDuiHuan(const std::string& account, const std::string& num,
                                           const std::string& plat) {
  // Checks in this order; each leaves the popup open.
  if (!TempData::getuserdata()) {
    tologin();
    return;
  }
  if (account.empty()) {
    WalletStyle::alert("您还没有选择游戏账号", "请选择游戏账号后进行兑换", "确定");
    return;
  }
  if (num.empty()) {
    WalletStyle::alert("您还没有填写金币数量", "请填写金币数量后进行兑换", "确定");
    return;
  }
  gameAccount_ = account;
  jinbiNum_ = num;
  jinbiCoins_ = ExchangeAmount::coins(num);
  huanplatid_ = plat;

  // The confirm popup replaces the amount popup on the same mask.
  WalletStyle::removeLater(userJinBiDHView_);
  certainDuiHuanView_ = UIView::make<CertainDuiHuanView>(onMask(300, 210));
  certainDuiHuanView_->delegate =
      std::static_pointer_cast<CertainDuiHuanViewDelegate>(sharedSelf<ShopController>());
  const std::string number = ExchangeAmount::platformCoinText(jinbiCoins_);
  certainDuiHuanView_->duihuanLabel->setAttributedText(
      WalletStyle::colored(NSString::stringWithFormat("您申请兑换%@平台币", number),
                           NSMakeRange(5, NSString::length(number)), WalletStyle::red()));
  certainDuiHuanView_->accountLabel->setAttributedText(
      WalletStyle::colored(NSString::stringWithFormat("接收账号：%@", account),
                           NSMakeRange(5, NSString::length(account)), WalletStyle::red()));
  const std::string platform = GamePlatform::exchangeLabel(plat);
  certainDuiHuanView_->platLabel->setText(platform.empty() ? "" : "所属平台：" + platform);
  view()->addSubview(certainDuiHuanView_);
}

void ShopController::reallyDuiHuan() {
  const Value user = TempData::getuserdata();
  if (!user) {
    tologin();
    return;
  }
  const Value reply = ServerController::huanPingTaiBiWithQxusername(
      user["username"].str(), user["token"].str(), gameAccount_, huanplatid_, jinbiNum_, type_);
  closePopup(certainDuiHuanView_);
  if (!reply) return;  // the transport has told the player already
  if (reply["state"].isEqualToString("ok")) {
    createMask();
    const CGSize v = view()->frame().size;
    dhSuccessView_ =
        DHSuccessView::create(CGRectMake((v.width - 280) / 2, (v.height - 240) / 2, 280, 240),
                              ExchangeAmount::platformCoinText(jinbiCoins_));
    dhSuccessView_->delegate =
        std::static_pointer_cast<DHSuccessViewDelegate>(sharedSelf<ShopController>());
    view()->addSubview(dhSuccessView_);
    UserHelper::reLogin();
  } else {
    WalletStyle::alert("兑换失败", reply["msg"].str(), "确定");
  }
}

void ShopController::cancelToShare() { closePopup(dhSuccessView_); }

void ShopController::shareToFriend() { InviteShare::shareToFriend(); }

void ShopController::shareToCircle() { InviteShare::shareToCircle(); }

// ---- Recharge by card ---------------------------------------------------------------------

bool ShopController::querenChongzhi(const std::string& account, const std::string& cardnum,
                                    const std::string& cardpsd) {
  const Value user = TempData::getuserdata();
  if (!user) {
    tologin();
    return false;
  }
  if (account.empty() || cardnum.empty() || cardpsd.empty()) {
    WalletStyle::alert("提示", "信息不能为空", "知道了");
    return false;
  }
  const std::string username = user["username"].str();
  const std::string token = user["token"].str();
  // Both a request too long to encipher and one that got no reply come back as no reply; only
  // the second went out, so they are told apart before the call.
  const bool goesOut =
      ServerController::certainGiveMoneyGoesOut(username, account, cardnum, cardpsd, token);
  const Value reply =
      ServerController::certainGiveMoney(username, account, cardnum, cardpsd, token);
  // Nothing went out: the call has shown the network alert, and the form keeps what was typed.
  if (!goesOut) return false;
  // Without a reply the network alert has told the player already; an empty "提示" after it
  // would only look like a second, blank failure.
  if (reply) {
    std::string message = reply["msg"].str();
    if (message == "ok") message = "充值成功";
    WalletStyle::alert("提示", message, "知道了");
  }
  // The card may have been credited even when no reply came back, so the balances are fetched
  // again after every request that went out.
  UserHelper::reLogin();
  return true;
}
