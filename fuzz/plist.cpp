// XML and binary property lists, as pasteboards of other apps, user defaults and the keychain's
// files are read: nothing may crash or abort, and what reads must write out and read back (the
// binary form as the same value).
//
// Reading is bounded by the readers' budget: a value may expand to a million values and 64 MB
// when its objects are shared, which a binary plist of a hundred bytes does (arrays that each
// hold the next one twice). Reading such a value, writing it as binary and reading that back
// share the objects and stay cheap, so they are done for every input. The XML form and the
// description write every shared object out again each time: 2^20 values make 46 MB of XML,
// seconds of work under the sanitizers, over the fuzzer's time limit per input. So the value is
// written as XML and read back only when it expands to a size that the app's own property lists
// reach; what the budget lets through beyond that is read by the tests and measured by
// tovira-bench.
#include "platform/foundation/Plist.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/ExpandedSize.h"

namespace {
// About a tenth of a second of XML writing and reading under the sanitizers.
constexpr uint64_t kMaxExpandedValues = 1 << 16;
constexpr uint64_t kMaxExpandedBytes = 4 << 20;
// The binary writer writes each distinct string once, which it finds by the text: 64 MB of one
// shared string cost it more than a second under the sanitizers.
constexpr uint64_t kMaxBinaryBytes = 16 << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto value = Plist::parse(std::vector<uint8_t>(data, data + size));
  if (!value || value->isNil()) return 0;
  const auto expanded = fuzz::expandedSize(*value);
  const bool small = expanded.within(kMaxExpandedValues, kMaxExpandedBytes);
  if (expanded.bytes <= kMaxBinaryBytes) {
    const auto binary = Plist::toBinary(*value);
    const auto back = binary.empty() ? std::nullopt : Plist::parse(binary);
    if (!binary.empty() && !back) std::abort();
    // NaN equals nothing, not even itself: a value holding one compares by its description
    // instead, when it is small enough to describe.
    if (back && *back != *value &&
        (!expanded.holdsNaN || (small && back->description() != value->description())))
      std::abort();
  }
  if (!small) return 0;
  const auto xml = Plist::toXML(*value);
  if (!xml.empty() && !Plist::parse(xml)) std::abort();
  return 0;
}
