#include "parley/PLApiNSStringURLArgumentsAdditions.h"

#include "platform/foundation/NSString.h"

namespace PLApiNSStringURLArgumentsAdditions {

namespace {

bool isAsciiAlnum(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
  size_t pos = 0;
  while ((pos = s.find(from, pos)) != std::string::npos) {
    s.replace(pos, from.size(), to);
    pos += to.size();
  }
  return s;
}

}  // namespace

std::string escapeAllBut(const std::string& s, const std::string& keep) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    if (isAsciiAlnum(c) ||
        (c != 0 && c < 0x80 && keep.find(static_cast<char>(c)) != std::string::npos)) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 0xF]);
    }
  }
  return out;
}

std::optional<std::string> decodePercentEscapes(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out.push_back(s[i]);
      continue;
    }
    if (i + 2 >= s.size()) return std::nullopt;
    int hi = hexValue(s[i + 1]);
    int lo = hexValue(s[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  if (!NSString::isValidUTF8(out)) return std::nullopt;
  return out;
}

std::string plApi_stringByEscapingForURLArgument(const std::string& s) {
  return escapeAllBut(s, "-._~");
}

std::string plApi_stringByEscapingForURLArgumentOnly(const std::string& s) {
  return escapeAllBut(s, "-._~;/?:@=&$+!*'(),%");
}

std::optional<std::string> plApi_stringByUnescapingFromURLArgument(const std::string& s) {
  return decodePercentEscapes(replaceAll(s, "+", " "));
}

std::optional<std::string> plApi_stringByEncodeByJsonAndUrlEncode(const std::string& s) {
  std::string t = replaceAll(s, "+", " ");
  t = replaceAll(t, "\\X", "%");
  t = replaceAll(t, "\\x", "%");
  return decodePercentEscapes(t);
}

std::string plApi_stringByEncodeUrl(const std::string& s) { return escapeAllBut(s, "-._"); }

}  // namespace PLApiNSStringURLArgumentsAdditions
