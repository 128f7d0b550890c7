// The XML property list format: a reader that keeps its open containers on a stack of its own (so
// that nesting costs no call stack) and a writer.
#include <nettle/base64.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/foundation/NSString.h"
#include "platform/foundation/PlistFormat.h"

namespace plist_format {

namespace xml_detail {

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimXmlSpace(std::string_view s) {
  while (!s.empty() && isXmlSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isXmlSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Signed and unsigned 64-bit integers, decimal or hexadecimal ("0x"), as the numbers they are:
// those from 2^63 to 2^64-1 as unsigned integers.
std::optional<Value> parseXmlInteger(std::string_view s) {
  s = trimXmlSpace(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.front() == '+' || s.front() == '-') return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  if (negative) {
    if (magnitude > (uint64_t{1} << 63)) return std::nullopt;
    return Value(static_cast<long long>(0 - magnitude));
  }
  return Value(static_cast<unsigned long long>(magnitude));
}

std::optional<double> parseXmlReal(std::string_view s) {
  s = trimXmlSpace(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return std::nullopt;
  double d = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
  if (end != s.data() + s.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: infinity or zero, with its sign.
    const bool neg = s.front() == '-';
    const auto e = s.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-';
    return tiny ? (neg ? -0.0 : 0.0)
                : (neg ? -std::numeric_limits<double>::infinity()
                       : std::numeric_limits<double>::infinity());
  }
  if (ec != std::errc()) return std::nullopt;
  return d;
}

std::optional<Value::Data> parseBase64(std::string_view s) {
  Value::Data out;
  out.reserve(s.size() / 4 * 3);
  uint32_t acc = 0;
  int bits = 0;
  bool padded = false;
  for (char c : s) {
    int v;
    if (c >= 'A' && c <= 'Z')
      v = c - 'A';
    else if (c >= 'a' && c <= 'z')
      v = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      v = c - '0' + 52;
    else if (c == '+')
      v = 62;
    else if (c == '/')
      v = 63;
    else if (c == '=') {
      padded = true;
      continue;
    } else if (isXmlSpace(c)) {
      continue;
    } else {
      return std::nullopt;
    }
    if (padded) return std::nullopt;  // data after the padding
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(acc >> bits));
      acc &= (1u << bits) - 1;
    }
  }
  return out;
}

// Reads one plist document. Open containers are frames of its own stack; at most kMaxDepth.
class XmlPlistReader {
 public:
  XmlPlistReader(std::string_view text, const Budget& budget) : s_(text), budget_(budget) {}

  std::optional<Value> read() {
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") i_ = 3;
    if (!skipMisc()) return std::nullopt;
    std::string name;
    bool empty = false;
    if (!startTag(name, empty) || name != "plist" || empty) return std::nullopt;
    for (;;) {
      if (!skipMisc()) return std::nullopt;
      if (i_ >= s_.size()) return std::nullopt;  // never closed
      if (s_.compare(i_, 2, "</") == 0) {
        if (!endTag(name)) return std::nullopt;
        if (stack_.empty()) {
          if (name != "plist") return std::nullopt;
          break;
        }
        if (!closeContainer(name)) return std::nullopt;
        continue;
      }
      if (s_[i_] != '<' || !startTag(name, empty) || !element(name, empty)) return std::nullopt;
    }
    if (!skipMisc() || i_ != s_.size() || !root_) return std::nullopt;
    return root_;
  }

 private:
  struct Frame {
    bool dict = false;
    Value::Array items;
    Value::Dict entries;
    std::optional<std::string> key;
  };

  bool starts(const char* text) const { return s_.compare(i_, std::strlen(text), text) == 0; }

  // Skips until just past `end`; false when it never comes.
  bool skipPast(std::string_view end) {
    const size_t at = s_.find(end, i_);
    if (at == std::string_view::npos) return false;
    i_ = at + end.size();
    return true;
  }

  // Whitespace, comments, processing instructions (the declaration among them) and DOCTYPE.
  bool skipMisc() {
    for (;;) {
      while (i_ < s_.size() && isXmlSpace(s_[i_])) ++i_;
      if (starts("<?")) {
        if (!skipPast("?>")) return false;
      } else if (starts("<!--")) {
        if (!skipPast("-->")) return false;
      } else if (starts("<!DOCTYPE")) {
        // Its internal subset may hold '>' inside brackets and quotes.
        int brackets = 0;
        char quote = 0;
        for (i_ += 9;; ++i_) {
          if (i_ >= s_.size()) return false;
          const char c = s_[i_];
          if (quote) {
            if (c == quote) quote = 0;
          } else if (c == '"' || c == '\'') {
            quote = c;
          } else if (c == '[') {
            ++brackets;
          } else if (c == ']') {
            --brackets;
          } else if (c == '>' && brackets <= 0) {
            ++i_;
            break;
          }
        }
      } else {
        return true;
      }
    }
  }

  static bool nameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == ':' || c == '.';
  }

  // "<name attributes...>" or "<name .../>"; attributes are skipped.
  bool startTag(std::string& name, bool& empty) {
    if (i_ >= s_.size() || s_[i_] != '<') return false;
    size_t j = i_ + 1;
    while (j < s_.size() && nameChar(s_[j])) ++j;
    name.assign(s_.substr(i_ + 1, j - i_ - 1));
    if (name.empty()) return false;
    char quote = 0;
    for (; j < s_.size(); ++j) {
      const char c = s_[j];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        empty = s_[j - 1] == '/';
        i_ = j + 1;
        return true;
      } else if (c == '<') {
        return false;
      }
    }
    return false;
  }

