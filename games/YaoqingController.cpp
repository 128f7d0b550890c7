#include "games/YaoqingController.h"

#include "account/LoginViewController.h"
#include "core/ServerController.h"
#include "core/TempData.h"
#include "games/InviteGLVC.h"
#include "games/YaoQingJiangLiController.h"
#include "parley/PLApi.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/InviteShare.h"
#include "shell/TabBarController.h"
#include "wallet/TiXianVC.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(YaoqingController, UIViewController)

namespace {

std::shared_ptr<UIColor> captionBlue() { return UIColor::rgb(75, 117, 162); }

// The "%@" text of a summary value; a value the server left out reads 0, not "(null)".
std::string orZero(const Value& value) { return value.isNil() ? std::string("0") : value.str(); }

}  // namespace

YaoqingController::~YaoqingController() {
  // The page lies on the tab bar controller's view, which may outlive this screen.
  if (mainScroll_) mainScroll_->removeFromSuperview();
}

void YaoqingController::viewDidLoad() {
  const CGRect screen = UIScreen::mainScreen()->bounds();
  tempDeveiceWidth_ = screen.size.width;
  tempDeveiceHeight_ = screen.size.height;
  userDic_ = TempData::getuserdata();

  mainScroll_ = UIScrollView::create(CGRectMake(0, 0, tempDeveiceWidth_, tempDeveiceHeight_));
  mainScroll_->setBackgroundColor(UIColor::rgb(190, 239, 239));
  // The page covers the whole screen, so it lies on the tab bar controller's view; a screen
  // shown outside a tab bar keeps it on its own view.
  auto tabs = tabBarController();
  auto host = tabs ? tabs->view() : view();
  auto ownTabs = std::dynamic_pointer_cast<TabBarController>(tabs);
  auto bar = ownTabs ? ownTabs->bar() : nullptr;
  if (bar && bar->superview() == host) {
    // The tab bar's own bar stays in front of the page, and the end of the page can be
    // scrolled clear of it.
    host->insertSubviewBelowSubview(mainScroll_, bar);
    mainScroll_->setContentInset(UIEdgeInsetsMake(0, 0, TabBarController::kBarHeight, 0));
  } else {
    host->addSubview(mainScroll_);
  }
  initSubView();
}

void YaoqingController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  if (mainScroll_) mainScroll_->setHidden(false);
  // Loaded while nobody was logged in: the player has logged in since, so the tab takes his
  // data now and asks for his summary once.
  if (userDic_.isNil() && !TempData::getuserdata().isNil()) {
    userDic_ = TempData::getuserdata();
    addData();
  }
}

void YaoqingController::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  // The page is not on this screen's own view: another tab must not show it.
  if (mainScroll_) mainScroll_->setHidden(true);
}

void YaoqingController::raisePage() {
  if (!mainScroll_) return;
  if (auto host = mainScroll_->superview()) host->bringSubviewToFront(mainScroll_);
}

void YaoqingController::lowerPage() {
  // Once no sheet is open the tab bar's own bar is in front again.
  if (yqView_ || chooseView_) return;
  if (auto tabs = std::dynamic_pointer_cast<TabBarController>(tabBarController())) {
    tabs->updateBarButtons();
  }
}

