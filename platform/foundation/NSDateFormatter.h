#pragma once
// Date formatting with TR35 patterns ("yyyy-MM-dd HH:mm:ss") through ICU. Dates are
// seconds since 1970 as doubles (exact for every 64-bit second count a date can have).
// A formatter starts with the device's time zone and locale, which default to
// "Asia/Shanghai" and "zh_CN" (the app's users' device) and are settable for tests. One
// formatter may be used from several threads (it locks itself).
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class NSDateFormatter {
 public:
  NSDateFormatter();
  ~NSDateFormatter();
  NSDateFormatter(const NSDateFormatter&) = delete;
  NSDateFormatter& operator=(const NSDateFormatter&) = delete;

  void setDateFormat(const std::string& tr35);
  std::string dateFormat() const;
  void setTimeZone(const std::string& id);  // an Olson id or "GMT+08:00"; unknown ids mean GMT
  std::string timeZone() const;
  void setLocale(const std::string& id);                                // "zh_CN", "en_US_POSIX"
  std::string stringFromDate(double secondsSince1970) const;            // "" for a bad pattern
  std::optional<double> dateFromString(const std::string& text) const;  // nullopt unparsable

  static void setDefaultTimeZone(const std::string& id);  // the "device time zone"
  static std::string defaultTimeZone();
  static void setDefaultLocale(const std::string& id);  // the "device locale"
  static std::string defaultLocale();

 private:
  struct Impl;
  mutable std::mutex mutex_;
  std::unique_ptr<Impl> impl_;
};
