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
}
