// Keyed archives, as the SDK's registration record and messages arrive from other apps.
//
// The unarchiver shares objects by reference as binary plists do, within the same budget of a
// million values and 64 MB; the value is described (every shared object written out each time)
// and archived again (each distinct string found by its text) only when it expands to a size
// that the SDK's own archives reach, so that no input costs seconds under the sanitizers. What
// the budget lets through beyond that is read by the tests and measured by tovira-bench.
#include <cstdint>

#include "fuzz/ExpandedSize.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"

namespace {
constexpr uint64_t kMaxDescribedValues = 1 << 16;
constexpr uint64_t kMaxDescribedBytes = 4 << 20;
constexpr uint64_t kMaxArchivedBytes = 16 << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto value = NSKeyedUnarchiver::unarchiveObjectWithData(Value::Data(data, data + size));
  if (!value) return 0;
  const auto expanded = fuzz::expandedSize(*value);
  if (expanded.within(kMaxDescribedValues, kMaxDescribedBytes)) (void)value->description();
  if (expanded.bytes <= kMaxArchivedBytes)
    (void)NSKeyedArchiver::archivedDataWithRootObject(*value);
  return 0;
}
