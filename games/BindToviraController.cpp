#include "games/BindToviraController.h"

#include "account/LoginViewController.h"
#include "core/Config.h"
#include "core/ServerController.h"
#include "core/StrHelper.h"
#include "core/TempData.h"
#include "core/UserHelper.h"
#include "games/GamePicker.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITabBarController.h"
#include "wallet/GamePlatform.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(BindToviraController, UIViewController)

namespace {
constexpr double kTabBarHeight = 49;
constexpr long kCopyTagBase = 1000;
constexpr long kUnbindTagBase = 2000;
constexpr const char* kChooseGamePrompt = "请选择游戏";
constexpr const char* kLoggedOutName = "未登录，点击登录";

std::shared_ptr<UIColor> lineGrey() { return UIColor::rgb(216, 214, 215); }

std::shared_ptr<UILabel> makeLabel(CGRect frame, const std::string& text, double size) {
  auto label = UILabel::create(frame);
  label->setText(text);
  label->setFont(UIFont::systemFontOfSize(size));
  return label;
}

std::shared_ptr<UIView> rule(CGRect frame) {
  auto line = UIView::create(frame);
  line->setBackgroundColor(lineGrey());
  return line;
}

void border(UIView& view) {
  view.layer().setBorderWidth(1);
  view.layer().setBorderColor(GamePicker::grey());
}

// A text with the given words painted red (each at its first occurrence).
std::shared_ptr<NSMutableAttributedString> withRedWords(const std::string& text,
                                                        const std::vector<std::string>& words) {
  auto attributed = NSMutableAttributedString::create(text);
  for (const auto& word : words) {
    if (auto at = NSString::rangeOfString(text, word)) {
      attributed->addAttribute(NSForegroundColorAttributeName, BindToviraController::red(),
                               NSMakeRange(*at, NSString::length(word)));
    }
  }
  return attributed;
}
}  // namespace

std::shared_ptr<UIColor> BindToviraController::tabGreen() { return UIColor::rgb(92, 169, 47); }
std::shared_ptr<UIColor> BindToviraController::tabGrey() { return UIColor::rgb(194, 194, 192); }
std::shared_ptr<UIColor> BindToviraController::blue() { return UIColor::rgb(47, 128, 197); }
std::shared_ptr<UIColor> BindToviraController::red() { return UIColor::rgb(247, 82, 55); }

std::optional<std::string> BindToviraController::providerLine(const std::string& platId,
                                                              const std::string& accountPlat,
                                                              const std::string& h5Plat) {
  const std::string name = GamePlatform::exchangeLabel(platId);
  if (platId == "1" || platId == "2") {
    const std::string line = "*该游戏由" + name + "中心提供";
    const bool held = accountPlat == platId || accountPlat == "3";
    return held ? line + ",您已拥有该平台游戏账号" : line;
  }
  if (platId == "3") {
    const std::string line = "该游戏由" + name + "提供";
    return h5Plat == "1" ? line + "，您已拥有改平台游戏账号" : line;
  }
  return std::nullopt;
}

bool BindToviraController::loggedIn() const { return !TempData::getuserdata().isNil(); }

// ---- Building the screen ------------------------------------------------------------------

void BindToviraController::viewDidLoad() {
  selected_ = true;
  h5Plat_ = "0";
  initSubview();
}

