#include "platform/foundation/Plist.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/foundation/NSString.h"
#include "platform/foundation/PlistFormat.h"

namespace plist_format {

namespace date_detail {
// 0001-01-01T00:00:00Z and 10000-01-01T00:00:00Z in seconds since 1970.
constexpr double kFirstXmlSecond = -62135596800.0;
constexpr double kPastXmlSeconds = 253402300800.0;
}  // namespace date_detail

double since1970(double since2001) { return since2001 + kEpoch2001; }

double since2001(double since1970) {
  const double d = since1970 - kEpoch2001;
  if (!std::isfinite(d)) return d;
  // Other writers give dates in whole microseconds: of the doubles that read back as this
  // moment, the one of whole microseconds is what such a writer wrote.
  // (Beyond 9e9 seconds, about year 2286, a double holds no single microseconds.)
  const double micro = std::nearbyint(d * 1e6) / 1e6;
  if (std::fabs(d) < 9e9 && micro + kEpoch2001 == since1970) return micro;
  for (double candidate : {d, std::nextafter(d, INFINITY), std::nextafter(d, -INFINITY)})
    if (candidate + kEpoch2001 == since1970) return candidate;
  return d;
}

std::optional<std::string> xmlDate(double since1970) {
  using namespace date_detail;
  if (!std::isfinite(since1970)) return std::nullopt;
  const double second = std::floor(since1970);
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
  return static_cast<double>(timegm(&parts));
}

std::string plistText(const std::string& s) {
  const size_t nul = s.find('\0');
  return NSString::sanitizeUTF8(nul == std::string::npos ? s : s.substr(0, nul));
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
  // XML is text: no NUL bytes inside, valid UTF-8.
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.find('\0') != std::string_view::npos || !NSString::isValidUTF8(std::string(text)))
    return std::nullopt;
  return readXml(text, budget);
}

std::optional<Value> parse(const std::string& text) {
  return parse(std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> toBinary(const Value& v) { return plist_format::writeBinary(v); }

std::string toXML(const Value& v) { return plist_format::writeXml(v); }

}  // namespace Plist
