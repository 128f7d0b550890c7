// The reply reader of the API client: nothing may crash, and it must agree with Value::fromJSON on
// every input, both on whether the text is JSON and on the value it holds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/JsonReader.h"
#include "platform/foundation/Value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto fast = JsonReader::parse(std::string_view(text));
  const auto reference = Value::fromJSON(text);
  if (fast.has_value() != reference.has_value()) std::abort();
  if (fast && !(*fast == *reference)) std::abort();
  return 0;
}
