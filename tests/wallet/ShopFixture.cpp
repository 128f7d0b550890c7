#include "ShopFixture.h"

#include "platform/uikit/UIViewController.h"
#include "shell/TabBarController.h"
#include "wallet/ShopController.h"

void ShopFixture::TearDown() {
  shop_.reset();
  ScreenFixture::TearDown();
}

Value ShopFixture::user(size_t accounts) {
  Value bondlist = Value::array();
  for (size_t i = 0; i < accounts; ++i) {
    bondlist.append(Value::dict(
        {{"plat_id", i % 2 == 0 ? "1" : "3"}, {"username", "acct" + std::to_string(i)}}));
  }
  return Value::dict({{"username", "demo"},
                      {"token", "tok123"},
                      {"gold", "1280.00"},
                      {"bound_gold", "356"},
                      {"is_special", "0"},
                      {"inviteurl", "http://127.0.0.1/invite/demo"},
                      {"bondlist", bondlist}});
}

std::shared_ptr<ShopController> ShopFixture::openShop() {
  openTabs();
  shop_ = std::dynamic_pointer_cast<ShopController>(tabs_->selectedViewController());
  EXPECT_TRUE(shop_) << "the first tab is not the shop";
  return shop_;
}
