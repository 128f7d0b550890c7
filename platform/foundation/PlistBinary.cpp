// The binary property list format: its object table, a reader that decodes each object once, and
// a writer that writes each shared object once.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/foundation/NSString.h"
#include "platform/foundation/PlistFormat.h"

namespace plist_format {

namespace binary_detail {
constexpr size_t kTrailer = 32;
// Marker types (the high four bits of an object's first byte).
enum : uint8_t {
  kSimple = 0x0,
  kInt = 0x1,
  kReal = 0x2,
  kDate = 0x3,
  kData = 0x4,
  kAscii = 0x5,
  kUtf16 = 0x6,
  kUid = 0x8,
  kArray = 0xA,
  kSet = 0xC,
  kDict = 0xD,
};

void appendBigEndian(std::vector<uint8_t>& out, uint64_t v, size_t width) {
  for (size_t i = width; i-- > 0;) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

size_t widthFor(uint64_t max) {
  if (max <= 0xFF) return 1;
  if (max <= 0xFFFF) return 2;
  if (max <= 0xFFFFFFFFu) return 4;
  return 8;
}

uint64_t doubleBits(double d) {
  uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// A marker with a count: small counts in the marker itself, larger ones as an integer after it.
void appendMarker(std::vector<uint8_t>& out, uint8_t type, uint64_t count) {
  if (count < 15) {
    out.push_back(static_cast<uint8_t>(type | count));
    return;
  }
  out.push_back(static_cast<uint8_t>(type | 0x0F));
  const size_t width = widthFor(count);
  out.push_back(static_cast<uint8_t>(0x10 | (width == 1   ? 0
                                             : width == 2 ? 1
                                             : width == 4 ? 2
                                                          : 3)));
  appendBigEndian(out, count, width);
}
}  // namespace binary_detail

// --- Reading -------------------------------------------------------------------------------------

uint64_t BinaryTable::readInt(size_t at, size_t width) const {
  uint64_t v = 0;
  for (size_t i = 0; i < width; ++i) v = (v << 8) | bytes_[at + i];
  return v;
}

bool BinaryTable::open(const uint8_t* bytes, size_t size) {
  using namespace binary_detail;
  if (!bytes || size < 8 + kTrailer || std::memcmp(bytes, "bplist00", 8) != 0) return false;
  bytes_ = bytes;
  size_ = size;
  const size_t trailer = size - kTrailer;
  offsetSize_ = bytes[trailer + 6];
  refSize_ = bytes[trailer + 7];
  count_ = readInt(trailer + 8, 8);
  top_ = readInt(trailer + 16, 8);
  const uint64_t table = readInt(trailer + 24, 8);
  if (offsetSize_ == 0 || offsetSize_ > 8 || refSize_ == 0 || refSize_ > 8 || count_ == 0 ||
      top_ >= count_ || table < 8 || table > trailer || count_ > (trailer - table) / offsetSize_)
    return false;
  table_ = static_cast<size_t>(table);
  end_ = trailer;  // objects lie between the header and the trailer
  return true;
}

bool BinaryTable::object(uint64_t index, Object& out) const {
  using namespace binary_detail;
  if (index >= count_) return false;
  const uint64_t offset = readInt(table_ + static_cast<size_t>(index) * offsetSize_, offsetSize_);
  if (offset < 8 || offset >= table_) return false;
  size_t at = static_cast<size_t>(offset);
  const uint8_t marker = bytes_[at++];
  const uint8_t type = marker >> 4;
  out = Object{};
  out.info = marker & 0x0F;
  auto payload = [&](uint64_t length) {  // a payload of `length` bytes must lie in the objects
    if (at > end_ || length > end_ - at) return false;
    out.at = at;
    return true;
  };
  switch (type) {
    case kSimple:
      // false and true; null and fill bytes are no values of a property list.
      if (out.info != 0x8 && out.info != 0x9) return false;
      out.kind = Kind::Bool;
      return true;
    case kInt:
      // 1, 2, 4, 8 and 16 bytes.
      if (out.info > 4) return false;
      out.kind = Kind::Integer;
      return payload(uint64_t{1} << out.info);
    case kReal:
      if (out.info != 2 && out.info != 3) return false;
      out.kind = Kind::Real;
      return payload(uint64_t{1} << out.info);
    case kDate:
      if (out.info != 3) return false;
      out.kind = Kind::Date;
      return payload(8);
    case kUid:
      out.kind = Kind::Uid;
      out.count = out.info + 1u;
      return out.count <= 8 && payload(out.count);
    case kData:
    case kAscii:
    case kUtf16:
    case kArray:
    case kSet:
    case kDict: {
      uint64_t n = out.info;
      if (n == 0x0F) {  // the count follows as an integer object of 1 to 8 bytes
        if (at >= end_ || (bytes_[at] >> 4) != kInt || (bytes_[at] & 0x0F) > 3) return false;
        const size_t width = size_t{1} << (bytes_[at] & 0x0F);
        if (end_ - at - 1 < width) return false;
        n = readInt(at + 1, width);
        at += 1 + width;
      }
      out.count = n;
      uint64_t unit = 1;
      if (type == kData) {
        out.kind = Kind::Data;
      } else if (type == kAscii || type == kUtf16) {
        out.kind = Kind::String;
        out.wide = type == kUtf16;
        unit = out.wide ? 2 : 1;
      } else {
        // Sets read as arrays.
        out.kind = type == kDict ? Kind::Dict : Kind::Array;
        unit = refSize_ * (type == kDict ? 2 : 1);
      }
      if (at > end_ || n > (end_ - at) / unit) return false;
      out.at = at;
      return true;
    }
    default:
      return false;
  }
}

bool BinaryTable::ref(const Object& container, uint64_t i, uint64_t& out) const {
  out = readInt(container.at + static_cast<size_t>(i) * refSize_, refSize_);
  return out < count_;
}

uint64_t BinaryTable::uid(const Object& o) const { return readInt(o.at, o.count); }

std::optional<Value> BinaryTable::scalar(const Object& o) const {
  switch (o.kind) {
    case Kind::Bool:
      return Value::boolean(o.info == 0x9);
    case Kind::Integer: {
      const size_t width = size_t{1} << o.info;
      if (width < 16) {
        // Eight bytes are 64-bit two's complement (negative numbers); fewer are unsigned.
        return Value(static_cast<long long>(readInt(o.at, width)));
      }
      // Sixteen bytes are 128-bit two's complement: writers use them for the numbers from 2^63 to
      // 2^64-1. A number that fits no 64-bit integer is refused rather than cut.
      const uint64_t high = readInt(o.at, 8), low = readInt(o.at + 8, 8);
      if (high == 0) return Value(static_cast<unsigned long long>(low));
      if (high == UINT64_MAX && (low >> 63) != 0) return Value(static_cast<long long>(low));
      return std::nullopt;
    }
    case Kind::Uid:
      return Value(static_cast<unsigned long long>(uid(o)));
    case Kind::Real:
    case Kind::Date: {
      double d = 0;
      if (o.info == 2) {
        const auto bits = static_cast<uint32_t>(readInt(o.at, 4));
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        d = f;
      } else {
        const uint64_t bits = readInt(o.at, 8);
        std::memcpy(&d, &bits, sizeof d);
      }
      if (o.kind == Kind::Date) return Value::dateSinceReferenceDate(d);
      return Value(d);
    }
    case Kind::Data:
      return Value::data(Value::Data(bytes_ + o.at, bytes_ + o.at + o.count));
    case Kind::String: {
      const uint8_t* p = bytes_ + o.at;
      const size_t n = static_cast<size_t>(o.count);
      std::string s;
      if (!o.wide) {
        // One byte per character, read as UTF-8 as it always was: invalid bytes become U+FFFD.
        s.assign(reinterpret_cast<const char*>(p), n);
        return Value(NSString::sanitizeUTF8(s));
      }
      std::u16string units(n, u'\0');
      for (size_t i = 0; i < n; ++i)
        units[i] = static_cast<char16_t>((p[2 * i] << 8) | p[2 * i + 1]);
      return Value(NSString::fromUTF16(units));
    }
    case Kind::Array:
    case Kind::Dict:
      break;
  }
  return std::nullopt;
}

namespace binary_detail {
// An object read (or being read) by readBinary: shared by every reference to it.
struct Decoded {
  bool done = false;
  Value value;
  Size size;       // expanded
  int height = 0;  // how deep its members nest below it
};
// A container being read: its members so far (a dictionary's keys, then its values).
struct Frame {
  uint64_t index = 0;
  BinaryTable::Object object;
  uint64_t next = 0;
  Value::Array items;
  Size size{1, 0};
  int height = 0;
};
}  // namespace binary_detail

std::optional<Value> readBinary(const BinaryTable& table, uint64_t index, const Budget& budget) {
  using namespace binary_detail;
  std::unordered_map<uint64_t, Decoded> decoded;
  std::vector<Frame> stack;
  std::optional<Value> result;

  // Hands a finished object to the container being read (or makes it the result).
  auto deliver = [&](const Decoded& d) {
    if (stack.empty()) {
      result = d.value;
      return true;
    }
    Frame& parent = stack.back();
    if (static_cast<int>(stack.size()) + d.height > kMaxDepth) return false;
    if (parent.object.kind == BinaryTable::Kind::Dict &&
        parent.items.size() < parent.object.count && !d.value.isString())
      return false;  // keys are strings
    parent.items.push_back(d.value);
    parent.size.add(d.size);
    parent.height = std::max(parent.height, d.height + 1);
    return budget.allows(parent.size);
  };
  auto finish = [&](uint64_t i, Value v, Size size, int height) {
    if (!budget.allows(size)) return false;
    Decoded& d = decoded[i];
    d.done = true;
    d.value = std::move(v);
    d.size = size;
    d.height = height;
    return deliver(d);
  };
  // Starts reading object i as a member of the container on top of the stack.
  auto open = [&](uint64_t i) {
    if (auto it = decoded.find(i); it != decoded.end()) {
      if (!it->second.done) return false;  // a container that holds itself
      return deliver(it->second);
    }
    if (static_cast<int>(stack.size()) > kMaxDepth) return false;
    BinaryTable::Object o;
    if (!table.object(i, o)) return false;
    if (o.kind == BinaryTable::Kind::Array || o.kind == BinaryTable::Kind::Dict) {
      decoded[i].done = false;
      Frame f;
      f.index = i;
      f.object = o;
      f.items.reserve(static_cast<size_t>(std::min<uint64_t>(o.count * 2, 4096)));
      stack.push_back(std::move(f));
      return true;
    }
    auto v = table.scalar(o);
    if (!v) return false;
    const uint64_t bytes = v->isString() ? v->str().size() : v->isData() ? o.count : 0;
    return finish(i, std::move(*v), Size{1, bytes}, 0);
  };

  if (!open(index)) return std::nullopt;
  while (!stack.empty()) {
    Frame& f = stack.back();
    const bool dict = f.object.kind == BinaryTable::Kind::Dict;
    if (f.next < f.object.count * (dict ? 2 : 1)) {
      uint64_t child = 0;
      if (!table.ref(f.object, f.next++, child) || !open(child)) return std::nullopt;
      continue;
    }
    Frame done = std::move(f);
    stack.pop_back();
    Value v;
    if (dict) {
      Value::Dict d;
      const auto n = static_cast<size_t>(done.object.count);
      // A key given twice keeps its last value.
      for (size_t k = 0; k < n; ++k) d.insert_or_assign(done.items[k].str(), done.items[n + k]);
      v = Value(std::move(d));
    } else {
      v = Value(std::move(done.items));
    }
    if (!finish(done.index, std::move(v), done.size, done.height)) return std::nullopt;
  }
  return result;
}

// --- Writing -------------------------------------------------------------------------------------

uint64_t BinaryWriter::push(Entry e) {
  entries_.push_back(std::move(e));
  return entries_.size() - 1;
}

uint64_t BinaryWriter::addScalar(const Value& v) {
  using namespace binary_detail;
  Entry e;
  auto& out = e.bytes;
  switch (v.kind()) {
    case Value::Kind::String: {
      std::string text = plistText(v.str());
      if (auto it = strings_.find(text); it != strings_.end()) return it->second;
      const bool ascii =
          std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
      if (ascii) {
        appendMarker(out, 0x50, text.size());
        out.insert(out.end(), text.begin(), text.end());
      } else {
        const std::u16string units = NSString::toUTF16(text);
        appendMarker(out, 0x60, units.size());
        for (char16_t u : units) appendBigEndian(out, u, 2);
      }
      const uint64_t index = push(std::move(e));
      strings_.emplace(std::move(text), index);
      return index;
    }
    case Value::Kind::Data: {
      const auto& d = v.dataValue();
      appendMarker(out, 0x40, d.size());
      out.insert(out.end(), d.begin(), d.end());
      return push(std::move(e));
    }
    case Value::Kind::Bool:
      out.push_back(v.boolValue() ? 0x09 : 0x08);
      break;
    case Value::Kind::Integer: {
      if (v.isUnsigned()) {
        // Above INT64_MAX: a 16-byte integer, whose high half is zero.
        out.push_back(0x14);
        appendBigEndian(out, 0, 8);
        appendBigEndian(out, v.unsignedLongLongValue(), 8);
        break;
      }
      const long long n = v.longLongValue();
      // Negative numbers take eight bytes (two's complement); others the fewest of 1, 2, 4, 8.
      const size_t width = n < 0 ? 8 : widthFor(static_cast<uint64_t>(n));
      out.push_back(static_cast<uint8_t>(0x10 | (width == 1   ? 0
                                                 : width == 2 ? 1
                                                 : width == 4 ? 2
                                                              : 3)));
      appendBigEndian(out, static_cast<uint64_t>(n), width);
      break;
    }
    case Value::Kind::Real:
      out.push_back(0x23);
      appendBigEndian(out, doubleBits(v.doubleValue()), 8);
      break;
    case Value::Kind::Date:
      // A moment that is no finite number of seconds is no date: it is kept as the real number
      // of seconds since 1970, which readers of dates accept.
      if (std::isfinite(v.timeIntervalSinceReferenceDate())) {
        out.push_back(0x33);
        appendBigEndian(out, doubleBits(v.timeIntervalSinceReferenceDate()), 8);
      } else {
        out.push_back(0x23);
        appendBigEndian(out, doubleBits(v.dateValue()), 8);
      }
      break;
    default:
      return addScalar(Value(""));
  }
  std::string key(out.begin(), out.end());
  if (auto it = scalars_.find(key); it != scalars_.end()) return it->second;
  const uint64_t index = push(std::move(e));
  scalars_.emplace(std::move(key), index);
  return index;
}

uint64_t BinaryWriter::addUid(uint64_t n) {
  using namespace binary_detail;
  Entry e;
  const size_t width = widthFor(n);
  e.bytes.push_back(static_cast<uint8_t>(0x80 | (width - 1)));
  appendBigEndian(e.bytes, n, width);
  std::string key(e.bytes.begin(), e.bytes.end());
  if (auto it = scalars_.find(key); it != scalars_.end()) return it->second;
  const uint64_t index = push(std::move(e));
  scalars_.emplace(std::move(key), index);
  return index;
}

uint64_t BinaryWriter::reserve() { return push(Entry{}); }

void BinaryWriter::setArray(uint64_t index, std::vector<uint64_t> refs) {
  Entry& e = entries_[index];
  e.container = 0xA0;
  e.members = refs.size();
  e.refs = std::move(refs);
}

void BinaryWriter::setDict(uint64_t index, std::vector<std::pair<uint64_t, uint64_t>> entries) {
  Entry& e = entries_[index];
  e.container = 0xD0;
  e.members = entries.size();
  e.refs.clear();
  e.refs.reserve(entries.size() * 2);
  for (const auto& entry : entries) e.refs.push_back(entry.first);
  for (const auto& entry : entries) e.refs.push_back(entry.second);
}

uint64_t BinaryWriter::addArray(std::vector<uint64_t> refs) {
  const uint64_t index = reserve();
  setArray(index, std::move(refs));
  return index;
}

uint64_t BinaryWriter::addDict(std::vector<std::pair<uint64_t, uint64_t>> entries) {
  const uint64_t index = reserve();
  setDict(index, std::move(entries));
  return index;
}

std::vector<uint8_t> BinaryWriter::finish(uint64_t top) const {
  using namespace binary_detail;
  if (entries_.empty() || top >= entries_.size()) return {};
  const size_t refSize = widthFor(entries_.size() - 1);
  std::vector<uint8_t> out = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  std::vector<uint64_t> offsets;
  offsets.reserve(entries_.size());
  for (const Entry& e : entries_) {
    offsets.push_back(out.size());
    if (e.container) {
      appendMarker(out, e.container, e.members);
      for (uint64_t r : e.refs) appendBigEndian(out, r, refSize);
    } else if (e.bytes.empty()) {
      appendMarker(out, 0xA0, 0);  // reserved and never given: an empty array
    } else {
      out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    }
  }
  const uint64_t table = out.size();
  const size_t offsetSize = widthFor(offsets.back());
  for (uint64_t o : offsets) appendBigEndian(out, o, offsetSize);
  out.insert(out.end(), 6, 0);
  out.push_back(static_cast<uint8_t>(offsetSize));
  out.push_back(static_cast<uint8_t>(refSize));
  appendBigEndian(out, entries_.size(), 8);
  appendBigEndian(out, top, 8);
  appendBigEndian(out, table, 8);
  return out;
}

namespace binary_detail {
// Adds v and what it holds; a container, or data, that v shares is added once. Nothing for
// values a plist cannot hold (absent, null) or nested past kMaxDepth.
std::optional<uint64_t> addValue(BinaryWriter& writer,
                                 std::unordered_map<const void*, uint64_t>& shared, const Value& v,
                                 int depth) {
  if (v.isNil() || depth > kMaxDepth) return std::nullopt;
  const void* box = sharedBox(v);
  if (box) {
    if (auto it = shared.find(box); it != shared.end()) return it->second;
  }
  uint64_t index = 0;
  if (v.isArray()) {
    index = writer.reserve();
    shared.emplace(box, index);
    std::vector<uint64_t> refs;
    refs.reserve(v.count());
    for (const auto& item : v.arrayValue())
      if (auto r = addValue(writer, shared, item, depth + 1)) refs.push_back(*r);
    writer.setArray(index, std::move(refs));
  } else if (v.isDict()) {
    index = writer.reserve();
    shared.emplace(box, index);
    std::vector<std::pair<uint64_t, uint64_t>> entries;
    entries.reserve(v.count());
    for (const auto& [key, item] : v.dictValue())
      if (auto r = addValue(writer, shared, item, depth + 1))
        entries.emplace_back(writer.addScalar(Value(key)), *r);
    writer.setDict(index, std::move(entries));
  } else {
    index = writer.addScalar(v);
    if (box) shared.emplace(box, index);
  }
  return index;
}
}  // namespace binary_detail

std::vector<uint8_t> writeBinary(const Value& v) {
  BinaryWriter writer;
  std::unordered_map<const void*, uint64_t> shared;
  const auto top = binary_detail::addValue(writer, shared, v, 0);
  if (!top) return {};
  return writer.finish(*top);
}

}  // namespace plist_format
