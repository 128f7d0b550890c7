#include "platform/foundation/Plist.h"

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/foundation/NSString.h"

namespace {

// Deeper containers are refused when reading (and left out when writing).
constexpr int kMaxDepth = 512;

// Seconds between 1970-01-01 and 2001-01-01, the epoch of plist dates.
constexpr double kPlistEpoch = 978307200.0;

// Owns a plist node tree (freed with plist_free).
struct NodeDeleter {
  void operator()(void* node) const {
    if (node) plist_free(static_cast<plist_t>(node));
  }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// Owns memory that libplist allocated with malloc.
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
using Owned = std::unique_ptr<char, FreeDeleter>;

// A date node: libplist counts whole seconds since 2001 in 32 bits (1933 to 2069), plus
// microseconds of the same sign. A moment outside that range (or not finite) cannot be a plist
// date; it is kept as a real number of seconds since 1970, which readers of dates accept.
Node dateNode(double secondsSince1970) {
  const double since2001 = secondsSince1970 - kPlistEpoch;
  if (!std::isfinite(since2001) || since2001 <= std::numeric_limits<int32_t>::min() ||
      since2001 >= std::numeric_limits<int32_t>::max())
    return Node(plist_new_real(secondsSince1970));
  const double whole = std::trunc(since2001);
  auto usec = static_cast<int32_t>(std::llround((since2001 - whole) * 1e6));
  auto sec = static_cast<int32_t>(whole);
  if (usec >= 1000000 || usec <= -1000000) {  // rounding reached the next second
    sec += usec > 0 ? 1 : -1;
    usec = 0;
  }
  return Node(plist_new_date(sec, usec));
}

// Builds a node for v, or nullptr when a plist cannot hold it. Strings are made valid
// UTF-8 first: libplist trusts what it gets.
Node toNode(const Value& v, int depth) {
  if (depth > 512) return nullptr;
  switch (v.kind()) {
    case Value::Kind::Absent:
    case Value::Kind::Null:
      return nullptr;
    case Value::Kind::Bool:
      return Node(plist_new_bool(v.boolValue() ? 1 : 0));
    case Value::Kind::Integer:
      return Node(plist_new_uint(static_cast<uint64_t>(v.longLongValue())));
    case Value::Kind::Real:
      return Node(plist_new_real(v.doubleValue()));
    case Value::Kind::String:
      return Node(plist_new_string(NSString::sanitizeUTF8(v.str()).c_str()));
    case Value::Kind::Data: {
      const auto& d = v.dataValue();
      return Node(plist_new_data(reinterpret_cast<const char*>(d.data()), d.size()));
    }
    case Value::Kind::Date:
      return dateNode(v.dateValue());
    case Value::Kind::Array: {
      Node array(plist_new_array());
      for (const auto& item : v.arrayValue()) {
        Node child = toNode(item, depth + 1);
        if (child) plist_array_append_item(array.get(), child.release());  // the array owns it now
      }
      return array;
    }
    case Value::Kind::Dict: {
      Node dict(plist_new_dict());
      for (const auto& [key, item] : v.dictValue()) {
        Node child = toNode(item, depth + 1);
        if (child)
          plist_dict_set_item(dict.get(), NSString::sanitizeUTF8(key).c_str(), child.release());
      }
      return dict;
    }
  }
  return nullptr;
}

Value fromNode(plist_t node, int depth) {
  if (!node || depth > 512) return Value();
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value::boolean(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      // Integers are stored as 64-bit two's complement: negative numbers come back intact.
      return Value(static_cast<long long>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
      char* raw = nullptr;
      plist_get_string_val(node, &raw);
      Owned s(raw);
      return Value(NSString::sanitizeUTF8(s ? s.get() : ""));
    }
    case PLIST_DATA: {
      char* raw = nullptr;
      uint64_t length = 0;
      plist_get_data_val(node, &raw, &length);
      Owned d(raw);
      const auto* bytes = reinterpret_cast<const uint8_t*>(d.get());
      return Value::data(bytes ? Value::Data(bytes, bytes + length) : Value::Data());
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      // libplist gives the fraction without its sign: before 2001 it lies further back.
      const double fraction = usec / 1e6;
      return Value::date(kPlistEpoch + sec + (sec < 0 ? -fraction : fraction));
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return Value(static_cast<unsigned long long>(u));
    }
    case PLIST_ARRAY: {
      Value::Array a;
      uint32_t n = plist_array_get_size(node);
      for (uint32_t i = 0; i < n; ++i)
        a.push_back(fromNode(plist_array_get_item(node, i), depth + 1));
      return Value(std::move(a));
    }
    case PLIST_DICT: {
      Value::Dict d;
      plist_dict_iter raw = nullptr;
      plist_dict_new_iter(node, &raw);
      Owned iter(static_cast<char*>(raw));
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, raw, &key, &item);
        Owned ownedKey(key);
        if (!item) break;
        Value v = fromNode(item, depth + 1);
        if (!v.isNil()) d.insert_or_assign(NSString::sanitizeUTF8(key ? key : ""), std::move(v));
      }
      return Value(std::move(d));
    }
    default:
      return Value();
  }
}

}  // namespace

