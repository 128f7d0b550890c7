#include "platform/foundation/NSString.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at s[i]; on invalid input returns U+FFFD and consumes one byte.
char32_t decodeAt(const std::string& s, size_t& i, bool* valid = nullptr) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = byte(i);
  if (valid) *valid = true;
  if (c < 0x80) {
    ++i;
    return c;
  }
  int extra = 0;
  char32_t cp = 0, min = 0;
  if (c >= 0xC2 && c <= 0xDF)
    extra = 1, cp = c & 0x1F, min = 0x80;
  else if (c >= 0xE0 && c <= 0xEF)
    extra = 2, cp = c & 0x0F, min = 0x800;
  else if (c >= 0xF0 && c <= 0xF4)
    extra = 3, cp = c & 0x07, min = 0x10000;
  if (extra > 0) {
    bool ok = true;
    for (size_t k = 1; ok && k <= static_cast<size_t>(extra); ++k) {
      if (i + k >= s.size() || (byte(i + k) & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
      i += static_cast<size_t>(extra) + 1;
      return cp;
    }
  }
  if (valid) *valid = false;
  ++i;
  return kReplacement;
}

bool isUnicodeSpace(char32_t c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

namespace NSString {

void appendUTF8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string toUTF16(const std::string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t cp = decodeAt(s, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string fromUTF16(const std::u16string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    appendUTF8(out, c);
  }
  return out;
}

size_t length(const std::string& s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size();) n += decodeAt(s, i) >= 0x10000 ? 2 : 1;
  return n;
}

std::string substring(const std::string& s, size_t loc, size_t len) {
  std::u16string u = toUTF16(s);
  if (loc >= u.size()) return "";
  return fromUTF16(u.substr(loc, len));
}
std::string substringFromIndex(const std::string& s, size_t loc) {
  return substring(s, loc, std::u16string::npos);
}
std::string substringToIndex(const std::string& s, size_t loc) { return substring(s, 0, loc); }

std::optional<size_t> rangeOfString(const std::string& s, const std::string& needle) {
  if (needle.empty()) return std::nullopt;
  std::u16string u = toUTF16(s), n = toUTF16(needle);
  size_t pos = u.find(n);
  if (pos == std::u16string::npos) return std::nullopt;
  return pos;
}
bool containsString(const std::string& s, const std::string& needle) {
  return !needle.empty() && s.find(needle) != std::string::npos;
}

bool isValidUTF8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    bool valid = true;
    decodeAt(s, i, &valid);
    if (!valid) return false;
  }
  return true;
}

std::string sanitizeUTF8(const std::string& s) {
  if (isValidUTF8(s)) return s;
  std::string out;
  for (size_t i = 0; i < s.size();) appendUTF8(out, decodeAt(s, i));
  return out;
}

std::string trim(const std::string& s) {
  size_t begin = 0, end = s.size();
  for (size_t i = 0; i < s.size();) {
    size_t at = i;
    if (!isUnicodeSpace(decodeAt(s, i))) {
      begin = at;
      break;
    }
    begin = i;
  }
  if (begin >= s.size()) return "";
  // Scan forward remembering where the last non-space character ends.
  for (size_t i = begin; i < s.size();) {
    if (!isUnicodeSpace(decodeAt(s, i))) end = i;
  }
  return s.substr(begin, end - begin);
}

std::vector<std::string> componentsSeparatedByString(const std::string& s, const std::string& sep) {
  if (sep.empty()) return {s};
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t pos; (pos = s.find(sep, start)) != std::string::npos; start = pos + sep.size())
    parts.push_back(s.substr(start, pos - start));
  parts.push_back(s.substr(start));
  return parts;
}

std::string componentsJoinedByString(const std::vector<std::string>& parts,
                                     const std::string& sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += sep;
    out += parts[i];
  }
  return out;
}

