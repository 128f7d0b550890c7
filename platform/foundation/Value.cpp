#include "platform/foundation/Value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <nlohmann/json.hpp>

#include "platform/foundation/NSString.h"

namespace {

const Value& absentValue() {
  static const Value* v = new Value();
  return *v;
}
const Value::Dict& emptyDict() {
  static const Value::Dict* d = new Value::Dict();
  return *d;
}
const Value::Array& emptyArray() {
  static const Value::Array* a = new Value::Array();
  return *a;
}
const Value::Data& emptyData() {
  static const Value::Data* d = new Value::Data();
  return *d;
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Foundation's integer scan: leading whitespace, optional sign, digits. Saturates.
long long scanInteger(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && isSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  unsigned long long magnitude = 0;
  bool overflow = false;
  const unsigned long long limit =
      negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
               : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  for (; i < s.size() && isDigit(s[i]); ++i) {
    unsigned digit = static_cast<unsigned>(s[i] - '0');
    if (overflow || magnitude > (limit - digit) / 10) {
      overflow = true;
      continue;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (overflow)
    return negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
  if (negative)
    return magnitude == limit ? std::numeric_limits<long long>::min()
                              : -static_cast<long long>(magnitude);
  return static_cast<long long>(magnitude);
}

// Foundation's floating-point scan: whitespace, sign, digits, fraction, exponent. No hex,
// no inf/nan words. Out-of-range values saturate to +-HUGE_VAL as strtod does.
double scanDouble(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && isSpace(s[i])) ++i;
  size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && isDigit(s[j])) {
      while (j < s.size() && isDigit(s[j])) ++j;
      i = j;
    }
  }
  std::string number = s.substr(start, i - start);
  if (!number.empty() && number[0] == '+') number.erase(0, 1);
  return std::strtod(number.c_str(), nullptr);
}

template <class I>
I clampDouble(double d) {
  if (std::isnan(d)) return 0;
  if (d >= static_cast<double>(std::numeric_limits<I>::max())) return std::numeric_limits<I>::max();
  if (d <= static_cast<double>(std::numeric_limits<I>::min())) return std::numeric_limits<I>::min();
  return static_cast<I>(d);
}

template <class I>
I clampInteger(long long v) {
  if (v > static_cast<long long>(std::numeric_limits<I>::max()))
    return std::numeric_limits<I>::max();
  if (v < static_cast<long long>(std::numeric_limits<I>::min()))
    return std::numeric_limits<I>::min();
  return static_cast<I>(v);
}

std::string shortestDouble(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
  if (d == 0) return std::signbit(d) ? "-0" : "0";
  // The shortest digits that read back as d, laid out as the platform's "%.16g" lays out a
  // double: plain notation for decimal exponents -4 to 15 (a timestamp 1700000000.0 prints
  // "1700000000", not "1.7e+09"), scientific notation beyond.
  char buf[64];
  auto sci = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
  std::string scientific(buf, sci.ptr);
  size_t e = scientific.find('e');
  int exponent = e == std::string::npos ? 0 : std::atoi(scientific.c_str() + e + 1);
  if (exponent < -4 || exponent >= 16) return scientific;
  auto fixed = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
  return std::string(buf, fixed.ptr);
}

// Strings in descriptions are quoted unless they are plain words, as the platform does.
std::string quoteIfNeeded(const std::string& s) {
  bool plain = !s.empty();
  for (unsigned char c : s) {
    if (!(std::isalnum(c) || c == '_' || c == '.' || c == '$' || c == '/' || c == ':' ||
          c >= 0x80)) {
      plain = false;
      break;
    }
  }
  if (plain) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void describe(const Value& v, int indent, std::string& out) {
  std::string pad(static_cast<size_t>(indent) * 4, ' ');
  if (v.isDict()) {
    out += "{\n";
    for (const auto& [k, item] : v.dictValue()) {
      out += pad + "    " + quoteIfNeeded(k) + " = ";
      describe(item, indent + 1, out);
      out += ";\n";
    }
    out += pad + "}";
  } else if (v.isArray()) {
    out += "(\n";
    const auto& a = v.arrayValue();
    for (size_t i = 0; i < a.size(); ++i) {
      out += pad + "    ";
      describe(a[i], indent + 1, out);
      out += i + 1 < a.size() ? ",\n" : "\n";
    }
    out += pad + ")";
  } else if (v.isString() && indent > 0) {
    out += quoteIfNeeded(v.str());
  } else {
    out += v.description();
  }
}

// A date as Foundation describes one: the second it falls in, in UTC. The second is found from the
// seconds since 2001 (flooring a double is exact, and so is adding whole seconds of this size), not
// from a sum that may round a moment just before a second up into it.
std::string dateDescription(double secondsSince2001) {
  const double secondsSince1970 = secondsSince2001 + Value::kReferenceDateSince1970;
  if (!std::isfinite(secondsSince1970)) return shortestDouble(secondsSince1970);
  const double second = std::floor(secondsSince2001) + Value::kReferenceDateSince1970;
  // gmtime_r works on time_t; moments beyond its years print as their number of seconds.
  if (second < -6.2e10 || second > 2.5e11) return shortestDouble(secondsSince1970);
  const auto t = static_cast<time_t>(second);
  struct tm parts {};
  if (!gmtime_r(&t, &parts)) return shortestDouble(secondsSince1970);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d +0000", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return buf;
}

using Json = nlohmann::json;

Value fromJson(const Json& j) {
  switch (j.type()) {
    case Json::value_t::null:
      return Value::null();
    case Json::value_t::boolean:
      return Value::boolean(j.get<bool>());
    case Json::value_t::number_integer:
      return Value(j.get<long long>());
    case Json::value_t::number_unsigned:
      return Value(j.get<unsigned long long>());
    case Json::value_t::number_float:
      return Value(j.get<double>());
    case Json::value_t::string:
      return Value(j.get_ref<const std::string&>());
    case Json::value_t::array: {
      Value::Array a;
      a.reserve(j.size());
      for (const auto& item : j) a.push_back(fromJson(item));
      return Value(std::move(a));
    }
    case Json::value_t::object: {
      Value::Dict d;
      for (auto it = j.begin(); it != j.end(); ++it) d.emplace(it.key(), fromJson(it.value()));
      return Value(std::move(d));
    }
    case Json::value_t::binary:
    case Json::value_t::discarded:
      break;
  }
  return Value::null();
}

Json toJson(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Absent:
    case Value::Kind::Null:
    case Value::Kind::Data:
    case Value::Kind::Date:
      return nullptr;
    case Value::Kind::Bool:
      return v.boolValue();
    case Value::Kind::Integer:
      if (v.isUnsigned()) return v.unsignedLongLongValue();
      return v.longLongValue();
    case Value::Kind::Real: {
      double d = v.doubleValue();
      if (!std::isfinite(d)) return nullptr;
      return d;
    }
    case Value::Kind::String:
      return v.str();
    case Value::Kind::Array: {
      Json a = Json::array();
      for (const auto& item : v.arrayValue()) a.push_back(toJson(item));
      return a;
    }
    case Value::Kind::Dict: {
      Json o = Json::object();
      for (const auto& [k, item] : v.dictValue()) o[k] = toJson(item);
      return o;
    }
  }
  return nullptr;
}

// Rejects nesting deeper than the limit before the recursive parser sees the text, so that
// hostile input cannot exhaust the stack.
bool nestingWithin(const std::string& text, int limit) {
  int depth = 0;
  bool inString = false, escaped = false;
  for (char c : text) {
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"')
      inString = true;
    else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

}  // namespace

Value::Value() = default;
Value::Value(std::nullptr_t) {}
Value::Value(const char* s) {
  if (s) {
    kind_ = Kind::String;
    string_ = std::make_shared<const std::string>(s);
  }
}
Value::Value(std::string s)
    : kind_(Kind::String), string_(std::make_shared<const std::string>(std::move(s))) {}
Value::Value(std::string_view s)
    : kind_(Kind::String), string_(std::make_shared<const std::string>(s)) {}
Value::Value(int n) : kind_(Kind::Integer), int_(n) {}
Value::Value(long n) : kind_(Kind::Integer), int_(n) {}
Value::Value(long long n) : kind_(Kind::Integer), int_(n) {}
Value::Value(unsigned n) : kind_(Kind::Integer), int_(n) {}
Value::Value(unsigned long n) : Value(static_cast<unsigned long long>(n)) {}
Value::Value(unsigned long long n)
    : kind_(Kind::Integer),
      unsigned_(n > static_cast<unsigned long long>(std::numeric_limits<long long>::max())),
      int_(static_cast<long long>(n)) {}
Value::Value(double d) : kind_(Kind::Real), real_(d) {}
Value::Value(float f) : kind_(Kind::Real), real_(f) {}
Value::Value(Dict d) : kind_(Kind::Dict), dict_(std::move(d)) {}
Value::Value(Array a) : kind_(Kind::Array), array_(std::move(a)) {}

Value Value::boolean(bool b) {
  Value v;
  v.kind_ = Kind::Bool;
  v.bool_ = b;
  return v;
}
Value Value::null() {
  Value v;
  v.kind_ = Kind::Null;
  return v;
}
Value Value::data(Data bytes) {
  Value v;
  v.kind_ = Kind::Data;
  v.data_ = std::make_shared<const Data>(std::move(bytes));
  return v;
}
Value Value::date(double secondsSince1970) {
  const double d = secondsSince1970 - kReferenceDateSince1970;
  if (!std::isfinite(d)) return dateSinceReferenceDate(d);
  // Of the 2001-based doubles that give back this double, the one of whole microseconds is how
  // other writers of dates (which count microseconds) keep the moment; otherwise the nearest one
  // that gives it back, and failing that the nearest to the moment. (Beyond 9e9 seconds, about
  // the year 2286, a double holds no single microseconds.)
  const double micro = std::nearbyint(d * 1e6) / 1e6;
  if (std::fabs(d) < 9e9 && micro + kReferenceDateSince1970 == secondsSince1970)
    return dateSinceReferenceDate(micro);
  for (double candidate : {d, std::nextafter(d, INFINITY), std::nextafter(d, -INFINITY)})
    if (candidate + kReferenceDateSince1970 == secondsSince1970)
      return dateSinceReferenceDate(candidate);
  return dateSinceReferenceDate(d);
}
Value Value::dateSinceReferenceDate(double secondsSince2001) {
  Value v;
  v.kind_ = Kind::Date;
  v.real_ = secondsSince2001;
  return v;
}
Value Value::dict(std::initializer_list<std::pair<const std::string, Value>> items) {
  Dict d;
  for (const auto& [k, v] : items)
    if (!v.isNil()) d.insert_or_assign(k, v);  // a dictionary cannot hold nil
  return Value(std::move(d));
}
Value Value::array(std::initializer_list<Value> items) { return Value(Array(items)); }

bool Value::isNumber() const {
  return kind_ == Kind::Integer || kind_ == Kind::Real || kind_ == Kind::Bool;
}

const Value& Value::operator[](const std::string& key) const {
  if (kind_ != Kind::Dict) return absentValue();
  auto it = dict_->find(key);
  return it == dict_->end() ? absentValue() : it->second;
}
const Value& Value::operator[](size_t index) const {
  if (kind_ != Kind::Array || index >= array_->size()) return absentValue();
  return (*array_)[index];
}
const Value& Value::operator[](int index) const {
  if (index < 0) return absentValue();
  return (*this)[static_cast<size_t>(index)];
}
bool Value::contains(const std::string& key) const { return !(*this)[key].isNil(); }

Value::Dict& Value::mutableDict() { return dict_.mutate(); }
Value::Array& Value::mutableArray() { return array_.mutate(); }
void Value::makeUniqueContainer() {
  if (kind_ == Kind::Dict) mutableDict();
  if (kind_ == Kind::Array) mutableArray();
}

Value& Value::set(const std::string& key, Value v) {
  if (isNil()) *this = Value(Dict{});
  if (kind_ != Kind::Dict) return *this;
  if (v.isNil()) {
    if (dict_->count(key)) mutableDict().erase(key);
  } else {
    mutableDict().insert_or_assign(key, std::move(v));
  }
  return *this;
}
Value& Value::append(Value v) {
  if (isNil()) *this = Value(Array{});
  if (kind_ != Kind::Array || v.isNil()) return *this;
  mutableArray().push_back(std::move(v));
  return *this;
}
void Value::remove(const std::string& key) {
  if (kind_ == Kind::Dict && dict_->count(key)) mutableDict().erase(key);
}
void Value::removeAt(size_t index) {
  if (kind_ == Kind::Array && index < array_->size()) {
    auto& a = mutableArray();
    a.erase(a.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

size_t Value::count() const {
  if (kind_ == Kind::Dict) return dict_->size();
  if (kind_ == Kind::Array) return array_->size();
  return 0;
}
std::vector<std::string> Value::allKeys() const {
  std::vector<std::string> keys;
  for (const auto& kv : dictValue()) keys.push_back(kv.first);
  return keys;
}
const Value::Dict& Value::dictValue() const { return kind_ == Kind::Dict ? *dict_ : emptyDict(); }
const Value::Array& Value::arrayValue() const {
  return kind_ == Kind::Array ? *array_ : emptyArray();
}
const Value::Data& Value::dataValue() const { return kind_ == Kind::Data ? *data_ : emptyData(); }
double Value::dateValue() const {
  return kind_ == Kind::Date ? real_ + kReferenceDateSince1970 : 0;
}
double Value::timeIntervalSinceReferenceDate() const { return kind_ == Kind::Date ? real_ : 0; }

std::string Value::str() const {
  switch (kind_) {
    case Kind::String:
      return *string_;
    case Kind::Bool:
    case Kind::Integer:
    case Kind::Real:
    case Kind::Date:
      return description();
    default:
      return "";
  }
}

std::string Value::description() const {
  switch (kind_) {
    case Kind::Absent:
      return "(null)";
    case Kind::Null:
      return "<null>";
    case Kind::Bool:
      return bool_ ? "1" : "0";
    case Kind::Integer:
      return unsigned_ ? std::to_string(static_cast<unsigned long long>(int_))
                       : std::to_string(int_);
    case Kind::Real:
      return shortestDouble(real_);
    case Kind::String:
      return *string_;
    case Kind::Data: {
      static const char* hex = "0123456789abcdef";
      std::string out = "<";
      for (size_t i = 0; i < data_->size(); ++i) {
        if (i > 0 && i % 4 == 0) out += ' ';
        out += hex[(*data_)[i] >> 4];
        out += hex[(*data_)[i] & 15];
      }
      return out + ">";
    }
    case Kind::Dict:
    case Kind::Array: {
      std::string out;
      describe(*this, 0, out);
      return out;
    }
    case Kind::Date:
      return dateDescription(real_);
  }
  return "";
}

unsigned long long Value::unsignedLongLongValue() const {
  if (kind_ == Kind::Real) return clampDouble<unsigned long long>(real_);
  return static_cast<unsigned long long>(longLongValue());
}
long long Value::longLongValue() const {
  switch (kind_) {
    case Kind::Bool:
      return bool_ ? 1 : 0;
    case Kind::Integer:
      return int_;
    case Kind::Real:
      return clampDouble<long long>(real_);
    case Kind::String:
      return scanInteger(*string_);
    default:
      return 0;
  }
}
int Value::intValue() const {
  if (kind_ == Kind::Real) return clampDouble<int>(real_);
  return clampInteger<int>(longLongValue());
}
long Value::integerValue() const {
  if (kind_ == Kind::Real) return clampDouble<long>(real_);
  return clampInteger<long>(longLongValue());
}
double Value::doubleValue() const {
  switch (kind_) {
    case Kind::Bool:
      return bool_ ? 1 : 0;
    case Kind::Integer:
      return unsigned_ ? static_cast<double>(static_cast<unsigned long long>(int_))
                       : static_cast<double>(int_);
    case Kind::Real:
      return real_;
    case Kind::String:
      return scanDouble(*string_);
    default:
      return 0;
  }
}
float Value::floatValue() const { return static_cast<float>(doubleValue()); }

bool Value::boolValue() const {
  switch (kind_) {
    case Kind::Bool:
      return bool_;
    case Kind::Integer:
      return int_ != 0;
    case Kind::Real:
      return real_ != 0;
    case Kind::String: {
      const std::string& s = *string_;
      size_t i = 0;
      while (i < s.size() && isSpace(s[i])) ++i;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
      while (i < s.size() && s[i] == '0') ++i;
      if (i >= s.size()) return false;
      char c = s[i];
      return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
    }
    default:
      return false;
  }
}

bool Value::isEqualToString(const std::string& s) const {
  if (kind_ == Kind::String) return *string_ == s;
  if (isNumber()) return description() == s;
  return false;
}

bool Value::operator==(const Value& o) const {
  if (isNil() || o.isNil()) return isNil() && o.isNil();
  if (isNumber() && o.isNumber()) {
    bool exactInts = (kind_ != Kind::Real) && (o.kind_ != Kind::Real);
    // 2^63 unsigned and -2^63 share their bits but are different numbers.
    if (exactInts) return longLongValue() == o.longLongValue() && isUnsigned() == o.isUnsigned();
    return doubleValue() == o.doubleValue();
  }
  if (kind_ != o.kind_) return false;
  switch (kind_) {
    case Kind::String:
      return *string_ == *o.string_;
    case Kind::Date:
      return real_ == o.real_;
    case Kind::Data:
      return *data_ == *o.data_;
    case Kind::Dict:
      return dict_.sameBox(o.dict_) || *dict_ == *o.dict_;
    case Kind::Array:
      return array_.sameBox(o.array_) || *array_ == *o.array_;
    default:
      return false;
  }
}

std::optional<Value> Value::fromJSON(const std::string& text) {
  if (!nestingWithin(text, 512)) return std::nullopt;
  Json j = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (j.is_discarded()) return std::nullopt;
  return fromJson(j);
}

std::string Value::toJSON() const {
  try {
    return toJson(*this).dump(-1, ' ', false, Json::error_handler_t::replace);
  } catch (...) {
    // Only allocation failure can get here; JSON text is never worth a crash.
    return "null";
  }
}