  bool endTag(std::string& name) {
    size_t j = i_ + 2;
    while (j < s_.size() && nameChar(s_[j])) ++j;
    name.assign(s_.substr(i_ + 2, j - i_ - 2));
    while (j < s_.size() && isXmlSpace(s_[j])) ++j;
    if (name.empty() || j >= s_.size() || s_[j] != '>') return false;
    i_ = j + 1;
    return true;
  }

  // The text of an element up to its end tag: entities resolved, CDATA taken as it is, comments
  // left out. Another element inside is an error.
  bool text(const std::string& name, std::string& out) {
    for (;;) {
      const size_t at = s_.find_first_of("<&", i_);
      if (at == std::string_view::npos) return false;
      out.append(s_.substr(i_, at - i_));
      i_ = at;
      if (s_[i_] == '&') {
        if (!entity(out)) return false;
      } else if (starts("<![CDATA[")) {
        const size_t end = s_.find("]]>", i_ + 9);
        if (end == std::string_view::npos) return false;
        out.append(s_.substr(i_ + 9, end - i_ - 9));
        i_ = end + 3;
      } else if (starts("<!--")) {
        if (!skipPast("-->")) return false;
      } else if (starts("<?")) {
        if (!skipPast("?>")) return false;
      } else if (starts("</")) {
        std::string end;
        return endTag(end) && end == name;
      } else {
        return false;
      }
    }
  }

  bool entity(std::string& out) {
    const size_t semi = s_.find(';', i_);
    if (semi == std::string_view::npos || semi - i_ > 12) return false;
    const std::string_view e = s_.substr(i_ + 1, semi - i_ - 1);
    i_ = semi + 1;
    if (e == "amp")
      out += '&';
    else if (e == "lt")
      out += '<';
    else if (e == "gt")
      out += '>';
    else if (e == "quot")
      out += '"';
    else if (e == "apos")
      out += '\'';
    else if (e.size() >= 2 && e[0] == '#') {
      const bool hex = e[1] == 'x' || e[1] == 'X';
      const std::string_view digits = e.substr(hex ? 2 : 1);
      uint32_t c = 0;
      const auto [end, ec] =
          std::from_chars(digits.data(), digits.data() + digits.size(), c, hex ? 16 : 10);
      if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return false;
      // NUL cannot be in a plist string (nor the halves of a UTF-16 pair, alone).
      if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
      NSString::appendUTF8(out, c);
    } else {
      return false;
    }
    return true;
  }