std::string stringByReplacingOccurrencesOfString(const std::string& s, const std::string& target,
                                                 const std::string& replacement) {
  if (target.empty()) return s;
  std::string out;
  size_t start = 0;
  for (size_t pos; (pos = s.find(target, start)) != std::string::npos;
       start = pos + target.size()) {
    out.append(s, start, pos - start);
    out += replacement;
  }
  out.append(s, start, std::string::npos);
  return out;
}

bool hasPrefix(const std::string& s, const std::string& p) {
  return !p.empty() && s.size() >= p.size() && s.compare(0, p.size(), p) == 0;
}
bool hasSuffix(const std::string& s, const std::string& p) {
  return !p.empty() && s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

std::string lowercaseString(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}
std::string uppercaseString(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string percentEscape(const std::string& s, const std::string& unreservedExtra) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size() * 3);
  for (unsigned char c : s) {
    bool keep =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~' ||
        (c < 0x80 && c != 0 && unreservedExtra.find(static_cast<char>(c)) != std::string::npos);
    if (keep) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> percentUnescape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return std::nullopt;
    int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  if (!isValidUTF8(out)) return std::nullopt;
  return out;
}

// ---- formatting ----------------------------------------------------------------------

namespace {

struct Spec {
  std::string flags;
  int width = -1;
  int precision = -1;
  std::string length;
  char conversion = 0;
};

std::string printfString(const std::string& spec, auto value) {
  int n = std::snprintf(nullptr, 0, spec.c_str(), value);
  if (n <= 0) return "";
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), spec.c_str(), value);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string specPrefix(const Spec& s) {
  std::string p = "%" + s.flags;
  if (s.width >= 0) p += std::to_string(s.width);
  if (s.precision >= 0) p += "." + std::to_string(s.precision);
  return p;
}

// Pads text to the width in UTF-16 units, as the platform pads %@ and %s.
std::string padText(const std::string& text, const Spec& s) {
  std::string t = text;
  if (s.precision >= 0 && (s.conversion == 's'))
    t = substringToIndex(t, static_cast<size_t>(s.precision));
  if (s.width < 0) return t;
  size_t len = length(t);
  if (len >= static_cast<size_t>(s.width)) return t;
  std::string pad(static_cast<size_t>(s.width) - len, ' ');
  return s.flags.find('-') != std::string::npos ? t + pad : pad + t;
}

long long asSigned(const FormatArg& a) {
  switch (a.type) {
    case FormatArg::Type::Signed:
      return a.i;
    case FormatArg::Type::Unsigned:
      return static_cast<long long>(a.u);
    case FormatArg::Type::Real:
      return Value(a.d).longLongValue();
    case FormatArg::Type::Text:
      return Value(a.text).longLongValue();
    case FormatArg::Type::Dynamic:
      return a.value.longLongValue();
    case FormatArg::Type::Absent:
      return 0;
  }
  return 0;
}

double asDouble(const FormatArg& a) {
  switch (a.type) {
    case FormatArg::Type::Signed:
      return static_cast<double>(a.i);
    case FormatArg::Type::Unsigned:
      return static_cast<double>(a.u);
    case FormatArg::Type::Real:
      return a.d;
    case FormatArg::Type::Text:
      return Value(a.text).doubleValue();
    case FormatArg::Type::Dynamic:
      return a.value.doubleValue();
    case FormatArg::Type::Absent:
      return 0;
  }
  return 0;
}

std::string asText(const FormatArg& a) {
  switch (a.type) {
    case FormatArg::Type::Signed:
      return std::to_string(a.i);
    case FormatArg::Type::Unsigned:
      return std::to_string(a.u);
    case FormatArg::Type::Real:
      return Value(a.d).description();
    case FormatArg::Type::Text:
      return a.text;
    case FormatArg::Type::Dynamic:
      return a.value.description();
    case FormatArg::Type::Absent:
      return "(null)";
  }
  return "";
}

unsigned long long asUnsigned(const FormatArg& a, const std::string& lengthModifier) {
  unsigned long long u =
      a.type == FormatArg::Type::Unsigned ? a.u : static_cast<unsigned long long>(asSigned(a));
  if (lengthModifier == "hh") return u & 0xFFu;
  if (lengthModifier == "h") return u & 0xFFFFu;
  if (lengthModifier.empty()) return u & 0xFFFFFFFFu;
  return u;
}

}  // namespace