void YaoqingController::initSubView() {
  auto self = sharedSelf<YaoqingController>();
  std::weak_ptr<YaoqingController> weak = self;
  const double W = tempDeveiceWidth_;
  const double headerHeight = W * 755 / 720;

  auto header = UIImageView::create(CGRectMake(0, 0, W, headerHeight));
  header->setImage(UIImage::imageNamed("ktr_invte_top.png"));
  mainScroll_->addSubview(header);
  auto title = WalletStyle::label(CGRectMake((W - 100) / 2, 20, 100, 40), "邀请好友", 18);
  title->setTextAlignment(NSTextAlignmentCenter);
  mainScroll_->addSubview(title);
  auto backButton = UIButton::buttonWithType(UIButtonTypeCustom);
  backButton->setFrame(CGRectMake(0, 0, 50, 50));
  auto backImage = UIImageView::create(CGRectMake(10, 25, 25, 25));
  backImage->setImage(UIImage::imageNamed("ktr_back.png"));
  backButton->addSubview(backImage);
  backButton->addTarget(self, WalletStyle::action(self, &YaoqingController::back),
                        UIControlEventTouchUpInside);
  mainScroll_->addSubview(backButton);

  auto caption = WalletStyle::label(CGRectMake((W - 150) / 2, headerHeight + 20, 150, 20),
                                    "累计奖励（绑定金币）", 14);
  caption->setTextAlignment(NSTextAlignmentCenter);
  caption->setTextColor(captionBlue());
  mainScroll_->addSubview(caption);
  const double ruleLength = (W - 190) / 2;
  auto leftRule = UIView::create(CGRectMake(10, headerHeight + 30, ruleLength, 0.5));
  leftRule->setBackgroundColor(captionBlue());
  mainScroll_->addSubview(leftRule);
  auto rightRule = UIView::create(
      CGRectMake(CGRectGetMaxX(caption->frame()) + 10, headerHeight + 30, ruleLength, 0.5));
  rightRule->setBackgroundColor(captionBlue());
  mainScroll_->addSubview(rightRule);

  goldLab_ = WalletStyle::label(CGRectMake(0, CGRectGetMaxY(caption->frame()), W, 50), "0", 30);
  goldLab_->setTextAlignment(NSTextAlignmentCenter);
  mainScroll_->addSubview(goldLab_);

  friendLab_ = WalletStyle::label(CGRectMake(0, CGRectGetMaxY(goldLab_->frame()), W, 20), "", 14);
  friendLab_->setTextAlignment(NSTextAlignmentCenter);
  friendLab_->setTextColor(captionBlue());
  friendLab_->setUserInteractionEnabled(true);
  friendLab_->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak] {
    if (auto page = weak.lock()) page->to_invitePrize();
  }));
  auto underline = UIView::create(CGRectMake((W - 120) / 2, 19.5, 120, 0.5));
  underline->setBackgroundColor(captionBlue());
  friendLab_->addSubview(underline);
  mainScroll_->addSubview(friendLab_);

  auto invite =
      WalletStyle::button(CGRectMake(20, CGRectGetMaxY(friendLab_->frame()) + 20, W - 40, 30),
                          "立即邀请", UIColor::whiteColor(), UIColor::rgb(47, 128, 197), 14);
  invite->layer().setCornerRadius(3);
  invite->addTarget(self, WalletStyle::action(self, &YaoqingController::inviteRightNow),
                    UIControlEventTouchUpInside);
  mainScroll_->addSubview(invite);

  const double linksY = CGRectGetMaxY(invite->frame()) + 10;
  auto linkButton = [&](double x, const std::string& text, const std::string& icon,
                        void (YaoqingController::*action)()) {
    auto button =
        WalletStyle::button(CGRectMake(x, linksY, 80, 30), text, UIColor::redColor(), nullptr, 14);
    auto image = UIImageView::create(CGRectMake(0, 5, 20, 20));
    image->setImage(UIImage::imageNamed(icon));
    button->addSubview(image);
    button->setTitleEdgeInsets(UIEdgeInsetsMake(0, 20, 0, 0));
    button->addTarget(self, WalletStyle::action(self, action), UIControlEventTouchUpInside);
    mainScroll_->addSubview(button);
  };
  linkButton(20, "邀请攻略", "ktr_gl.png", &YaoqingController::to_gonglue);
  linkButton(W - 100, "绑金提现", "ktr_tx.png", &YaoqingController::to_tixian);

  mainScroll_->setContentSize(CGSizeMake(W, headerHeight + 220));
  addData();
}

void YaoqingController::addData() {
  if (TempData::getuserdata().isNil()) {
    goldLab_->setText("0");
    friendLab_->setText("成功邀请好友0人");
    return;
  }
  const Value reply = ServerController::getInviteWithQxusername(userDic_["username"].str(),
                                                                userDic_["token"].str());
  // A nil reply has had its network alert already; a refusal changes nothing either.
  if (!reply["state"].isEqualToString("ok")) return;
  data_ = reply["data"];
  goldLab_->setText(orZero(data_["sum"]));
  friendLab_->setText(NSString::stringWithFormat("成功邀请好友%@人>", orZero(data_["count"])));
}

