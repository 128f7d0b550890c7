// Keyed archives, as the SDK's registration record and messages arrive from other apps.
#include <cstdint>

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto value = NSKeyedUnarchiver::unarchiveObjectWithData(Value::Data(data, data + size));
  if (value) {
    (void)value->description();
    (void)NSKeyedArchiver::archivedDataWithRootObject(*value);
  }
  return 0;
}