namespace Plist {

bool binaryNestingWithin(const uint8_t* bytes, size_t size, int limit) {
  // Layout: "bplist00", the objects, a table of their offsets, and a 32-byte trailer.
  if (!bytes || size < 8 + 32 || std::memcmp(bytes, "bplist00", 8) != 0) return false;
  auto readInt = [&](size_t at, size_t width, uint64_t& out) {
    if (width == 0 || width > 8 || at > size || size - at < width) return false;
    out = 0;
    for (size_t i = 0; i < width; ++i) out = (out << 8) | bytes[at + i];
    return true;
  };
  const size_t trailer = size - 32;
  const size_t offsetSize = bytes[trailer + 6], refSize = bytes[trailer + 7];
  uint64_t count = 0, top = 0, table = 0;
  if (!readInt(trailer + 8, 8, count) || !readInt(trailer + 16, 8, top) ||
      !readInt(trailer + 24, 8, table))
    return false;
  if (offsetSize == 0 || offsetSize > 8 || refSize == 0 || refSize > 8 || count == 0 ||
      top >= count || table > trailer || count > (trailer - table) / offsetSize)
    return false;

  // The references an object holds: the members of arrays, sets and dictionaries.
  auto children = [&](uint64_t index, std::vector<uint64_t>& out) {
    out.clear();
    uint64_t offset = 0;
    if (!readInt(static_cast<size_t>(table + index * offsetSize), offsetSize, offset) ||
        offset < 8 || offset >= table)
      return false;
    size_t at = static_cast<size_t>(offset);
    uint8_t marker = bytes[at++];
    uint8_t type = marker >> 4;
    if (type != 0xA && type != 0xB && type != 0xC && type != 0xD) return true;  // no members
    uint64_t n = marker & 0x0F;
    if (n == 0x0F) {  // the count follows as an integer object
      if (at >= size || (bytes[at] >> 4) != 0x1) return false;
      size_t width = size_t{1} << (bytes[at] & 0x0F);
      if (!readInt(at + 1, width, n)) return false;
      at += 1 + width;
    }
    if (type == 0xD) {
      if (n > size) return false;
      n *= 2;  // keys, then values
    }
    if (n > (size - at) / refSize) return false;
    for (uint64_t i = 0; i < n; ++i) {
      uint64_t ref = 0;
      readInt(at + static_cast<size_t>(i) * refSize, refSize, ref);
      if (ref >= count) return false;
      out.push_back(ref);
    }
    return true;
  };

  // Depth-first, without recursion, remembering each object's depth below it so that shared
  // objects are walked once.
  enum : uint8_t { kNew, kOpen, kDone };
  std::vector<uint8_t> state(static_cast<size_t>(count), kNew);
  std::vector<int> height(static_cast<size_t>(count), 0);
  struct Frame {
    uint64_t index;
    std::vector<uint64_t> refs;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  auto open = [&](uint64_t index) {
    Frame f{index, {}, 0};
    if (!children(index, f.refs)) return false;
    state[static_cast<size_t>(index)] = kOpen;
    stack.push_back(std::move(f));
    return static_cast<int>(stack.size()) <= limit + 1;
  };
  if (!open(top)) return false;
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next < f.refs.size()) {
      uint64_t child = f.refs[f.next++];
      uint8_t st = state[static_cast<size_t>(child)];
      if (st == kOpen) return false;  // a cycle
      if (st == kDone) {
        if (static_cast<int>(stack.size()) + height[static_cast<size_t>(child)] > limit + 1)
          return false;
        continue;
      }
      if (!open(child)) return false;
      continue;
    }
    int h = 0;
    for (uint64_t child : f.refs) h = std::max(h, height[static_cast<size_t>(child)] + 1);
    height[static_cast<size_t>(f.index)] = h;
    state[static_cast<size_t>(f.index)] = kDone;
    stack.pop_back();
  }
  return true;
}