bool YaoqingController::needsLogin() const {
  return TempData::getuserdata().isNil() || userDic_.isNil();
}

void YaoqingController::tologin() { presentViewController(LoginViewController::create(), true); }

void YaoqingController::back() { dismissViewControllerAnimated(true); }

std::shared_ptr<UIView> YaoqingController::dimmingView(void (YaoqingController::*action)()) {
  auto self = sharedSelf<YaoqingController>();
  std::weak_ptr<YaoqingController> weak = self;
  auto dim = UIView::create(CGRectMake(0, 0, tempDeveiceWidth_, tempDeveiceHeight_));
  dim->setBackgroundColor(UIColor::blackColor());
  dim->setAlpha(0.4);
  dim->setUserInteractionEnabled(true);
  dim->addGestureRecognizer(UITapGestureRecognizer::create(self, [weak, action] {
    if (auto page = weak.lock()) ((*page).*action)();
  }));
  return dim;
}

void YaoqingController::inviteRightNow() {
  if (needsLogin()) {
    tologin();
    return;
  }
  if (yqView_) return;  // one sheet at a time
  const double W = tempDeveiceWidth_;
  const double H = tempDeveiceHeight_;
  // While a sheet is open the page and its mask cover the whole screen, the tab bar's own bar
  // included, so that the bottom of the sheets can be reached.
  raisePage();
  mask_ = dimmingView(&YaoqingController::maskclick);
  mainScroll_->addSubview(mask_);
  shareUrl_ = userDic_["inviteurl"].str();
  yqView_ = YQView::create(CGRectMake(0, H, W, YQView::kHeight), shareUrl_);
  yqView_->delegete = std::static_pointer_cast<YQViewDelegate>(sharedSelf<YaoqingController>());
  mainScroll_->addSubview(yqView_);
  auto sheet = yqView_;
  UIView::animateWithDuration(kSheetDuration, [sheet, W, H] {
    sheet->setFrame(CGRectMake(0, H - YQView::kHeight, W, YQView::kHeight));
  });
}

void YaoqingController::maskclick() {
  auto sheet = yqView_;
  auto dim = mask_;
  if (!sheet) return;
  const double W = tempDeveiceWidth_;
  const double H = tempDeveiceHeight_;
  std::weak_ptr<YaoqingController> weak = sharedSelf<YaoqingController>();
  UIView::animateWithDuration(
      kSheetDuration, [sheet, W, H] { sheet->setFrame(CGRectMake(0, H, W, YQView::kHeight)); },
      [weak, sheet, dim](bool) {
        // Only this sheet and its mask go: a second tap during the slide finds them gone.
        if (dim) dim->removeFromSuperview();
        sheet->removeFromSuperview();
        auto page = weak.lock();
        if (!page) return;
        if (page->yqView_ == sheet) page->yqView_.reset();
        if (page->mask_ == dim) page->mask_.reset();
        page->lowerPage();
      });
}

void YaoqingController::shareClick(long tag) {
  switch (tag) {
    case YQView::kCopyLinkTag:
      // Without the player's link there is nothing to copy: he logs in first.
      if (needsLogin()) {
        tologin();
        return;
      }
      UIPasteboard::generalPasteboard()->setString(shareUrl_);
      WalletStyle::alert("提示", "链接已复制到剪切板", "确定");
      return;
    case YQView::kTimelineTag:
    case YQView::kFriendTag:
      if (!PLApi::isPLAppInstalled() || !PLApi::isPLAppSupportApi()) {
        WalletStyle::alert("提示", "请先安装畅聊", "确定");
        return;
      }
      if (tag == YQView::kTimelineTag) {
        plpyqclick();
      } else {
        plhyclick();
      }
      return;
    default:
      return;
  }
}

void YaoqingController::plpyqclick() {
  if (TempData::getuserdata().isNil()) {
    tologin();
    return;
  }
  InviteShare::shareToCircle();
}

