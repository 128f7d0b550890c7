#include "BindFixture.h"

#include "account/AccountClasses.h"
#include "core/DBHelper.h"
#include "core/TempData.h"
#include "games/BindToviraController.h"
#include "games/GamesClasses.h"
#include "games/LibaoViewController.h"
#include "platform/automation/Automation.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"
#include "shell/AppMain.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"
#include "wallet/WalletClasses.h"

void BindFixture::SetUp() {
  AppFixture::SetUp();
  Automation::resetPlatform();
  SimulatedDevice::shared().reset(sandboxRoot() + "/device");
  registerUIKitClasses();
  registerShellClasses();
  registerAccountClasses();
  registerWalletClasses();
  registerGamesClasses();
}

void BindFixture::TearDown() {
  tabs_.reset();
  home_.reset();
  window_.reset();
  Automation::resetPlatform();
  AppFixture::TearDown();
}

Value BindFixture::user(const std::vector<std::pair<std::string, std::string>>& accounts) {
  Value bondlist = Value::array();
  for (const auto& [plat, name] : accounts) {
    bondlist.append(Value::dict({{"plat_id", plat}, {"username", name}}));
  }
  return Value::dict({{"username", "13812345678"},
                      {"token", "tok123"},
                      {"gold", "10.00"},
                      {"bound_gold", "5"},
                      {"is_special", "0"},
                      {"bondlist", bondlist}});
}

Value BindFixture::games(const std::vector<std::vector<std::string>>& rows) {
  Value data = Value::array();
  for (const auto& row : rows) {
    data.append(Value::dict(
        {{"plat_gameshort", row.at(0)}, {"plat_gamename", row.at(1)}, {"plat_id", row.at(2)}}));
  }
  return Value::dict({{"state", "ok"}, {"msg", ""}, {"data", data}});
}

void BindFixture::rememberLogin() {
  DBHelper db;
  ASSERT_TRUE(db.open());
  db.createTables();
  db.saveLogin("13812345678", "app123", 1);
  db.close();
}

void BindFixture::reloginAs(const Value& refreshed) {
  server().reply("login", Value::dict({{"state", "ok"}, {"data", refreshed}}));
}

std::shared_ptr<BindToviraController> BindFixture::openBinding() {
  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  home_ = UIViewController::create();
  window_->setRootViewController(home_);
  window_->makeKeyAndVisible();
  tabs_ = TabBarController::create();
  home_->presentViewController(tabs_, false);
  pump();
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "BindToviraController");
  pump();
  auto bind = std::dynamic_pointer_cast<BindToviraController>(tabs_->selectedViewController());
  EXPECT_TRUE(bind) << "the binding tab is not selected";
  return bind;
}

std::shared_ptr<LibaoViewController> BindFixture::openGifts() {
  window_ = UIWindow::create(UIScreen::mainScreen()->bounds());
  home_ = UIViewController::create();
  window_->setRootViewController(home_);
  window_->makeKeyAndVisible();
  auto page = LibaoViewController::create();
  home_->presentViewController(page, true);
  pump();
  return page;
}

std::shared_ptr<UIView> BindFixture::shown(const std::string& text) {
  auto view = Automation::findByText(text);
  EXPECT_TRUE(view) << "nothing on screen reads \"" << text << "\"";
  return view;
}

std::string BindFixture::colouredRanges(const std::shared_ptr<UILabel>& label) {
  if (!label || !label->attributedText()) return "";
  std::string out;
  for (const auto& run : label->attributedText()->colorRanges()) {
    if (!out.empty()) out += " ";
    out += std::to_string(run.range.location) + "+" + std::to_string(run.range.length) + "=" +
           (run.color ? run.color->description() : "none");
  }
  return out;
}

std::string BindFixture::takeAlert() {
  const std::string text = Automation::alertText();
  if (Automation::currentAlert()) Automation::pressAlertButtonAtIndex(0);
  pump();
  return text;
}