void BindToviraController::initSubview() {
  auto self = sharedSelf<BindToviraController>();
  std::weak_ptr<BindToviraController> weak = self;
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double W = root->bounds().size.width;
  const double H = root->bounds().size.height;

  // The top bar under the status bar.
  topview_ = UIView::create(CGRectMake(0, 20, W, 46));
  topview_->setBackgroundColor(WalletStyle::green());
  root->addSubview(topview_);
  topbacklabel_ = makeLabel(CGRectMake(10, 13, 40, 20), "返回", 15);
  topbacklabel_->setTextColor(UIColor::whiteColor());
  topbacklabel_->setUserInteractionEnabled(true);
  topbacklabel_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto s = weak.lock()) s->back();
  }));
  topview_->addSubview(topbacklabel_);
  auto title = makeLabel(CGRectMake((W - 100) / 2, 13, 100, 20), "绑定账号", 17);
  title->setTextColor(UIColor::whiteColor());
  title->setTextAlignment(NSTextAlignmentCenter);
  topview_->addSubview(title);

  // The two page tabs.
  const double tabWidth = (W - 15) / 2;
  bindbtn_ = WalletStyle::button(CGRectMake(5, 71, tabWidth, 30), "绑定游戏账号",
                                 UIColor::whiteColor(), tabGreen(), 15);
  bindbtn_->addTarget(self, WalletStyle::action(self, &BindToviraController::bindbtnclick),
                      UIControlEventTouchUpInside);
  root->addSubview(bindbtn_);
  unbindbtn_ = WalletStyle::button(CGRectMake(10 + tabWidth, 71, tabWidth, 30), "我的游戏账号",
                                   UIColor::whiteColor(), tabGrey(), 15);
  unbindbtn_->addTarget(self, WalletStyle::action(self, &BindToviraController::unbindbtnclick),
                        UIControlEventTouchUpInside);
  root->addSubview(unbindbtn_);

  // The paged holder: it pages sideways only.
  const double top = 106;
  mainscroll_ = UIScrollView::create(CGRectMake(0, top, W, H - top - kTabBarHeight));
  const CGSize page = mainscroll_->frame().size;
  mainscroll_->setContentSize(CGSizeMake(2 * page.width, 0));
  mainscroll_->setShowsHorizontalScrollIndicator(false);
  mainscroll_->setPagingEnabled(true);
  mainscroll_->setDelegate(std::static_pointer_cast<UIScrollViewDelegate>(self));
  root->addSubview(mainscroll_);

  bindPage_ = UIView::create(CGRectMake(0, 0, page.width, page.height));
  bindPage_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto s = weak.lock()) s->tapGestureRecognizer();
  }));
  mainscroll_->addSubview(bindPage_);
  buildBindPage(*bindPage_);

  myAccountView_ = UIView::create(CGRectMake(page.width, 0, page.width, page.height));
  mainscroll_->addSubview(myAccountView_);
  // The account page takes the width of the screen's view; origin and height stay.
  CGRect accountFrame = myAccountView_->frame();
  accountFrame.size.width = W;
  myAccountView_->setFrame(accountFrame);
  rebuildAccounts(Value::array());

  buildDialog();
}

