#pragma once

// Keeps the login state fresh after calls that change the player's balances or accounts.
class UserHelper {
 public:
  // Synchronously, on the calling thread: opens the local database, takes the newest remembered
  // login and logs it in again; on a reply that logged the player in
  // (ServerController::loginSucceeded) it replaces UserData with the reply's "data". On no
  // remembered login, a nil reply or any other reply it changes nothing.
  // The database is closed again before it returns.
  static void reLogin();
};
