#include "core/Time.h"

#include <cmath>

#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"

int64_t Time::getCurrentTime() {
  return static_cast<int64_t>(std::floor(NSDate::timeIntervalSince1970()));
}

std::string Time::getDateFromTimestamp(int64_t secondsSince1970, const std::string& format) {
  NSDateFormatter formatter;
  formatter.setDateFormat(format);
  return formatter.stringFromDate(static_cast<double>(secondsSince1970));
}
