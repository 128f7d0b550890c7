#include "account/AccountClasses.h"

#include "platform/foundation/NSObject.h"

TOVIRA_DECLARE_REGISTRATION(LoginViewController);
TOVIRA_DECLARE_REGISTRATION(MeController);

void registerAccountClasses() {
  toviraRegisterClass_LoginViewController();
  toviraRegisterClass_MeController();
}
