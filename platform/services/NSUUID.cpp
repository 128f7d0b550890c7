#include "platform/services/NSUUID.h"

#include <mutex>
#include <random>

#include "platform/foundation/NSString.h"

std::string NSUUID::UUIDString() {
  static std::mutex mutex;
  static std::mt19937_64 generator{std::random_device{}()};
  uint64_t high, low;
  {
    std::lock_guard<std::mutex> lock(mutex);
    high = generator();
    low = generator();
  }
  high = (high & ~0xF000ull) | 0x4000ull;                // version 4
  low = (low & ~(0xC000ull << 48)) | (0x8000ull << 48);  // RFC 4122 variant
  return NSString::stringWithFormat("%08llX-%04llX-%04llX-%04llX-%012llX", high >> 32,
                                    (high >> 16) & 0xFFFF, high & 0xFFFF, low >> 48,
                                    low & 0xFFFFFFFFFFFFull);
}
