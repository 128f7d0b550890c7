#include "games/GamesClasses.h"

#include "platform/foundation/NSObject.h"

// Each screen adds its TOVIRA_DECLARE_REGISTRATION line above and its call below.
TOVIRA_DECLARE_REGISTRATION(YaoqingController);
TOVIRA_DECLARE_REGISTRATION(YQView);
TOVIRA_DECLARE_REGISTRATION(YaoQingJiangLiController);
TOVIRA_DECLARE_REGISTRATION(InviteGLVC);

void registerGamesClasses() {
  toviraRegisterClass_YaoqingController();
  toviraRegisterClass_YQView();
  toviraRegisterClass_YaoQingJiangLiController();
  toviraRegisterClass_InviteGLVC();
}