  // Adds a finished value to the container it is in, or makes it the plist's value.
  bool add(Value v, uint64_t bytes) {
    size_.add(Size{1, bytes});
    if (!budget_.allows(size_)) return false;
    if (stack_.empty()) {
      if (root_) return false;  // a plist holds one value
      root_ = std::move(v);
      return true;
    }
    Frame& f = stack_.back();
    if (!f.dict) {
      f.items.push_back(std::move(v));
      return true;
    }
    if (!f.key) return false;  // a value without its key
    f.entries.insert_or_assign(std::move(*f.key), std::move(v));
    f.key.reset();
    return true;
  }

  bool closeContainer(const std::string& name) {
    Frame& f = stack_.back();
    if (name != (f.dict ? "dict" : "array") || f.key) return false;
    Value v = f.dict ? Value(std::move(f.entries)) : Value(std::move(f.items));
    stack_.pop_back();
    if (stack_.empty()) {
      root_ = std::move(v);
      return true;
    }
    Frame& parent = stack_.back();
    if (!parent.dict) {
      parent.items.push_back(std::move(v));
    } else {
      parent.entries.insert_or_assign(std::move(*parent.key), std::move(v));
      parent.key.reset();
    }
    return true;
  }

  bool element(const std::string& name, bool empty) {
    if (static_cast<int>(stack_.size()) > kMaxDepth) return false;
    const bool inDict = !stack_.empty() && stack_.back().dict;
    if (name == "key") {
      if (!inDict || stack_.back().key) return false;
      std::string k;
      if (!empty && !text(name, k)) return false;
      size_.add(Size{1, k.size()});  // a key is an object of its own in the binary format
      if (!budget_.allows(size_)) return false;
      stack_.back().key = std::move(k);
      return true;
    }
    if (inDict && !stack_.back().key) return false;  // a value where its key should be
    if (stack_.empty() && root_) return false;
    if (name == "array" || name == "dict") {
      if (empty) return add(name == "dict" ? Value(Value::Dict{}) : Value(Value::Array{}), 0);
      // Counted now; the container is attached whole when it closes.
      size_.add(Size{1, 0});
      if (!budget_.allows(size_)) return false;
      Frame f;
      f.dict = name == "dict";
      stack_.push_back(std::move(f));
      return true;
    }
    if (name == "true" || name == "false") {
      std::string inner;
      if (!empty && (!text(name, inner) || !trimXmlSpace(inner).empty())) return false;
      return add(Value::boolean(name == "true"), 0);
    }
    std::string content;
    if (!empty && !text(name, content)) return false;
    if (name == "string") {
      const uint64_t bytes = content.size();
      return add(Value(std::move(content)), bytes);
    }
    if (name == "integer") {
      auto n = parseXmlInteger(content);
      return n && add(std::move(*n), 0);
    }
    if (name == "real") {
      const auto d = parseXmlReal(content);
      return d && add(Value(*d), 0);
    }
    if (name == "date") {
      const auto t = parseXmlDate(trimXmlSpace(content));
      return t && add(Value::dateSinceReferenceDate(*t), 0);
    }
    if (name == "data") {
      auto d = parseBase64(content);
      if (!d) return false;
      const uint64_t bytes = d->size();
      return add(Value::data(std::move(*d)), bytes);
    }
    return false;
  }

