// JSON text into Value, as every reply and hand-over is read: nothing may crash, and what reads
// must write out as JSON that reads back to the same value.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/foundation/Value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto value = Value::fromJSON(text);
  if (!value) return 0;
  (void)value->description();
  const auto again = Value::fromJSON(value->toJSON());
  if (!again) std::abort();  // what we wrote is not JSON
  return 0;
}