std::string formatWithArgs(std::string_view fmt, const std::vector<FormatArg>& args) {
  std::string out;
  size_t next = 0;
  static const FormatArg absent;
  auto take = [&]() -> const FormatArg& { return next < args.size() ? args[next++] : absent; };

  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      continue;
    }
    size_t start = i++;
    if (i >= fmt.size()) {
      out += '%';
      break;
    }
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    Spec spec;
    while (i < fmt.size() && std::string_view("-+ #0'").find(fmt[i]) != std::string_view::npos) {
      if (fmt[i] != '\'') spec.flags += fmt[i];
      ++i;
    }
    if (i < fmt.size() && fmt[i] == '*') {
      long long w = asSigned(take());
      if (w < 0) {
        spec.flags += '-';
        w = -w;
      }
      spec.width = static_cast<int>(std::min<long long>(w, 4096));
      ++i;
    } else {
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        spec.width = std::min(4096, (spec.width < 0 ? 0 : spec.width) * 10 + (fmt[i] - '0'));
        ++i;
      }
    }
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      spec.precision = 0;
      if (i < fmt.size() && fmt[i] == '*') {
        long long p = asSigned(take());
        spec.precision = p < 0 ? -1 : static_cast<int>(std::min<long long>(p, 4096));
        ++i;
      } else {
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
          spec.precision = std::min(4096, spec.precision * 10 + (fmt[i] - '0'));
          ++i;
        }
      }
    }
    while (i < fmt.size() && std::string_view("hlqLztj").find(fmt[i]) != std::string_view::npos) {
      spec.length += fmt[i];
      ++i;
    }
    if (i >= fmt.size()) {
      out.append(fmt.substr(start));
      break;
    }
    spec.conversion = fmt[i];
    std::string prefix = specPrefix(spec);
    switch (spec.conversion) {
      case '@':
        out += padText(asText(take()), spec);
        break;
      case 's': {
        const FormatArg& a = take();
        out += padText(asText(a), spec);
        break;
      }
      case 'd':
      case 'i':
        out += printfString(prefix + "lld", asSigned(take()));
        break;
      case 'D':
        out += printfString(prefix + "lld", asSigned(take()));
        break;
      case 'u':
      case 'U':
      case 'x':
      case 'X':
      case 'o':
      case 'O': {
        char conv = spec.conversion == 'U' ? 'u' : spec.conversion == 'O' ? 'o' : spec.conversion;
        std::string lengthModifier =
            spec.conversion == 'U' || spec.conversion == 'O' ? "l" : spec.length;
        out += printfString(prefix + "ll" + conv, asUnsigned(take(), lengthModifier));
        break;
      }
      case 'c':
      case 'C': {
        long long code = asSigned(take());
        std::string ch;
        if (code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
          if (spec.conversion == 'c' && code < 256 && code >= 0x80) code = 0xFFFD;  // a lone byte
          appendUTF8(ch, static_cast<char32_t>(code));
        }
        out += padText(ch, spec);
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        out += printfString(prefix + spec.conversion, asDouble(take()));
        break;
      case 'p': {
        const FormatArg& a = take();
        out += printfString(std::string("0x%llx"), static_cast<unsigned long long>(asSigned(a)));
        break;
      }
      default:
        // Unknown conversion: keep the text as written, consume nothing.
        out.append(fmt.substr(start, i - start + 1));
        break;
    }
  }
  return out;
}

}  // namespace NSString
