#pragma once
// What walking a Value costs when every shared container is visited once per reference to it:
// what description(), the XML writer and a reader of that XML go through. Property lists and
// keyed archives share objects by reference, so a few hundred bytes read (cheaply, each object
// once) into a value that expands to a million values or 64 MB of text; the harnesses walk such
// a value expanded only when it is small.
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "platform/foundation/PlistFormat.h"
#include "platform/foundation/Value.h"

namespace fuzz {

struct ExpandedSize {
  uint64_t values = 0;
  uint64_t bytes = 0;     // of strings, dictionary keys and data
  bool holdsNaN = false;  // a value that equals nothing, not even itself

  void add(const ExpandedSize& o) {
    values = values + o.values < values ? UINT64_MAX : values + o.values;
    bytes = bytes + o.bytes < bytes ? UINT64_MAX : bytes + o.bytes;
    holdsNaN = holdsNaN || o.holdsNaN;
  }
  bool within(uint64_t maxValues, uint64_t maxBytes) const {
    return values <= maxValues && bytes <= maxBytes;
  }
};

namespace detail {
// Each container is sized once, by the address of its storage, which copies of a Value share.
// Recursion is as deep as the value nests: at most 512 for what the readers give.
inline ExpandedSize expandedSize(const Value& v,
                                 std::unordered_map<const void*, ExpandedSize>& known) {
  ExpandedSize size{1, 0};
  if (v.isReal()) {
    size.holdsNaN = std::isnan(v.doubleValue());
  } else if (v.isString()) {
    size.bytes = v.str().size();
  } else if (v.isData()) {
    size.bytes = v.dataValue().size();
  } else if (v.isArray() || v.isDict()) {
    const void* storage = plist_format::sharedBox(v);
    if (auto it = known.find(storage); it != known.end()) return it->second;
    if (v.isArray()) {
      for (const auto& item : v.arrayValue()) size.add(expandedSize(item, known));
    } else {
      for (const auto& [key, item] : v.dictValue()) {
        size.add(ExpandedSize{1, key.size()});
        size.add(expandedSize(item, known));
      }
    }
    known[storage] = size;
  }
  return size;
}
}  // namespace detail

inline ExpandedSize expandedSize(const Value& v) {
  std::unordered_map<const void*, ExpandedSize> known;
  return detail::expandedSize(v, known);
}

}  // namespace fuzz