void BindToviraController::buildBindPage(UIView& page) {
  auto self = sharedSelf<BindToviraController>();
  std::weak_ptr<BindToviraController> weak = self;
  const double W = page.frame().size.width;

  page.addSubview(makeLabel(CGRectMake(10, 10, 90, 20), "Tovira账号：", 14));
  qxusername_ = makeLabel(CGRectMake(100, 10, W - 110, 20), "", 14);
  // The name leads to the login screen while nobody is logged in. Deciding this at the tap
  // rather than once at load mends a fault: a page loaded logged out kept offering the login
  // screen to the player who had since logged in (a second login over his own session), and a
  // page loaded logged in gave a player who then logged out no way to log in from it.
  qxusername_->setUserInteractionEnabled(true);
  qxusername_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto s = weak.lock(); s && !s->loggedIn()) s->tologin();
  }));
  page.addSubview(qxusername_);

  choosegameview_ = UIView::create(CGRectMake(10, 40, W - 20, 36));
  border(*choosegameview_);
  choosegamelabel_ = makeLabel(CGRectMake(10, 0, W - 70, 36), kChooseGamePrompt, 14);
  choosegamelabel_->setTextColor(GamePicker::grey());
  choosegameview_->addSubview(choosegamelabel_);
  auto arrow = UIImageView::create(CGRectMake(W - 55, 10.5, 20, 15));
  arrow->setImage(UIImage::imageNamed("down64.png"));
  choosegameview_->addSubview(arrow);
  choosegameview_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto s = weak.lock()) s->choosegameviewclick();
  }));
  page.addSubview(choosegameview_);

  auto field = [&](double y, const std::string& placeholder, std::shared_ptr<UILabel>& label) {
    auto f = UITextField::create(CGRectMake(10, y, W - 20, 36));
    border(*f);
    f->setFont(UIFont::systemFontOfSize(14));
    f->setLeftView(UIView::create(CGRectMake(0, 0, 10, 36)));
    f->setLeftViewMode(UITextFieldViewModeAlways);
    f->setClearButtonMode(UITextFieldViewModeWhileEditing);
    f->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self));
    page.addSubview(f);
    label = makeLabel(CGRectMake(20, y, 200, 36), placeholder, 14);
    label->setTextColor(GamePicker::grey());
    page.addSubview(label);
    return f;
  };
  username_ = field(86, "请输入游戏账号", usernamelabel_);
  username_->setKeyboardType(UIKeyboardTypeASCIICapable);
  password_ = field(132, "请输入游戏密码", passwordlabel_);
  password_->setSecureTextEntry(true);

  showgameplatlabel_ = makeLabel(CGRectMake(10, 174, W - 20, 20), "", 12);
  showgameplatlabel_->setTextColor(red());
  page.addSubview(showgameplatlabel_);

  auto bind = WalletStyle::button(CGRectMake(10, 200, W - 20, 40), "立即绑定",
                                  UIColor::whiteColor(), blue(), 16);
  bind->layer().setCornerRadius(5);
  bind->addTarget(self, WalletStyle::action(self, &BindToviraController::bindtovira),
                  UIControlEventTouchUpInside);
  page.addSubview(bind);

  wenxintishilabel_ = makeLabel(CGRectMake(10, 250, W - 20, 20), "温馨提示：", 13);
  page.addSubview(wenxintishilabel_);
  twotextlabel_ = makeLabel(CGRectMake(10, 270, W - 20, 50),
                            "绑定后，您在该游戏中的充值可获得金币返利；密码仅用于验证账号。", 12);
  twotextlabel_->setTextColor(UIColor::grayColor());
  twotextlabel_->setNumberOfLines(0);
  page.addSubview(twotextlabel_);

  // The drop-down opens under the closed field, above the form.
  choosegamedropview_ = UIView::create(CGRectMake(10, 76, W - 20, 240));
  border(*choosegamedropview_);
  choosegamedropview_->setBackgroundColor(UIColor::whiteColor());
  choosegamedropview_->setHidden(true);
  gamescroll_ = UIScrollView::create(CGRectMake(0, 0, W - 50, 240));
  gamezimuscroll_ = UIScrollView::create(CGRectMake(W - 50, 0, 30, 240));
  choosegamedropview_->addSubview(gamescroll_);
  choosegamedropview_->addSubview(gamezimuscroll_);
  page.addSubview(choosegamedropview_);
}

void BindToviraController::buildDialog() {
  auto self = sharedSelf<BindToviraController>();
  std::weak_ptr<BindToviraController> weak = self;
  auto root = view();
  const double W = root->bounds().size.width;
  const double H = root->bounds().size.height;

  mask_ = UIView::create(CGRectMake(0, 0, W, H));
  mask_->setBackgroundColor(UIColor::blackColor());
  mask_->setAlpha(0.5);
  mask_->setHidden(true);
  mask_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto s = weak.lock()) s->maskclick();
  }));
  root->addSubview(mask_);

  const double w = W - 60;
  qxpasswordtanchuview_ = UIView::create(CGRectMake(30, 160, w, 150));
  qxpasswordtanchuview_->setBackgroundColor(UIColor::whiteColor());
  qxpasswordtanchuview_->layer().setCornerRadius(5);
  qxpasswordtanchuview_->setHidden(true);
  auto title = makeLabel(CGRectMake(0, 10, w, 20), "解除绑定", 15);
  title->setTextAlignment(NSTextAlignmentCenter);
  qxpasswordtanchuview_->addSubview(title);
  qxpasswordtanchuview_->addSubview(
      makeLabel(CGRectMake(15, 38, w - 30, 20), "请输入Tovira账号密码", 13));
  qxuserpassword_ = UITextField::create(CGRectMake(15, 62, w - 30, 34));
  border(*qxuserpassword_);
  qxuserpassword_->setSecureTextEntry(true);
  qxuserpassword_->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self));
  qxpasswordtanchuview_->addSubview(qxuserpassword_);
  auto confirm = WalletStyle::button(CGRectMake(15, 106, w - 30, 32), "确认解除",
                                     UIColor::whiteColor(), blue(), 15);
  confirm->addTarget(self, WalletStyle::action(self, &BindToviraController::reallyunbindtovira),
                     UIControlEventTouchUpInside);
  qxpasswordtanchuview_->addSubview(confirm);
  root->addSubview(qxpasswordtanchuview_);
}

