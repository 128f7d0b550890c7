// XML and binary property lists, as pasteboards of other apps, user defaults and the keychain's
// files are read: nothing may crash or abort, and what reads must write out and read back (the
// binary form as the same value).
#include "platform/foundation/Plist.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto value = Plist::parse(std::vector<uint8_t>(data, data + size));
  if (!value || value->isNil()) return 0;
  const auto binary = Plist::toBinary(*value);
  const auto back = binary.empty() ? std::nullopt : Plist::parse(binary);
  if (!binary.empty() && !back) std::abort();
  // NaN equals nothing, not even itself: such values compare by their description.
  if (back && *back != *value && back->description() != value->description()) std::abort();
  const auto xml = Plist::toXML(*value);
  if (!xml.empty() && !Plist::parse(xml)) std::abort();
  return 0;
}
