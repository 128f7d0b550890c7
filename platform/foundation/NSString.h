#pragma once
// Text helpers. Text is UTF-8 std::string; every length, index and range is counted in
// UTF-16 code units, as the phone's strings count them (a Chinese character is 1, an
// emoji outside the BMP is 2). Invalid UTF-8 bytes count as one unit each (each reads as
// U+FFFD). All functions are pure and safe to call from any thread.
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/foundation/Value.h"

namespace NSString {

size_t length(const std::string& s);  // UTF-16 code units
// Substrings in UTF-16 units, clamped to the text. A cut through a surrogate pair leaves
// half a character, which is written as U+FFFD (the result is always valid UTF-8).
std::string substring(const std::string& s, size_t loc, size_t len);
std::string substringFromIndex(const std::string& s, size_t loc);
std::string substringToIndex(const std::string& s, size_t loc);
// UTF-16 location of the first occurrence of needle; nullopt when absent or needle is "".
std::optional<size_t> rangeOfString(const std::string& s, const std::string& needle);
bool containsString(const std::string& s, const std::string& needle);
std::u16string toUTF16(const std::string& s);    // invalid bytes become U+FFFD
std::string fromUTF16(const std::u16string& s);  // lone surrogates become U+FFFD
// Appends one code point (at most U+10FFFF, not a surrogate half) as UTF-8.
void appendUTF8(std::string& out, char32_t cp);
bool isValidUTF8(const std::string& s);          // strict: no overlongs, no surrogates
std::string sanitizeUTF8(const std::string& s);  // invalid bytes replaced by U+FFFD
std::string trim(const std::string& s);          // whitespace and newlines, Unicode ones included
std::vector<std::string> componentsSeparatedByString(const std::string& s, const std::string& sep);
std::string componentsJoinedByString(const std::vector<std::string>& parts, const std::string& sep);
std::string stringByReplacingOccurrencesOfString(const std::string& s, const std::string& target,
                                                 const std::string& replacement);
bool hasPrefix(const std::string& s, const std::string& p);
bool hasSuffix(const std::string& s, const std::string& p);
std::string lowercaseString(const std::string& s);  // ASCII letters only
std::string uppercaseString(const std::string& s);  // ASCII letters only

// Percent-escaping of UTF-8 bytes: RFC 3986 unreserved characters (A-Z a-z 0-9 - . _ ~)
// and the characters of unreservedExtra stay; every other byte becomes %XX (upper case).
std::string percentEscape(const std::string& s, const std::string& unreservedExtra = "");
// Decodes %XX sequences ("+" stays "+"). nullopt when a "%" is not followed by two hex
// digits, or when the decoded bytes are not valid UTF-8.
std::optional<std::string> percentUnescape(const std::string& s);

// ---- stringWithFormat ---------------------------------------------------------------
// Printf-style formatting, type-safe: each argument is captured with its type, and each
// conversion formats what it gets. %@ takes anything (Value, text, numbers, objects with a
// description()); %d %i %u %x %X %o %c take integers; %f %e %g %a take numbers; %s takes
// text. Flags, width, precision and `*` work as in printf; length modifiers (h hh l ll q
// z t j L) are accepted, and only narrow what %u/%x/%X/%o print for negative numbers.
// A mismatched argument never crashes: a number for %@/%s prints its description, text
// for %d/%f prints its leading number (as intValue/doubleValue read it), and a missing
// argument prints as absent ("(null)" for %@ and %s, 0 for numbers).
struct FormatArg {
  enum class Type { Signed, Unsigned, Real, Text, Dynamic, Absent };
  Type type = Type::Absent;
  long long i = 0;
  unsigned long long u = 0;
  double d = 0;
  std::string text;
  Value value;
};

namespace detail {
template <class T>
concept HasDescription = requires(const T& t) {
  { t.description() } -> std::convertible_to<std::string>;
};

template <class T>
FormatArg makeFormatArg(const T& v) {
  FormatArg a;
  using D = std::decay_t<T>;
  if constexpr (std::is_same_v<D, Value>) {
    a.type = FormatArg::Type::Dynamic;
    a.value = v;
  } else if constexpr (std::is_same_v<D, bool>) {
    a.type = FormatArg::Type::Signed;
    a.i = v ? 1 : 0;
  } else if constexpr (std::is_same_v<D, char>) {
    a.type = FormatArg::Type::Signed;
    a.i = static_cast<unsigned char>(v);
  } else if constexpr (std::is_enum_v<D>) {
    a.type = FormatArg::Type::Signed;
    a.i = static_cast<long long>(v);
  } else if constexpr (std::is_integral_v<D> && std::is_signed_v<D>) {
    a.type = FormatArg::Type::Signed;
    a.i = v;
  } else if constexpr (std::is_integral_v<D>) {
    a.type = FormatArg::Type::Unsigned;
    a.u = v;
  } else if constexpr (std::is_floating_point_v<D>) {
    a.type = FormatArg::Type::Real;
    a.d = static_cast<double>(v);
  } else if constexpr (std::is_array_v<T>) {  // string literals and char buffers
    a.type = FormatArg::Type::Text;
    a.text = std::string(v);
  } else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>) {
    if (v) {
      a.type = FormatArg::Type::Text;
      a.text = v;
    }
  } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
    a.type = FormatArg::Type::Text;
    a.text = std::string(std::string_view(v));
  } else if constexpr (std::is_same_v<D, std::nullptr_t>) {
    // absent
  } else if constexpr (HasDescription<D>) {
    a.type = FormatArg::Type::Text;
    a.text = v.description();
  } else if constexpr (requires {
                         v.get();
                         *v;
                       }) {  // smart pointers to described objects
    if (v) {
      a.type = FormatArg::Type::Text;
      a.text = v->description();
    }
  } else {
    static_assert(sizeof(T) == 0, "stringWithFormat: unsupported argument type");
  }
  return a;
}
}  // namespace detail

std::string formatWithArgs(std::string_view fmt, const std::vector<FormatArg>& args);

template <class... A>
std::string stringWithFormat(std::string_view fmt, const A&... args) {
  return formatWithArgs(fmt, std::vector<FormatArg>{detail::makeFormatArg(args)...});
}

}  // namespace NSString
