#pragma once

#include "platform/foundation/Value.h"

// The login state and the hand-overs between screens, shared by the whole process:
// - UserData: the logged-in user's dictionary (the "data" of the login reply), absent when nobody
//   is logged in; replaced whole, never edited in place.
// - ControllerData: a one-shot dictionary that a screen leaves for the next one it presents.
// - OtherData: the third slot, used by the password-change screen.
// Every call is thread-safe and works on copies (copies of a Value are cheap), so background
// queues may read while the main thread replaces. Setting an absent Value clears a slot.
class TempData {
 public:
  static Value getuserdata();
  static void setuserdata(const Value& userData);
  static Value getcontrollerdata();
  static void setcontrollerdata(const Value& controllerData);
  static Value getotherdata();
  static void setotherdata(const Value& otherData);
  // Clears every slot (tests, and a fresh start).
  static void reset();
};
