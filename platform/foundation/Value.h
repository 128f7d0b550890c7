#pragma once
// Value: the one dynamic value type of the platform. It stands for what the phone's
// Foundation keeps in dictionaries, arrays, strings, numbers, data and JSON's null.
//
// Semantics that the app relies on:
// - A missing key and JSON null both read as absent (isNil()). An absent value has no text
//   (str() == ""), a count of 0 and numbers of 0; `%@` prints it as "(null)".
// - Integers stay integers (64-bit); doubles print in their shortest round-trip form. An integer
//   from 2^63 to 2^64-1 (NSNumber's unsigned long long) stays that number: it prints, compares and
//   converts to JSON as itself, while longLongValue and integerValue give its 64 bits as a signed
//   number, as NSNumber does.
// - Strings parse their leading number for intValue/doubleValue as Foundation does.
// - A date (NSDate) is a moment, kept as NSDate keeps it: its seconds since 2001-01-01 UTC (the
//   reference date), which the property list and archive formats store bit for bit; dateValue()
//   gives its seconds since 1970. It is no number: its number values are 0, and it equals only a
//   date of the same moment. `%@` prints it as Foundation prints a
//   date, in UTC ("2026-12-07 05:58:31 +0000"); JSON has no dates, so toJSON writes null.
//
// Copies are cheap: containers and data are shared and copied only when one copy is
// changed (copy-on-write). A Value is not itself synchronised: two threads may read
// copies of one Value at once, but a single Value object must not be changed on one
// thread while another reads it.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace value_detail {
// A reference-counted box shared by copies of a Value until one of them changes it. Unlike
// std::shared_ptr::use_count(), the sole-owner test reads the count with acquire order, so
// the thread that then changes the box in place sees every read that other threads made
// through copies they have since dropped (no data race between their reads and its write).
template <class T>
class CowRef {
 public:
  CowRef() = default;
  explicit CowRef(T value) : box_(new Box{{1}, std::move(value)}) {}
  CowRef(const CowRef& o) noexcept : box_(o.box_) {
    if (box_) box_->refs.fetch_add(1, std::memory_order_relaxed);
  }
  CowRef(CowRef&& o) noexcept : box_(o.box_) { o.box_ = nullptr; }
  CowRef& operator=(CowRef o) noexcept {
    std::swap(box_, o.box_);
    return *this;
  }
  ~CowRef() {
    if (box_ && box_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete box_;
  }
  const T& operator*() const { return box_->value; }
  const T* operator->() const { return &box_->value; }
  bool sameBox(const CowRef& o) const { return box_ == o.box_; }
  // The value, for changing in place: copied first unless this is its only owner.
  T& mutate() {
    if (box_->refs.load(std::memory_order_acquire) != 1) *this = CowRef(box_->value);
    return box_->value;
  }

 private:
  struct Box {
    std::atomic<long> refs;
    T value;
  };
  Box* box_ = nullptr;
};
}  // namespace value_detail

class Value {
 public:
  using Dict = std::map<std::string, Value>;  // keys sorted
  using Array = std::vector<Value>;
  using Data = std::vector<uint8_t>;

  enum class Kind { Absent, Null, Bool, Integer, Real, String, Data, Dict, Array, Date };

  Value();                // absent (nil)
  Value(std::nullptr_t);  // absent
  Value(const char* s);   // string; a null pointer is absent
  Value(std::string s);
  Value(std::string_view s);
  Value(int n);
  Value(long n);
  Value(long long n);
  Value(unsigned n);
  Value(unsigned long n);       // values above INT64_MAX stay unsigned integers (isUnsigned())
  Value(unsigned long long n);  // values above INT64_MAX stay unsigned integers (isUnsigned())
  Value(double d);
  Value(float f);
  Value(Dict d);
  Value(Array a);
  Value(bool) = delete;  // ambiguous with numbers: use Value::boolean(b)

  static Value boolean(bool b);  // NSNumber numberWithBool
  static Value null();           // JSON null (NSNull): reads as absent everywhere
  static Value data(Data bytes);
  // NSDate dateWithTimeIntervalSince1970: a moment, in seconds since 1970 (fractions kept). It is
  // kept as seconds since 2001, chosen so that dateValue() gives back the same double wherever
  // one of the 2001-based doubles does (a double near 1970 may be finer than any near 2001).
  static Value date(double secondsSince1970);
  // NSDate's reference date, 2001-01-01T00:00:00Z, in seconds since 1970.
  static constexpr double kReferenceDateSince1970 = 978307200.0;
  // NSDate dateWithTimeIntervalSinceReferenceDate: a moment in seconds since 2001, kept exactly.
  static Value dateSinceReferenceDate(double secondsSince2001);
  static Value dict(std::initializer_list<std::pair<const std::string, Value>> items = {});
  static Value array(std::initializer_list<Value> items = {});

