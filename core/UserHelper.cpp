#include "core/UserHelper.h"

#include "core/DBHelper.h"
#include "core/ServerController.h"
#include "core/TempData.h"

void UserHelper::reLogin() {
  std::optional<LoginRecord> login;
  {
    DBHelper db;
    if (db.open()) login = db.newestLogin();
  }  // closed before the call, so no database handle is held while the thread waits
  if (!login) return;
  const Value reply = ServerController::loginWithUsername(login->username, login->password);
  if (ServerController::loginSucceeded(reply)) TempData::setuserdata(reply["data"]);
}
