#pragma once

#include <cstdint>
#include <string>

// Time helpers. Seconds are 64-bit everywhere, so dates after 2038 stay right. Any thread.
class Time {
 public:
  // Whole seconds since 1970 on the main run loop's clock (the virtual clock in tests).
  static int64_t getCurrentTime();
  // The moment written with a date format ("yyyy/MM/dd HH:mm:ss") in the device's time zone
  // and locale; "" for a format that cannot be used.
  static std::string getDateFromTimestamp(int64_t secondsSince1970, const std::string& format);
};
