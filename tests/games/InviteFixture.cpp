#include "InviteFixture.h"

#include "games/GamesClasses.h"
#include "games/YaoqingController.h"
#include "platform/automation/Automation.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/uikit/UIButton.h"
#include "shell/TabBarController.h"

void InviteFixture::SetUp() {
  ScreenFixture::SetUp();
  PhotoAlbum::shared().reset();
  registerGamesClasses();
}

void InviteFixture::TearDown() {
  invite_.reset();
  PhotoAlbum::shared().reset();
  ScreenFixture::TearDown();
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

std::shared_ptr<UIView> InviteFixture::inside(const std::shared_ptr<UIView>& root,
                                              const std::string& text) {
  if (!root) return nullptr;
  if (Automation::textOf(root) == text) return root;
  for (const auto& sub : root->subviews()) {
    if (auto found = inside(sub, text)) return found;
  }
  return nullptr;
}

std::string InviteFixture::presentedClass() {
  auto presented = tabs_ ? tabs_->presentedViewController() : nullptr;
  return presented ? presented->className() : "";
}
