#include "games/GamesClasses.h"

#include "platform/foundation/NSObject.h"

// Each screen adds its TOVIRA_DECLARE_REGISTRATION line above and its call below.
TOVIRA_DECLARE_REGISTRATION(BindToviraController);
TOVIRA_DECLARE_REGISTRATION(LibaoViewController);
TOVIRA_DECLARE_REGISTRATION(LibaoController);
TOVIRA_DECLARE_REGISTRATION(LibaoDuihuanController);
TOVIRA_DECLARE_REGISTRATION(LibaoRecordController);
TOVIRA_DECLARE_REGISTRATION(YaoqingController);
TOVIRA_DECLARE_REGISTRATION(YQView);
TOVIRA_DECLARE_REGISTRATION(YaoQingJiangLiController);
TOVIRA_DECLARE_REGISTRATION(InviteGLVC);

void registerGamesClasses() {
  toviraRegisterClass_BindToviraController();
  toviraRegisterClass_LibaoViewController();
  toviraRegisterClass_LibaoController();
  toviraRegisterClass_LibaoDuihuanController();
  toviraRegisterClass_LibaoRecordController();
  toviraRegisterClass_YaoqingController();
  toviraRegisterClass_YQView();
  toviraRegisterClass_YaoQingJiangLiController();
  toviraRegisterClass_InviteGLVC();
}