// ---- Appearance -----------------------------------------------------------------------------

void BindToviraController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  view();
  const Value user = TempData::getuserdata();
  if (!user.isNil()) {
    qxusername_->setText(StrHelper::getjiamiphonenum(user["username"].str()));
    markHeldPlatforms(user);
    loadAccountList();
  } else {
    accountPlat_ = "0";
    // Nothing of the previous player stays on screen after a logout.
    qxusername_->setText(kLoggedOutName);
    rebuildAccounts(Value::array());
  }
  loadGames();
}

void BindToviraController::markHeldPlatforms(const Value& user) {
  bool one = false;
  bool two = false;
  bool h5 = false;
  for (const auto& entry : user["bondlist"].arrayValue()) {
    const Value& plat = entry["plat_id"];
    one = one || plat.isEqualToString("1");
    two = two || plat.isEqualToString("2");
    h5 = h5 || plat.isEqualToString("3");
  }
  h5Plat_ = h5 ? "1" : "0";
  accountPlat_ = one && two ? "3" : one ? "1" : two ? "2" : "4";
}

void BindToviraController::loadGames() {
  const Value reply = ServerController::getGamelistWithParams(GamePicker::wholeListParams());
  auto self = sharedSelf<BindToviraController>();
  std::weak_ptr<BindToviraController> weak = self;
  GamePicker::addGame(*gamescroll_, reply, true, self, [weak](UIGestureRecognizer& r) {
    if (auto s = weak.lock()) s->gamelabelclick(r);
  });
  GamePicker::addWord(*gamezimuscroll_, self, [weak](UIGestureRecognizer& r) {
    if (auto s = weak.lock()) s->gamezimulabelclick(r);
  });
}

// ---- The picker ----------------------------------------------------------------------------

void BindToviraController::choosegameviewclick() {
  choosegamedropview_->setHidden(!choosegamedropview_->isHidden());
}

void BindToviraController::gamezimulabelclick(UIGestureRecognizer& recognizer) {
  auto letter = std::dynamic_pointer_cast<UILabel>(recognizer.view());
  if (letter) GamePicker::highlightLetter(*gamescroll_, *gamezimuscroll_, *letter);
}

void BindToviraController::gamelabelclick(UIGestureRecognizer& recognizer) {
  auto row = std::dynamic_pointer_cast<UILabel>(recognizer.view());
  if (!row) return;
  bindplatid_ = GamePicker::platformOf(*row);
  choosegamelabel_->setText(GamePicker::chosenName(*row));
  choosegamelabel_->setTextColor(UIColor::blackColor());
  choosegamedropview_->setHidden(true);
  if (auto line = providerLine(bindplatid_, accountPlat_, h5Plat_)) {
    showgameplatlabel_->setText(*line);
  }
}

// ---- Page tabs ------------------------------------------------------------------------------

void BindToviraController::selectTab(bool bindPage) {
  bindbtn_->setBackgroundColor(bindPage ? tabGreen() : tabGrey());
  unbindbtn_->setBackgroundColor(bindPage ? tabGrey() : tabGreen());
}

void BindToviraController::bindbtnclick() {
  selectTab(true);
  mainscroll_->setContentOffset(CGPointMake(0, 0), true);
}

void BindToviraController::unbindbtnclick() {
  selectTab(false);
  mainscroll_->setContentOffset(CGPointMake(mainscroll_->frame().size.width, 0), true);
}

void BindToviraController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
  const double x = scrollView.contentOffset().x;
  selectTab(x >= 0 && x < scrollView.frame().size.width - 10);
}

// ---- Neighbours -----------------------------------------------------------------------------

void BindToviraController::back() {
  if (auto tabs = tabBarController()) {
    tabs->dismissViewControllerAnimated(true);
  } else {
    dismissViewControllerAnimated(true);
  }
}