  std::string_view s_;
  size_t i_ = 0;
  const Budget& budget_;
  Size size_;
  std::vector<Frame> stack_;
  std::optional<Value> root_;
};

// --- Writing -------------------------------------------------------------------------------------

// Appends text (valid UTF-8) as XML character data; false when it holds a character that XML 1.0
// cannot carry at all: a C0 control other than tab, LF and CR (NUL among them), U+FFFE or U+FFFF.
// (Valid UTF-8 holds no surrogates, and every other character is allowed.) A CR is written as a
// reference, since a reader turns a raw one into LF.
bool appendEscaped(std::string& out, const std::string& text) {
  size_t plain = 0;  // where the run of characters not yet appended starts
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const char* replacement;
    if (c == '&') {
      replacement = "&amp;";
    } else if (c == '<') {
      replacement = "&lt;";
    } else if (c == '>') {
      replacement = "&gt;";
    } else if (c == '\r') {
      replacement = "&#13;";
    } else if (c < 0x20) {
      if (c != '\t' && c != '\n') return false;
      continue;
    } else if (c == 0xEF) {
      // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
      if (i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
          (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE)
        return false;
      continue;
    } else {
      continue;
    }
    out.append(text, plain, i - plain);
    out += replacement;
    plain = i + 1;
  }
  out.append(text, plain, text.size() - plain);
  return true;
}

std::string base64(const Value::Data& d) {
  std::string out(BASE64_ENCODE_RAW_LENGTH(d.size()), '\0');
  base64_encode_raw(reinterpret_cast<char*>(out.data()), d.size(), d.data());
  return out;
}

std::string xmlReal(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d < 0 ? "-inf" : "inf";
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

// Writes v at the given depth; values a plist cannot hold (absent, null) and values nested past
// kMaxDepth are left out. The depth bounds the recursion. False, with the output unfinished, when
// v holds text that XML cannot carry.
bool writeXmlValue(std::string& out, const Value& v, int depth) {
  const std::string indent(static_cast<size_t>(depth), '\t');
  switch (v.kind()) {
    case Value::Kind::Absent:
    case Value::Kind::Null:
      return true;
    case Value::Kind::Bool:
      out += indent + (v.boolValue() ? "<true/>\n" : "<false/>\n");
      return true;
    case Value::Kind::Integer:
      out += indent + "<integer>" +
             (v.isUnsigned() ? std::to_string(v.unsignedLongLongValue())
                             : std::to_string(v.longLongValue())) +
             "</integer>\n";
      return true;
    case Value::Kind::Real:
      out += indent + "<real>" + xmlReal(v.doubleValue()) + "</real>\n";
      return true;
    case Value::Kind::Date:
      // XML dates hold the years 1 to 9999 in whole seconds; another moment is kept as its real
      // number of seconds since 1970, which readers of dates accept.
      if (auto text = xmlDate(v.timeIntervalSinceReferenceDate()))
        out += indent + "<date>" + *text + "</date>\n";
      else
        out += indent + "<real>" + xmlReal(v.dateValue()) + "</real>\n";
      return true;
    case Value::Kind::String:
      out += indent + "<string>";
      if (!appendEscaped(out, plistText(v.str()))) return false;
      out += "</string>\n";
      return true;
    case Value::Kind::Data:
      out += indent + "<data>" + base64(v.dataValue()) + "</data>\n";
      return true;
    case Value::Kind::Array:
      if (v.count() == 0 || depth >= kMaxDepth) {
        out += indent + "<array/>\n";
        return true;
      }
      out += indent + "<array>\n";
      for (const auto& item : v.arrayValue())
        if (!writeXmlValue(out, item, depth + 1)) return false;
      out += indent + "</array>\n";
      return true;
    case Value::Kind::Dict:
      if (v.count() == 0 || depth >= kMaxDepth) {
        out += indent + "<dict/>\n";
        return true;
      }
      out += indent + "<dict>\n";
      for (const auto& [key, item] : v.dictValue()) {
        if (item.isNil()) continue;
        out += indent + "\t<key>";
        if (!appendEscaped(out, plistText(key))) return false;
        out += "</key>\n";
        if (!writeXmlValue(out, item, depth + 1)) return false;
      }
      out += indent + "</dict>\n";
      return true;
  }
  return true;
}

}  // namespace xml_detail

std::optional<Value> readXml(std::string_view text, const Budget& budget) {
  // XML 1.0 (2.11): CR LF and a lone CR read as LF before anything else is parsed. Most documents
  // hold no CR, and are read as they are.
  std::string normalised;
  if (size_t cr = text.find('\r'); cr != std::string_view::npos) {
    normalised.reserve(text.size());
    size_t from = 0;
    for (; cr != std::string_view::npos; cr = text.find('\r', from)) {
      normalised.append(text.substr(from, cr - from));
      normalised += '\n';
      from = cr + 1 < text.size() && text[cr + 1] == '\n' ? cr + 2 : cr + 1;
    }
    normalised.append(text.substr(from));
    text = normalised;
  }
  return xml_detail::XmlPlistReader(text, budget).read();
}

std::string writeXml(const Value& v) {
  if (v.isNil()) return "";
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
  if (!xml_detail::writeXmlValue(out, v, 0)) return "";
  out += "</plist>\n";
  return out;
}

}  // namespace plist_format
