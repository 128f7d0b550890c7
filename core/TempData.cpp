#include "core/TempData.h"

#include <mutex>

namespace {

struct Slots {
  std::mutex mutex;
  Value userData;
  Value controllerData;
  Value otherData;
};

Slots& slots() {
  static Slots s;
  return s;
}

Value read(Value Slots::*slot) {
  std::lock_guard lock(slots().mutex);
  return slots().*slot;
}

void write(Value Slots::*slot, const Value& v) {
  std::lock_guard lock(slots().mutex);
  slots().*slot = v;
}

}  // namespace

Value TempData::getuserdata() { return read(&Slots::userData); }
void TempData::setuserdata(const Value& userData) { write(&Slots::userData, userData); }
Value TempData::getcontrollerdata() { return read(&Slots::controllerData); }
void TempData::setcontrollerdata(const Value& controllerData) {
  write(&Slots::controllerData, controllerData);
}
Value TempData::getotherdata() { return read(&Slots::otherData); }
void TempData::setotherdata(const Value& otherData) { write(&Slots::otherData, otherData); }

void TempData::reset() {
  std::lock_guard lock(slots().mutex);
  slots().userData = Value();
  slots().controllerData = Value();
  slots().otherData = Value();
}