void BindToviraController::tologin() { presentViewController(LoginViewController::create(), true); }

// ---- Binding --------------------------------------------------------------------------------

void BindToviraController::resignFields() {
  username_->resignFirstResponder();
  password_->resignFirstResponder();
  qxuserpassword_->resignFirstResponder();
}

void BindToviraController::tapGestureRecognizer() { resignFields(); }

void BindToviraController::bindtovira() {
  resignFields();
  const Value user = TempData::getuserdata();
  if (user.isNil()) {
    tologin();
    return;
  }
  if (bindplatid_.empty()) {
    WalletStyle::alert("您还没有选择游戏", "请选择游戏后进行绑定", "确定");
    return;
  }
  if (username_->text().empty()) {
    WalletStyle::alert("您还没有填写用户名", "请填写用户名之后进行绑定", "确定");
    return;
  }
  if (password_->text().empty()) {
    WalletStyle::alert("您还没有填写密码", "请填写密码之后进行绑定", "确定");
    return;
  }
  auto keepAlive = sharedSelf<BindToviraController>();
  const Value reply = ServerController::bindToviraWidthQxusername(
      user["username"].str(), user["token"].str(), username_->text(), password_->text(),
      bindplatid_);
  if (reply.isNil()) return;
  if (reply["state"].isEqualToString("ok")) {
    UserHelper::reLogin();
    loadAccountList();
    WalletStyle::alert("绑定成功", "恭喜您，您已经绑定成功！", "确定");
  } else {
    WalletStyle::alert("绑定失败", reply["msg"].str(), "确定");
  }
}

// ---- The account list -----------------------------------------------------------------------

void BindToviraController::loadAccountList() {
  UserHelper::reLogin();
  rebuildAccounts(TempData::getuserdata()["bondlist"]);
}

void BindToviraController::rebuildAccounts(const Value& bondlist) {
  auto self = sharedSelf<BindToviraController>();
  const double W = myAccountView_->frame().size.width;
  const double H = myAccountView_->frame().size.height;
  // The old list goes after the current event, since a row's own button may be running.
  WalletStyle::removeLater(accountScrollView_);
  accountScrollView_ = UIScrollView::create(CGRectMake(0, 0, W, H));
  myAccountView_->addSubview(accountScrollView_);
  addNeedKnowBtn();
  addNeedKnowView();

  // Only dictionaries make rows; a row's buttons find their account by its position.
  std::vector<Value> accounts;
  for (const auto& entry : bondlist.arrayValue()) {
    if (entry.isDict()) accounts.push_back(entry);
  }
  rowsBondlist_ = accounts;
  const double n = static_cast<double>(accounts.size());
  accountScrollView_->setContentSize(CGSizeMake(0, 120 + 50 * n));
  needKnowBtn_->setFrame(CGRectMake(0, 50 * n + 5, W, 30));
  needKnowView_->setFrame(CGRectMake(0, CGRectGetMaxY(needKnowBtn_->frame()) + 7, W, 85));

  for (size_t i = 0; i < accounts.size(); ++i) {
    const Value& account = accounts[i];
    const std::string platId = account["plat_id"].str();
    auto row = UIView::create(CGRectMake(0, 50 * static_cast<double>(i), W, 40));
    auto icon = UIImageView::create(CGRectMake(5, 10, 30, 30));
    icon->layer().setCornerRadius(10);
    const std::string iconName = Config::platformIconName(platId);
    if (!iconName.empty()) icon->setImage(UIImage::imageNamed(iconName));
    row->addSubview(icon);
    row->addSubview(makeLabel(CGRectMake(40, 5, 150, 20), account["username"].str(), 12));
    const std::string platName = GamePlatform::exchangeLabel(platId);
    auto second =
        makeLabel(CGRectMake(40, 20, 150, 20), platName.empty() ? "" : "平台：" + platName, 10);
    second->setTextColor(UIColor::grayColor());
    row->addSubview(second);
    row->addSubview(rule(CGRectMake(0, 49.5, W, 0.5)));

    auto copy = WalletStyle::button(CGRectMake(W - 90, 10, 30, 30), "复制", blue(),
                                    UIColor::clearColor(), 13);
    copy->setTag(kCopyTagBase + static_cast<long>(i));
    auto divider = rule(CGRectMake(W - 55, 10, 0.5, 30));
    auto unbind = WalletStyle::button(CGRectMake(W - 50, 10, 30, 30), "解除", UIColor::grayColor(),
                                      UIColor::clearColor(), 13);
    unbind->setTag(kUnbindTagBase + static_cast<long>(i));
    std::weak_ptr<BindToviraController> weak = self;
    for (const auto& button : {copy, unbind}) {
      button->addTarget(
          self,
          [weak](UIControl& sender) {
            if (auto s = weak.lock()) s->buttonClick(static_cast<UIButton&>(sender));
          },
          UIControlEventTouchUpInside);
    }
    row->addSubview(copy);
    row->addSubview(divider);
    row->addSubview(unbind);
    accountScrollView_->addSubview(row);
  }
}

