#include "ScreenFixture.h"

#include <functional>

#include "account/AccountClasses.h"
#include "platform/automation/Automation.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"
#include "shell/AppMain.h"
#include "shell/TabBarController.h"
#include "wallet/WalletClasses.h"

void ScreenFixture::SetUp() {
  AppFixture::SetUp();
  Automation::resetPlatform(sandboxRoot() + "/device");
  registerUIKitClasses();
  registerShellClasses();
  registerAccountClasses();
  registerWalletClasses();
}

void ScreenFixture::TearDown() {
  tabs_.reset();
  home_.reset();
  window_.reset();
  Automation::resetPlatform();
  AppFixture::TearDown();
}

void ScreenFixture::showHome() {
  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  home_ = UIViewController::create();
  window_->setRootViewController(home_);
  window_->makeKeyAndVisible();
}

void ScreenFixture::openTabs() {
  showHome();
  tabs_ = TabBarController::create();
  home_->presentViewController(tabs_, false);
  pump();
}

void ScreenFixture::presentOverHome(const std::shared_ptr<UIViewController>& screen,
                                    bool animated) {
  showHome();
  home_->presentViewController(screen, animated);
  pump();
}

std::shared_ptr<UIView> ScreenFixture::shown(const std::string& text, Where where) {
  auto view = Automation::findByText(text);
  if (!view)
    ADD_FAILURE_AT(where.file_name(), where.line()) << "nothing on screen reads \"" << text << "\"";
  return view;
}

std::shared_ptr<UILabel> ScreenFixture::shownLabel(const std::string& text, Where where) {
  return std::dynamic_pointer_cast<UILabel>(shown(text, where));
}

std::shared_ptr<UIView> ScreenFixture::inside(const std::shared_ptr<UIView>& root,
                                              const std::string& text, Where where) {
  std::function<std::shared_ptr<UIView>(const std::shared_ptr<UIView>&)> search =
      [&](const std::shared_ptr<UIView>& view) -> std::shared_ptr<UIView> {
    if (!view) return nullptr;
    if (auto button = std::dynamic_pointer_cast<UIButton>(view)) {
      if (button->currentTitle() == text) return view;
    } else if (auto label = std::dynamic_pointer_cast<UILabel>(view)) {
      if (label->text() == text) return view;
    }
    for (const auto& sub : view->subviews()) {
      if (auto found = search(sub)) return found;
    }
    return nullptr;
  };
  auto found = search(root);
  if (!found)
    ADD_FAILURE_AT(where.file_name(), where.line()) << "no view inside reads \"" << text << "\"";
  return found;
}

void ScreenFixture::closeLogin(Where where) {
  auto top = Automation::topViewController();
  const std::string name = top ? top->className() : "nothing";
  if (name != "LoginViewController") {
    ADD_FAILURE_AT(where.file_name(), where.line()) << "the login screen is not on top: " << name;
    return;
  }
  top->dismissViewControllerAnimated(false);
  pump();
}

std::string ScreenFixture::frames(const std::vector<std::shared_ptr<UIView>>& views) {
  std::string out;
  for (const auto& view : views)
    out += (out.empty() ? "" : " ") + (view ? CGRectDescription(view->frame()) : "nil");
  return out;
}

std::string ScreenFixture::colouredRanges(const std::shared_ptr<UILabel>& label) {
  if (!label || !label->attributedText()) return "";
  std::string out;
  for (const auto& run : label->attributedText()->colorRanges()) {
    if (!out.empty()) out += " ";
    out += std::to_string(run.range.location) + "+" + std::to_string(run.range.length) + "=" +
           (run.color ? run.color->description() : "none");
  }
  return out;
}

std::string ScreenFixture::takeAlert() {
  const std::string text = Automation::alertText();
  if (Automation::currentAlert()) Automation::pressAlertButtonAtIndex(0);
  pump();
  return text;
}
