#include "BindFixture.h"

#include "games/BindToviraController.h"
#include "games/GamesClasses.h"
#include "games/LibaoViewController.h"
#include "shell/TabBarController.h"
#include "shell/TabBarHelper.h"

void BindFixture::SetUp() {
  ScreenFixture::SetUp();
  registerGamesClasses();
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

void BindFixture::reloginAs(const Value& refreshed) {
  server().reply("login", Value::dict({{"state", "ok"}, {"data", refreshed}}));
}

std::shared_ptr<BindToviraController> BindFixture::openBinding() {
  openTabs();
  TabBarHelper::qiehuanTabBarViewControllers(tabs_, "BindToviraController");
  pump();
  auto bind = std::dynamic_pointer_cast<BindToviraController>(tabs_->selectedViewController());
  EXPECT_TRUE(bind) << "the binding tab is not selected";
  return bind;
}

std::shared_ptr<LibaoViewController> BindFixture::openGifts() {
  return present(LibaoViewController::create(), true);
}