void BindToviraController::addNeedKnowBtn() {
  auto self = sharedSelf<BindToviraController>();
  const double W = myAccountView_->frame().size.width;
  needKnowBtn_ = UIButton::buttonWithType(UIButtonTypeCustom);
  needKnowBtn_->setFrame(CGRectMake(0, 0, W, 40));
  needKnowBtn_->addTarget(self, WalletStyle::action(self, &BindToviraController::accountNeedKnow),
                          UIControlEventTouchUpInside);
  auto label = makeLabel(CGRectMake(10, 10, 100, 20), "账号需知:", 14);
  label->setUserInteractionEnabled(false);
  needKnowBtn_->addSubview(label);
  auto arrow = UIImageView::create(CGRectMake(W - 30, 12.5, 5, 15));
  arrow->setImage(UIImage::imageNamed("ktr_arrow_right.png"));
  needKnowBtn_->addSubview(arrow);
  needKnowBtn_->addSubview(rule(CGRectMake(10, 39.5, W - 40, 0.5)));
  accountScrollView_->addSubview(needKnowBtn_);
}

std::shared_ptr<UIView> BindToviraController::createNum(const std::string& number, double y) {
  auto badge = UIView::create(CGRectMake(5, y, 16, 16));
  badge->layer().setCornerRadius(10);
  auto dot = UIImageView::create(CGRectMake(0, 0, 16, 16));
  dot->setImage(UIImage::imageNamed("ktr_ic_bg_green_dot.png"));
  badge->addSubview(dot);
  auto label = makeLabel(CGRectMake(0, 0, 16, 16), number, 12);
  label->setTextColor(UIColor::whiteColor());
  label->setTextAlignment(NSTextAlignmentCenter);
  badge->addSubview(label);
  return badge;
}

void BindToviraController::addNeedKnowView() {
  const double W = myAccountView_->frame().size.width;
  needKnowView_ = UIView::create(CGRectMake(0, CGRectGetMaxY(needKnowBtn_->frame()) + 7, W, 85));
  struct Line {
    std::string text;
    std::vector<std::string> red;
    double height;
  };
  const std::vector<Line> lines = {
      {NSString::stringWithFormat("此处记录的游戏账号才可实现%@.", "自动返利"), {"自动返利"}, 20},
      {"已解除的游戏账号充值后无法获得返利.", {"已解除", "无法"}, 20},
      {NSString::stringWithFormat("如需重新绑定，可在%@页面提交原账号内容即可.", "“注册游戏账号”"),
       {"“注册游戏账号”"},
       30}};
  for (size_t i = 0; i < lines.size(); ++i) {
    const double y = 6 + 22 * static_cast<double>(i);
    needKnowView_->addSubview(createNum(std::to_string(i + 1), y));
    auto label = UILabel::create(CGRectMake(26, y - 2, W - 35, lines[i].height));
    label->setFont(UIFont::systemFontOfSize(12));
    label->setAttributedText(withRedWords(lines[i].text, lines[i].red));
    if (lines[i].height > 20) label->setNumberOfLines(0);
    needKnowView_->addSubview(label);
  }
  needKnowView_->addSubview(rule(CGRectMake(0, 84.5, W, 0.5)));
  needKnowView_->setHidden(false);
  // A fresh notice is shown, so the next tap on its header folds it.
  selected_ = true;
  accountScrollView_->addSubview(needKnowView_);
}

