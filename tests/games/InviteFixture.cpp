#include "InviteFixture.h"

#include "account/AccountClasses.h"
#include "games/GamesClasses.h"
#include "games/YaoqingController.h"
#include "platform/automation/Automation.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"
#include "shell/AppMain.h"
#include "shell/TabBarController.h"
#include "wallet/WalletClasses.h"

void InviteFixture::SetUp() {
  AppFixture::SetUp();
  Automation::resetPlatform();
  SimulatedDevice::shared().reset(sandboxRoot() + "/device");
  PhotoAlbum::shared().reset();
  registerUIKitClasses();
  registerShellClasses();
  registerAccountClasses();
  registerWalletClasses();
  registerGamesClasses();
}

void InviteFixture::TearDown() {
  invite_.reset();
  tabs_.reset();
  home_.reset();
  window_.reset();
  PhotoAlbum::shared().reset();
  Automation::resetPlatform();
  AppFixture::TearDown();
}

Value InviteFixture::user() {
  return Value::dict({{"username", "demo"},
                      {"token", "tok123"},
                      {"gold", "1280.00"},
                      {"bound_gold", "356"},
                      {"is_special", "0"},
                      {"inviteurl", kInviteUrl},
                      {"bondlist", Value::array()}});
}

void InviteFixture::openTabs() {
  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  home_ = UIViewController::create();
  window_->setRootViewController(home_);
  window_->makeKeyAndVisible();
  tabs_ = TabBarController::create();
  home_->presentViewController(tabs_, false);
  pump();
}

void InviteFixture::tapBar(const std::string& title) {
  for (long i = 0; i < 5; ++i) {
    auto button = tabs_->barButton(i);
    if (button && button->currentTitle() == title) {
      Automation::tap(button);
      pump();
      return;
    }
  }
  ADD_FAILURE() << "the tab bar has no button \"" << title << "\"";
}

std::shared_ptr<YaoqingController> InviteFixture::openInviteTab() {
  if (!tabs_) openTabs();
  tapBar("邀请");
  invite_ = std::dynamic_pointer_cast<YaoqingController>(tabs_->selectedViewController());
  EXPECT_TRUE(invite_) << "the invitation tab is not a YaoqingController";
  return invite_;
}

std::shared_ptr<UIView> InviteFixture::shown(const std::string& text) {
  auto view = Automation::findByText(text);
  EXPECT_TRUE(view) << "nothing on screen reads \"" << text << "\"";
  return view;
}

std::shared_ptr<UIView> InviteFixture::inside(const std::shared_ptr<UIView>& root,
                                              const std::string& text) {
  if (!root) return nullptr;
  if (Automation::textOf(root) == text) return root;
  for (const auto& sub : root->subviews()) {
    if (auto found = inside(sub, text)) return found;
  }
  return nullptr;
}

std::string InviteFixture::colouredRanges(const std::shared_ptr<UILabel>& label) {
  if (!label || !label->attributedText()) return "";
  std::string out;
  for (const auto& run : label->attributedText()->colorRanges()) {
    if (!out.empty()) out += " ";
    out += std::to_string(run.range.location) + "+" + std::to_string(run.range.length) + "=" +
           (run.color ? run.color->description() : "none");
  }
  return out;
}

std::string InviteFixture::takeAlert() {
  const std::string text = Automation::alertText();
  if (Automation::currentAlert()) Automation::pressAlertButtonAtIndex(0);
  pump();
  return text;
}

std::string InviteFixture::presentedClass() {
  auto presented = tabs_ ? tabs_->presentedViewController() : nullptr;
  return presented ? presented->className() : "";
}