bool binaryStringsWithoutNul(const uint8_t* bytes, size_t size) {
  if (!bytes || size < 8 + 32 || std::memcmp(bytes, "bplist00", 8) != 0) return false;
  auto readInt = [&](size_t at, size_t width, uint64_t& out) {
    if (width == 0 || width > 8 || at > size || size - at < width) return false;
    out = 0;
    for (size_t i = 0; i < width; ++i) out = (out << 8) | bytes[at + i];
    return true;
  };
  const size_t trailer = size - 32;
  const size_t offsetSize = bytes[trailer + 6];
  uint64_t count = 0, table = 0;
  if (!readInt(trailer + 8, 8, count) || !readInt(trailer + 24, 8, table)) return false;
  if (offsetSize == 0 || offsetSize > 8 || table > trailer ||
      count > (trailer - table) / offsetSize)
    return false;
  for (uint64_t index = 0; index < count; ++index) {
    uint64_t offset = 0;
    if (!readInt(static_cast<size_t>(table + index * offsetSize), offsetSize, offset) ||
        offset < 8 || offset >= table)
      return false;
    size_t at = static_cast<size_t>(offset);
    const uint8_t marker = bytes[at++];
    const uint8_t type = marker >> 4;
    // 0x5: one byte per character; 0x6: UTF-16, big-endian; 0x7: UTF-8.
    if (type != 0x5 && type != 0x6 && type != 0x7) continue;
    uint64_t n = marker & 0x0F;
    if (n == 0x0F) {  // the length follows as an integer object
      if (at >= size || (bytes[at] >> 4) != 0x1) return false;
      const size_t width = size_t{1} << (bytes[at] & 0x0F);
      if (!readInt(at + 1, width, n)) return false;
      at += 1 + width;
    }
    const size_t unit = type == 0x6 ? 2 : 1;
    if (at > table || n > (table - at) / unit) return false;  // runs past the objects
    const uint8_t* text = bytes + at;
    if (unit == 1) {
      if (std::memchr(text, 0, static_cast<size_t>(n))) return false;
    } else {
      for (uint64_t i = 0; i < n; ++i) {
        if (text[2 * i] == 0 && text[2 * i + 1] == 0) return false;
      }
    }
  }
  return true;
}

bool binaryReadable(const uint8_t* bytes, size_t size) {
  return binaryNestingWithin(bytes, size, kMaxDepth) && binaryStringsWithoutNul(bytes, size);
}

std::optional<Value> parse(const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  plist_t raw = nullptr;
  const char* data = reinterpret_cast<const char*>(bytes.data());
  uint32_t size = static_cast<uint32_t>(bytes.size());
  if (bytes.size() >= 8 && std::memcmp(data, "bplist00", 8) == 0) {
    if (!binaryReadable(bytes.data(), bytes.size())) return std::nullopt;
    plist_from_bin(data, size, &raw);
  } else {
    // The XML reader wants text it can trust: no NUL bytes inside, valid UTF-8.
    std::string text(data, size);
    if (text.find('\0') != std::string::npos || !NSString::isValidUTF8(text)) return std::nullopt;
    if (text.find("<plist") == std::string::npos) return std::nullopt;
    plist_from_xml(text.c_str(), size, &raw);
  }
  Node node(raw);
  if (!node) return std::nullopt;
  return fromNode(node.get(), 0);
}

Value valueOfNode(void* node) { return fromNode(static_cast<plist_t>(node), 0); }

std::optional<Value> parse(const std::string& text) {
  return parse(std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> toBinary(const Value& v) {
  Node node = toNode(v, 0);
  if (!node) return {};
  char* raw = nullptr;
  uint32_t length = 0;
  plist_to_bin(node.get(), &raw, &length);
  Owned out(raw);
  if (!out) return {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(out.get());
  return std::vector<uint8_t>(bytes, bytes + length);
}

std::string toXML(const Value& v) {
  Node node = toNode(v, 0);
  if (!node) return "";
  char* raw = nullptr;
  uint32_t length = 0;
  plist_to_xml(node.get(), &raw, &length);
  Owned out(raw);
  if (!out) return "";
  return std::string(out.get(), length);
}

}  // namespace Plist