void BindToviraController::accountNeedKnow() {
  needKnowBtn_->setSelected(selected_);
  CGRect frame = needKnowView_->frame();
  frame.origin.y = CGRectGetMaxY(needKnowBtn_->frame()) + 7;
  needKnowView_->setFrame(frame);
  needKnowView_->setHidden(selected_);
  selected_ = !selected_;
}

void BindToviraController::buttonClick(UIButton& button) {
  const long tag = button.tag();
  const bool copy = tag >= kCopyTagBase && tag < kUnbindTagBase;
  const long index = tag - (copy ? kCopyTagBase : kUnbindTagBase);
  if (index < 0 || static_cast<size_t>(index) >= rowsBondlist_.size()) return;
  const Value account = rowsBondlist_[static_cast<size_t>(index)];
  if (copy) {
    UIPasteboard::generalPasteboard()->setString(account["username"].str());
    WalletStyle::alert("提示", "游戏账号已复制到剪切板", "知道了");
    return;
  }
  unbindUsername_ = account["username"].str();
  unbindplatid_ = account["plat_id"].str();
  unbindtovira();
}

// ---- Unbinding ------------------------------------------------------------------------------

void BindToviraController::unbindtovira() {
  if (!loggedIn()) {
    tologin();
    return;
  }
  view()->bringSubviewToFront(mask_);
  view()->bringSubviewToFront(qxpasswordtanchuview_);
  mask_->setHidden(false);
  qxpasswordtanchuview_->setHidden(false);
}

void BindToviraController::maskclick() {
  qxpasswordtanchuview_->setHidden(true);
  mask_->setHidden(true);
}

void BindToviraController::reallyunbindtovira() {
  resignFields();
  const Value user = TempData::getuserdata();
  if (user.isNil()) {
    tologin();
    return;
  }
  if (unbindplatid_.empty()) {
    WalletStyle::alert("您还没有选择游戏账号", "请选择游戏账号后进行绑定", "确定");
    return;
  }
  auto keepAlive = sharedSelf<BindToviraController>();
  const Value reply = ServerController::unbindToviraWithQxusername(
      user["username"].str(), qxuserpassword_->text(), user["token"].str(), unbindUsername_,
      unbindplatid_);
  if (reply.isNil()) return;
  if (reply["state"].isEqualToString("ok")) {
    UserHelper::reLogin();
    maskclick();
    qxuserpassword_->setText("");
    loadAccountList();
    WalletStyle::alert("解除绑定成功", "恭喜您，您已经解除绑定成功！", "确定");
  } else {
    WalletStyle::alert("解除绑定失败", reply["msg"].str(), "确定");
  }
}

// ---- Text input -----------------------------------------------------------------------------

std::shared_ptr<UILabel> BindToviraController::placeholderFor(const UITextField& field) const {
  if (&field == username_.get()) return usernamelabel_;
  if (&field == password_.get()) return passwordlabel_;
  return nullptr;
}

bool BindToviraController::textFieldShouldReturn(UITextField& textField) {
  textField.resignFirstResponder();
  return true;
}

bool BindToviraController::textFieldShouldEndEditing(UITextField&) {
  // The field is leaving editing already; resigning again from here would ask this once more.
  return true;
}

bool BindToviraController::shouldChangeCharactersInRange(UITextField& textField, NSRange range,
                                                         const std::string& replacement) {
  bool accept = true;
  if (&textField == username_.get()) {
    for (const char c : replacement) {
      const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
      if (!plain) {
        accept = false;
        break;
      }
    }
  }
  if (auto placeholder = placeholderFor(textField)) {
    // The placeholder shows exactly when the field will be empty, whether or not the change
    // is taken.
    const std::string& text = textField.text();
    std::string after = text;
    if (accept) {
      after = NSString::substringToIndex(text, range.location) + replacement +
              NSString::substringFromIndex(text, range.location + range.length);
    }
    placeholder->setHidden(!after.empty());
  }
  return accept;
}

bool BindToviraController::textFieldShouldClear(UITextField& textField) {
  if (auto placeholder = placeholderFor(textField)) placeholder->setHidden(false);
  return true;
}
