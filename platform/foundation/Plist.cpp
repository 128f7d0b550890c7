#include "platform/foundation/Plist.h"

#include <unicode/ustring.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/foundation/NSString.h"
#include "platform/foundation/PlistFormat.h"

namespace plist_format {

namespace date_detail {
// 0001-01-01T00:00:00Z and 10000-01-01T00:00:00Z in seconds since 1970.
constexpr double kEpoch2001 = Value::kReferenceDateSince1970;
constexpr double kFirstXmlSecond = -62135596800.0;
constexpr double kPastXmlSeconds = 253402300800.0;
}  // namespace date_detail

std::optional<std::string> xmlDate(double since2001) {
  using namespace date_detail;
  if (!std::isfinite(since2001)) return std::nullopt;
  // The second the moment falls in: flooring is exact, and so is the sum of two whole numbers of
  // seconds far below 2^53, whereas seconds since 1970 as a double may already have rounded a
  // moment just before a second up into it.
  const double second = std::floor(since2001) + kEpoch2001;
  if (second < kFirstXmlSecond || second >= kPastXmlSeconds) return std::nullopt;
  // time_t is 64 bits: gmtime_r and timegm cover every year of the proleptic Gregorian calendar.
  const auto t = static_cast<time_t>(second);
  struct tm parts {};
  if (!gmtime_r(&t, &parts)) return std::nullopt;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return std::string(buf);
}

std::optional<double> parseXmlDate(std::string_view t) {
  // YYYY-MM-DDTHH:MM:SSZ
  if (t.size() != 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
      t[16] != ':' || t[19] != 'Z')
    return std::nullopt;
  auto number = [&](size_t at, size_t width, int& out) {
    out = 0;
    for (size_t i = at; i < at + width; ++i) {
      if (t[i] < '0' || t[i] > '9') return false;
      out = out * 10 + (t[i] - '0');
    }
    return true;
  };
  int year, month, day, hour, minute, second;
  if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || !number(11, 2, hour) ||
      !number(14, 2, minute) || !number(17, 2, second))
    return std::nullopt;
  if (year < 1 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
    return std::nullopt;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return std::nullopt;
  struct tm parts {};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  return static_cast<double>(timegm(&parts)) - date_detail::kEpoch2001;
}

std::string plistText(const std::string& s) { return NSString::sanitizeUTF8(s); }

std::optional<std::string> utf16Document(const uint8_t* bytes, size_t size) {
  if (size < 2 || size % 2 != 0) return std::nullopt;
  const bool bigEndian = bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (!bigEndian && !(bytes[0] == 0xFF && bytes[1] == 0xFE)) return std::nullopt;
  // Past the byte-order mark, as the native units that ICU converts.
  const size_t count = size / 2 - 1;
  if (count > static_cast<size_t>(INT32_MAX)) return std::nullopt;
  std::vector<UChar> units(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = bytes + 2 + 2 * i;
    units[i] = static_cast<UChar>(bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
  }
  // The length first, then the text. A half of a pair on its own is an error, not a character
  // to replace: such a document is not UTF-16.
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(nullptr, 0, &length, units.data(), static_cast<int32_t>(count), &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
  std::string out(static_cast<size_t>(length), '\0');
  status = U_ZERO_ERROR;
  u_strToUTF8(out.data(), length, &length, units.data(), static_cast<int32_t>(count), &status);
  if (U_FAILURE(status) || length != static_cast<int32_t>(out.size())) return std::nullopt;
  return out;
}

}  // namespace plist_format

namespace Plist {

std::optional<Value> parse(const std::vector<uint8_t>& bytes) {
  using namespace plist_format;
  if (bytes.empty()) return std::nullopt;
  const Budget budget(bytes.size());
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), "bplist00", 8) == 0) {
    BinaryTable table;
    if (!table.open(bytes.data(), bytes.size())) return std::nullopt;
    return readBinary(table, table.top(), budget);
  }
  // XML is text: UTF-8, or UTF-16 of either byte order after its byte-order mark; no NUL inside.
  std::string text;
  if (auto converted = utf16Document(bytes.data(), bytes.size()))
    text = std::move(*converted);
  else
    text.assign(bytes.begin(), bytes.end());
  if (text.find('\0') != std::string::npos || !NSString::isValidUTF8(text)) return std::nullopt;
  return readXml(text, budget);
}

std::optional<Value> parse(const std::string& text) {
  return parse(std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> toBinary(const Value& v) { return plist_format::writeBinary(v); }

std::string toXML(const Value& v) { return plist_format::writeXml(v); }

}  // namespace Plist
