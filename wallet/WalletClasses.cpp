#include "wallet/WalletClasses.h"

#include "platform/foundation/NSObject.h"

TOVIRA_DECLARE_REGISTRATION(ShopController);
TOVIRA_DECLARE_REGISTRATION(DuiHuanPTBView);
TOVIRA_DECLARE_REGISTRATION(JinBiView);
TOVIRA_DECLARE_REGISTRATION(ChongZhiCardVC);
TOVIRA_DECLARE_REGISTRATION(UserJinBiDHView);
TOVIRA_DECLARE_REGISTRATION(CertainDuiHuanView);
TOVIRA_DECLARE_REGISTRATION(DHSuccessView);
TOVIRA_DECLARE_REGISTRATION(RuleView);
TOVIRA_DECLARE_REGISTRATION(HowGetJinBiView);
TOVIRA_DECLARE_REGISTRATION(TiXianVC);
TOVIRA_DECLARE_REGISTRATION(NeedKnowView);
TOVIRA_DECLARE_REGISTRATION(AddAlipyaVC);
TOVIRA_DECLARE_REGISTRATION(MoneyDetailVC);
TOVIRA_DECLARE_REGISTRATION(MoneyDetailCell);
TOVIRA_DECLARE_REGISTRATION(TXCell);

void registerWalletClasses() {
  toviraRegisterClass_ShopController();
  toviraRegisterClass_DuiHuanPTBView();
  toviraRegisterClass_JinBiView();
  toviraRegisterClass_ChongZhiCardVC();
  toviraRegisterClass_UserJinBiDHView();
  toviraRegisterClass_CertainDuiHuanView();
  toviraRegisterClass_DHSuccessView();
  toviraRegisterClass_RuleView();
  toviraRegisterClass_HowGetJinBiView();
  toviraRegisterClass_TiXianVC();
  toviraRegisterClass_NeedKnowView();
  toviraRegisterClass_AddAlipyaVC();
  toviraRegisterClass_MoneyDetailVC();
  toviraRegisterClass_MoneyDetailCell();
  toviraRegisterClass_TXCell();
}
