#include "core/JsonReader.h"

#include <locale.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr size_t kMaxDepth = 512;

// Numbers are read from their text, with the rules of Value::fromJSON: an integer that fits a
// signed (or, when positive, an unsigned) 64-bit integer stays one; anything else is a double
// read as the C locale reads it, and one that is not finite makes the text invalid.
std::optional<Value> numberOf(const char* text, size_t length) {
  const char* end = text + length;
  const bool integral =
      std::find_if(text, end, [](char c) { return c == '.' || c == 'e' || c == 'E'; }) == end;
  if (integral) {
    if (*text == '-') {
      long long n = 0;
      const auto [at, ec] = std::from_chars(text, end, n);
      if (ec == std::errc() && at == end) return Value(n);
    } else {
      unsigned long long n = 0;
      const auto [at, ec] = std::from_chars(text, end, n);
      if (ec == std::errc() && at == end) return Value(n);
    }
  }
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  const std::string terminated(text, length);
  const double d = strtod_l(terminated.c_str(), nullptr, cLocale);
  if (!std::isfinite(d)) return std::nullopt;
  return Value(d);
}

// A "\u" escape may name half of a surrogate pair on its own; the reader lets a lone second half
// through, written as the bytes ED B0..BF xx, which are not UTF-8.
bool holdsSurrogate(const char* text, size_t length) {
  for (size_t i = 0; i + 1 < length; ++i) {
    if (static_cast<unsigned char>(text[i]) == 0xED &&
        static_cast<unsigned char>(text[i + 1]) >= 0xA0)
      return true;
  }
  return false;
}

// Builds the Value as the reader reports it: open containers wait on a stack, and a finished
// value goes into the container on top (under the pending key of a dictionary).
class ValueBuilder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ValueBuilder> {
 public:
  std::optional<Value> result;

  ValueBuilder() { stack_.reserve(4); }

  bool Null() { return add(Value::null()); }
  bool Bool(bool b) { return add(Value::boolean(b)); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    auto n = numberOf(text, length);
    return n && add(std::move(*n));
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    if (holdsSurrogate(text, length)) return false;
    return add(Value(std::string(text, length)));
  }
  bool StartObject() { return open(true); }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    if (holdsSurrogate(text, length)) return false;
    stack_.back().key.assign(text, length);
    return true;
  }
  bool EndObject(rapidjson::SizeType) { return close(); }
  bool StartArray() { return open(false); }
  bool EndArray(rapidjson::SizeType) { return close(); }

 private:
  struct Open {
    bool isDict;
    Value::Dict dict;
    Value::Array array;
    std::string key;
  };

  bool open(bool isDict) {
    if (stack_.size() >= kMaxDepth) return false;
    stack_.push_back(Open{isDict, {}, {}, {}});
    return true;
  }

  bool close() {
    Open top = std::move(stack_.back());
    stack_.pop_back();
    return add(top.isDict ? Value(std::move(top.dict)) : Value(std::move(top.array)));
  }

  bool add(Value v) {
    if (stack_.empty()) {
      result = std::move(v);
    } else if (stack_.back().isDict) {
      // A repeated key keeps its last value.
      stack_.back().dict.insert_or_assign(std::move(stack_.back().key), std::move(v));
    } else {
      stack_.back().array.push_back(std::move(v));
    }
    return true;
  }

  std::vector<Open> stack_;
};

}  // namespace

std::optional<Value> JsonReader::parse(std::string_view text) {
  // Whatever goes to the general reader goes as it came, byte order mark and all, so that a
  // second mark after the first is refused by both readers alike.
  const std::string_view original = text;
  // A byte order mark before the text is allowed, as Value::fromJSON allows it.
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
  rapidjson::MemoryStream stream(text.data(), text.size());
  rapidjson::Reader reader;
  ValueBuilder builder;
  // Iterative: deep input cannot exhaust the stack. Numbers come as text, to be read as above.
  constexpr unsigned kFlags = rapidjson::kParseIterativeFlag |
                              rapidjson::kParseValidateEncodingFlag |
                              rapidjson::kParseNumbersAsStringsFlag;
  // Text holding a NUL byte is no reply of a working server; the general reader decides what of
  // it is JSON, so that both readers agree on it too.
  if (text.find('\0') != std::string_view::npos) return Value::fromJSON(std::string(original));
  const auto outcome = reader.Parse<kFlags>(stream, builder);
  if (outcome.Code() == rapidjson::kParseErrorNumberTooBig) {
    // The reader refuses any exponent beyond a double's range, even of a zero ("0e400"), which
    // is JSON all the same; such rare text goes to the general reader.
    return Value::fromJSON(std::string(original));
  }
  if (outcome.IsError()) return std::nullopt;
  return std::move(builder.result);
}
