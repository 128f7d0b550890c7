#pragma once
// The pieces of the property list formats that the plist reader and writers share with the keyed
// archiver and unarchiver: the budget of what a read may expand to, the conversion of dates, and
// the binary format's object table (reading) and object list (writing). Plist.h is the API for
// everyone else. Everything here is reentrant; a table or writer is used by one thread at a time.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/foundation/Value.h"

namespace plist_format {

// Containers nest at most this deep below the top value; deeper ones are refused when reading
// (and left out when writing).
constexpr int kMaxDepth = 512;

// What one read may expand to, counting every reference to a shared object as a copy: values
// (nodes) and the bytes of strings, keys and data. A binary plist or keyed archive shares objects
// by reference, so a few hundred bytes can describe 2^30 values or gigabytes of text; whoever walks
// the result (description, JSON, comparison, the writers) walks it expanded. Defaults, keychain
// files and pasteboard items hold hundreds to tens of thousands of values and kilobytes to a few
// megabytes of text: a million values and 64 MB are far above any of them, while the walk of such
// a tree stays within a second and a few hundred megabytes. Bytes the input itself holds are
// allowed on top (a plist that shares nothing is never refused for its size).
constexpr uint64_t kMaxNodes = uint64_t{1} << 20;
constexpr uint64_t kMaxBytes = uint64_t{64} << 20;

// The expanded size of a value, saturating instead of overflowing.
struct Size {
  uint64_t nodes = 0;
  uint64_t bytes = 0;
  void add(const Size& o) {
    nodes = nodes + o.nodes < nodes ? UINT64_MAX : nodes + o.nodes;
    bytes = bytes + o.bytes < bytes ? UINT64_MAX : bytes + o.bytes;
  }
};
struct Budget {
  uint64_t maxNodes = kMaxNodes;
  uint64_t maxBytes = kMaxBytes;
  explicit Budget(size_t inputSize) : maxBytes(kMaxBytes + inputSize) {}
  bool allows(const Size& s) const { return s.nodes <= maxNodes && s.bytes <= maxBytes; }
};

// Plist dates count seconds since 2001-01-01 (binary: a double; keyed archives: NS.time), as Value
// dates do (Value::dateSinceReferenceDate, timeIntervalSinceReferenceDate): a date is read and
// written back as the same double.

// "YYYY-MM-DDTHH:MM:SSZ" for a moment of the years 1 to 9999, given in seconds since 2001 (the
// second it falls in, in the proleptic Gregorian calendar); nullopt outside them or when not
// finite.
std::optional<std::string> xmlDate(double since2001);
// The moment such a text names, in seconds since 2001; nullopt unless it is exactly that form
// with a valid date.
std::optional<double> parseXmlDate(std::string_view text);

// UTF-8, made valid (invalid bytes become U+FFFD). A NUL stays: the binary format holds it.
std::string plistText(const std::string& s);

// A document in UTF-16 of either byte order, after its byte-order mark, as UTF-8; nullopt when the
// bytes start with no such mark or are no UTF-16.
std::optional<std::string> utf16Document(const uint8_t* bytes, size_t size);

// The object table of a binary plist ("bplist00", objects, offset table, 32-byte trailer). Reads
// one object at a time, checking every offset, length and reference against the bytes, so that a
// reader can walk as much of the table as it needs and no more. The bytes must outlive the table.
class BinaryTable {
 public:
  enum class Kind { Bool, Integer, Real, Date, Data, String, Uid, Array, Dict };
  struct Object {
    Kind kind = Kind::Bool;
    uint64_t count = 0;  // members of a container (pairs for a dictionary), bytes, UTF-16 units
    size_t at = 0;       // where its payload starts
    uint8_t info = 0;    // the low four bits of its marker
    bool wide = false;   // a string of UTF-16 units (otherwise of one byte per character)
  };