void YaoqingController::plhyclick() {
  if (TempData::getuserdata().isNil()) {
    tologin();
    return;
  }
  InviteShare::shareToFriend();
}

void YaoqingController::yqViewLongPress(const std::shared_ptr<UIImage>& image) {
  // Without the player's link the code is blank: he logs in first rather than save nothing.
  if (needsLogin()) {
    tologin();
    return;
  }
  if (!image || chooseView_) return;
  ewmImg_ = image;
  const double W = tempDeveiceWidth_;
  const double H = tempDeveiceHeight_;
  auto self = sharedSelf<YaoqingController>();
  raisePage();
  mask1_ = dimmingView(&YaoqingController::hideMask1);
  mainScroll_->addSubview(mask1_);
  chooseView_ = UIView::create(CGRectMake(0, H, W, kSaveSheetHeight));
  chooseView_->setBackgroundColor(UIColor::whiteColor());
  auto save =
      WalletStyle::button(CGRectMake(0, 0, W, 50), "保存", UIColor::blackColor(), nullptr, 15);
  save->addTarget(self, WalletStyle::action(self, &YaoqingController::saveImageToAlbum),
                  UIControlEventTouchUpInside);
  chooseView_->addSubview(save);
  auto cancel = UIButton::buttonWithType(UIButtonTypeSystem);
  cancel->setFrame(CGRectMake(0, 50, W, 50));
  cancel->setTitle("取消");
  cancel->addTarget(self, WalletStyle::action(self, &YaoqingController::hideMask1),
                    UIControlEventTouchUpInside);
  chooseView_->addSubview(cancel);
  auto rule = UIView::create(CGRectMake(0, 49.5, W, 0.5));
  rule->setBackgroundColor(UIColor::rgb(190, 239, 239));
  chooseView_->addSubview(rule);
  mainScroll_->addSubview(chooseView_);
  auto sheet = chooseView_;
  UIView::animateWithDuration(kSheetDuration, [sheet, W, H] {
    sheet->setFrame(CGRectMake(0, H - kSaveSheetHeight, W, kSaveSheetHeight));
  });
}

void YaoqingController::hideMask1() {
  auto sheet = chooseView_;
  auto dim = mask1_;
  if (!sheet) return;
  const double W = tempDeveiceWidth_;
  const double H = tempDeveiceHeight_;
  std::weak_ptr<YaoqingController> weak = sharedSelf<YaoqingController>();
  UIView::animateWithDuration(
      kSheetDuration, [sheet, W, H] { sheet->setFrame(CGRectMake(0, H, W, kSaveSheetHeight)); },
      [weak, sheet, dim](bool) {
        if (dim) dim->removeFromSuperview();
        sheet->removeFromSuperview();
        auto page = weak.lock();
        if (!page) return;
        if (page->chooseView_ == sheet) page->chooseView_.reset();
        if (page->mask1_ == dim) page->mask1_.reset();
        page->lowerPage();
      });
}

void YaoqingController::saveImageToAlbum() {
  if (needsLogin() || !ewmImg_) {
    hideMask1();
    tologin();
    return;
  }
  std::weak_ptr<YaoqingController> weak = sharedSelf<YaoqingController>();
  UIImageWriteToSavedPhotosAlbum(ewmImg_,
                                 [weak](const std::shared_ptr<UIImage>&, const std::string& error) {
                                   if (auto page = weak.lock())
                                     page->imageSavedToPhotosAlbum(error);
                                 });
}

void YaoqingController::imageSavedToPhotosAlbum(const std::string& error) {
  hideMask1();
  WalletStyle::alert("提示", error.empty() ? std::string("成功保存到相册") : error, "确定");
}

void YaoqingController::to_invitePrize() {
  if (needsLogin()) {
    tologin();
    return;
  }
  if (data_.isNil()) return;  // no summary yet
  TempData::setcontrollerdata(data_);
  presentViewController(YaoQingJiangLiController::create(), true);
}

void YaoqingController::to_gonglue() { presentViewController(InviteGLVC::create(), true); }

void YaoqingController::to_tixian() { presentViewController(TiXianVC::create(), true); }