  Kind kind() const { return kind_; }
  bool isNil() const { return kind_ == Kind::Absent || kind_ == Kind::Null; }  // absent OR null
  bool isNull() const { return kind_ == Kind::Null; }                          // JSON null only
  bool isString() const { return kind_ == Kind::String; }
  bool isNumber() const;  // integer, real or bool
  bool isBool() const { return kind_ == Kind::Bool; }
  bool isInteger() const { return kind_ == Kind::Integer; }
  // An integer above INT64_MAX (2^63 to 2^64-1). Smaller non-negative integers are signed ones,
  // however they were made, so that equal numbers have one form.
  bool isUnsigned() const { return kind_ == Kind::Integer && unsigned_; }
  bool isReal() const { return kind_ == Kind::Real; }
  bool isDict() const { return kind_ == Kind::Dict; }
  bool isArray() const { return kind_ == Kind::Array; }
  bool isData() const { return kind_ == Kind::Data; }
  bool isDate() const { return kind_ == Kind::Date; }
  explicit operator bool() const { return !isNil(); }

  // Lookups never fail: a missing key, an index out of range, or a lookup on a value of
  // another kind gives an absent value.
  const Value& operator[](const std::string& key) const;
  const Value& operator[](const char* key) const { return (*this)[std::string(key ? key : "")]; }
  const Value& operator[](size_t index) const;
  const Value& operator[](int index) const;
  bool contains(const std::string& key) const;  // a present, non-null value under key

  // Changes. set() makes an absent/null value a dictionary; setting nil removes the key.
  // append() makes an absent/null value an array (appending nil appends nothing, as
  // an NSMutableArray cannot hold nil). On a value of another kind these do nothing.
  Value& set(const std::string& key, Value v);
  Value& append(Value v);
  void remove(const std::string& key);
  void removeAt(size_t index);

  size_t count() const;                      // dictionary/array size; 0 for every other kind
  std::vector<std::string> allKeys() const;  // sorted; empty when not a dictionary

  const Dict& dictValue() const;                  // empty when not a dictionary
  const Array& arrayValue() const;                // empty when not an array
  const Data& dataValue() const;                  // empty when not data
  double dateValue() const;                       // a date's seconds since 1970; 0 when not a date
  double timeIntervalSinceReferenceDate() const;  // a date's seconds since 2001; 0 when not a date

  // The text of a string; numbers and dates as %@ prints them; "" for absent/null and
  // containers other than strings ("" for dict/array/data: use description() for those).
  std::string str() const;
  // %@ formatting: strings as they are, integers without ".0", doubles in shortest form,
  // absent/null -> "(null)" / "<null>", bool -> "1"/"0", dict/array in the platform's
  // plist-like style, data as "<0a1b2c3d 4e>".
  std::string description() const;

  // Numbers of strings parse leading whitespace, an optional sign and digits (plus a
  // fraction and exponent for floatValue/doubleValue); 0 when there is none. Out-of-range
  // values clamp to the type's limits. Bools are 1/0; absent, containers, data and dates are 0.
  int intValue() const;
  long integerValue() const;
  long long longLongValue() const;  // an unsigned integer's 64 bits as a signed number
  // Integers as NSNumber gives them (a negative one's 64 bits as an unsigned number), reals cut
  // within the range, strings, bools and the rest as longLongValue.
  unsigned long long unsignedLongLongValue() const;
  float floatValue() const;
  double doubleValue() const;
  // Strings: true when the first non-space character after an optional sign and leading
  // zeros is Y, y, T, t or a digit 1-9 (Foundation's rule). Numbers: not zero.
  bool boolValue() const;

  // true only when this is text (numbers compare by their description) equal to s.
  bool isEqualToString(const std::string& s) const;
  // Deep equality. Absent and null are equal to each other; numbers (bool included)
  // compare by value; a string never equals a number.
  bool operator==(const Value& other) const;
  bool operator!=(const Value& other) const { return !(*this == other); }

  // JSON through nlohmann-json. fromJSON: nullopt for invalid JSON, invalid UTF-8 or
  // nesting deeper than 512 levels; top-level scalars are accepted; null -> Value::null().
  static std::optional<Value> fromJSON(const std::string& text);
  // toJSON: compact; absent -> "null"; invalid UTF-8 bytes in strings become U+FFFD; data
  // and dates are written as null (JSON has neither bytes nor dates); non-finite doubles as
  // null. Never throws.
  std::string toJSON() const;

 private:
  void makeUniqueContainer();
  Dict& mutableDict();
  Array& mutableArray();

  Kind kind_ = Kind::Absent;
  bool bool_ = false;
  bool unsigned_ = false;  // an Integer whose int_ holds the bits of a number above INT64_MAX
  // Only the one that kind_ names is used. Sharing their storage keeps a Value, and so the node
  // of a dictionary, small enough for the allocator's fast bins: replies hold many of them.
  union {
    long long int_ = 0;
    double real_;  // a real number, or a date's seconds since 2001
  };
  std::shared_ptr<const std::string> string_;
  std::shared_ptr<const Data> data_;
  value_detail::CowRef<Dict> dict_;
  value_detail::CowRef<Array> array_;
};
