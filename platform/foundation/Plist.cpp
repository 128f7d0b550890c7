#include "platform/foundation/Plist.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/foundation/NSString.h"
#include "platform/foundation/PlistFormat.h"

namespace plist_format {

namespace date_detail {
// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back: 400-year eras
// of 146097 days, years counted from March so that the leap day ends each year.
int64_t daysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(int64_t z, int64_t& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  d = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yearOfEra + era * 400 + (m <= 2);
}

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
  const auto whole = static_cast<int64_t>(second);
  int64_t days = whole / 86400, rest = whole % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  int64_t year = 0;
  int month = 0, day = 0;
  civilFromDays(days, year, month, day);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", static_cast<int>(year), month,
                day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                static_cast<int>(rest % 60));
  return std::string(buf);
}

std::optional<double> parseXmlDate(std::string_view t) {
  using namespace date_detail;
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
  return static_cast<double>(daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 +
                             second);
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
