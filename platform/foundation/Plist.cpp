#include "platform/foundation/Plist.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/foundation/NSString.h"

namespace {

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
      return Value(kPlistEpoch + sec + usec / 1e6);
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

std::optional<Value> parse(const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  plist_t raw = nullptr;
  const char* data = reinterpret_cast<const char*>(bytes.data());
  uint32_t size = static_cast<uint32_t>(bytes.size());
  if (bytes.size() >= 8 && std::memcmp(data, "bplist00", 8) == 0) {
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