  // False unless the bytes hold a binary plist whose trailer and offset table are sound.
  bool open(const uint8_t* bytes, size_t size);
  uint64_t count() const { return count_; }
  uint64_t top() const { return top_; }
  size_t size() const { return size_; }
  // The header of object `index`; false when it lies outside the objects, is of a type this
  // reader does not know or its payload runs past them.
  bool object(uint64_t index, Object& out) const;
  // The i-th reference of a container (a dictionary's keys come first, then its values); false
  // when the reference is out of range.
  bool ref(const Object& container, uint64_t i, uint64_t& out) const;
  // The value of a non-container: integers of 1, 2 and 4 bytes as unsigned, of 8 bytes as
  // 64-bit two's complement, of 16 bytes as the number they hold (nullopt unless it fits a signed
  // or an unsigned 64-bit integer); UIDs as unsigned; strings as UTF-8, whole; dates as Value
  // dates of the same seconds since 2001.
  std::optional<Value> scalar(const Object& o) const;
  uint64_t uid(const Object& o) const;  // the number of a UID object

 private:
  uint64_t readInt(size_t at, size_t width) const;
  const uint8_t* bytes_ = nullptr;
  size_t size_ = 0, end_ = 0, table_ = 0;
  size_t offsetSize_ = 0, refSize_ = 0;
  uint64_t count_ = 0, top_ = 0;
};

// Reads object `index` of the table, and everything it holds, as a Value: each object once,
// shared by every reference to it, without recursion. nullopt past the budget or kMaxDepth, on a
// cycle, or for anything the table refuses. UIDs read as integers.
std::optional<Value> readBinary(const BinaryTable& table, uint64_t index, const Budget& budget);

// Builds a binary plist object by object: each call returns the new object's index, and finish()
// writes them with the given top object. Strings are written once per distinct text; whoever adds
// shared containers keeps their indexes.
class BinaryWriter {
 public:
  // Bool, integer (one above INT64_MAX as a 16-byte integer), real, string, data or date.
  uint64_t addScalar(const Value& v);
  uint64_t addUid(uint64_t n);
  uint64_t addArray(std::vector<uint64_t> refs);
  // Keys and values are object indexes; keys should be strings.
  uint64_t addDict(std::vector<std::pair<uint64_t, uint64_t>> entries);
  // Reserves an index whose object is given later with setArray/setDict, so that a container can
  // come before what it holds.
  uint64_t reserve();
  void setArray(uint64_t index, std::vector<uint64_t> refs);
  void setDict(uint64_t index, std::vector<std::pair<uint64_t, uint64_t>> entries);
  std::vector<uint8_t> finish(uint64_t top) const;

 private:
  struct Entry {
    std::vector<uint8_t> bytes;  // a scalar's whole encoding
    std::vector<uint64_t> refs;  // a container's references (keys, then values)
    uint8_t container = 0;       // 0xA0 or 0xD0 for containers; 0 for scalars
    uint64_t members = 0;
  };
  uint64_t push(Entry e);
  std::vector<Entry> entries_;
  std::unordered_map<std::string, uint64_t> strings_;
  std::unordered_map<std::string, uint64_t> scalars_;  // numbers, booleans and dates by encoding
};

// What a container or data value shares with its copies (the address of its storage), so that a
// writer writes each shared one once; nullptr for every other value.
inline const void* sharedBox(const Value& v) {
  if (v.isArray()) return &v.arrayValue();
  if (v.isDict()) return &v.dictValue();
  if (v.isData()) return &v.dataValue();
  return nullptr;
}

// Writes v as a binary plist: each container, string and data that v shares is written once.
std::vector<uint8_t> writeBinary(const Value& v);
// Reads an XML plist in UTF-8. Line ends are normalised first, as XML 1.0 (2.11) asks: CR LF and
// a lone CR read as LF (a CR is carried as "&#13;").
std::optional<Value> readXml(std::string_view text, const Budget& budget);
// Writes well-formed XML 1.0 only: "" when v holds a string or key with a character that XML 1.0
// cannot carry (a C0 control other than tab, LF and CR, NUL among them, or U+FFFE and U+FFFF).
// A CR is written as "&#13;".
std::string writeXml(const Value& v);

}  // namespace plist_format
