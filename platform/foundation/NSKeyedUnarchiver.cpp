#include "platform/foundation/NSKeyedUnarchiver.h"

#include <string_view>
#include <unordered_map>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/PlistFormat.h"

namespace keyed_detail {

using plist_format::BinaryTable;
using plist_format::Size;

// The entries of a dictionary object of the table whose keys are strings, by key.
using Fields = std::vector<std::pair<std::string, uint64_t>>;
bool fieldsOf(const BinaryTable& table, uint64_t index, Fields& out) {
  BinaryTable::Object o;
  if (!table.object(index, o) || o.kind != BinaryTable::Kind::Dict) return false;
  out.clear();
  out.reserve(static_cast<size_t>(std::min<uint64_t>(o.count, 4096)));
  for (uint64_t i = 0; i < o.count; ++i) {
    uint64_t keyRef = 0, valueRef = 0;
    BinaryTable::Object key;
    if (!table.ref(o, i, keyRef) || !table.ref(o, o.count + i, valueRef) ||
        !table.object(keyRef, key) || key.kind != BinaryTable::Kind::String)
      return false;
    auto text = table.scalar(key);
    if (!text) return false;
    out.emplace_back(text->str(), valueRef);
  }
  return true;
}

const uint64_t* field(const Fields& fields, std::string_view key) {
  for (const auto& [k, ref] : fields)
    if (k == key) return &ref;
  return nullptr;
}

// Resolves the archive's object graph through its $objects: each object is decoded once, when
// first referenced, and shared by every later reference. Every reference ($null among them)
// counts, with the whole size of what it refers to, against the budget of a read; references
// deeper than kMaxDepth, or back to an object being decoded (a cycle), refuse the archive. The
// recursion is bounded by that depth.
class Unarchiver {
 public:
  Unarchiver(const BinaryTable& table, const BinaryTable::Object& objects,
             const plist_format::Budget& budget)
      : table_(table), objects_(objects), budget_(budget) {}

  // The object that UID `index` names, at `depth`: its size is added to `size`, and `height`
  // (how deep the referring object nests) grows to hold it.
  std::optional<Value> reference(uint64_t index, Size& size, int depth, int& height) {
    if (index == 0) {  // "$null"
      size.add(Size{1, 0});
      return budget_.allows(size) ? std::optional<Value>(Value()) : std::nullopt;
    }
    auto it = memo_.find(index);
    if (it == memo_.end()) {
      if (depth > plist_format::kMaxDepth) return std::nullopt;
      memo_[index].done = false;
      Size own{1, 0};
      int ownHeight = 0;
      auto value = decode(index, own, depth, ownHeight);
      if (!value || !budget_.allows(own)) return std::nullopt;
      it = memo_.find(index);
      it->second = Memo{true, std::move(*value), own, ownHeight};
    } else if (!it->second.done) {
      return std::nullopt;  // an object that holds itself
    }
    // An object decoded before, referred to again from deeper down, must fit there too.
    if (depth + it->second.height > plist_format::kMaxDepth) return std::nullopt;
    height = std::max(height, it->second.height + 1);
    size.add(it->second.size);
    if (!budget_.allows(size)) return std::nullopt;
    return it->second.value;
  }

 private:
  struct Memo {
    bool done = false;
    Value value;
    Size size;
    int height = 0;
  };

  // The table index of archived object `index`.
  bool tableIndex(uint64_t index, uint64_t& out) const {
    return index < objects_.count && table_.ref(objects_, index, out);
  }

  // A field's value: a UID names another object; booleans, numbers, strings and data are
  // themselves; anything else is refused.
  std::optional<Value> resolve(uint64_t ref, Size& size, int depth, int& height) {
    BinaryTable::Object o;
    if (!table_.object(ref, o)) return std::nullopt;
    if (o.kind == BinaryTable::Kind::Uid) return reference(table_.uid(o), size, depth + 1, height);
    if (o.kind == BinaryTable::Kind::Array || o.kind == BinaryTable::Kind::Dict ||
        o.kind == BinaryTable::Kind::Date)
      return std::nullopt;
    auto v = table_.scalar(o);
    if (!v) return std::nullopt;
    size.add(Size{1, v->isString() ? v->str().size() : v->isData() ? o.count : 0});
    return v;
  }

  // The members of an array field (NS.keys, NS.objects).
  bool members(const uint64_t* ref, Value::Array& out, Size& size, int depth, int& height) {
    BinaryTable::Object o;
    if (!ref || !table_.object(*ref, o) || o.kind != BinaryTable::Kind::Array) return false;
    out.reserve(static_cast<size_t>(std::min<uint64_t>(o.count, 4096)));
    for (uint64_t i = 0; i < o.count; ++i) {
      uint64_t member = 0;
      if (!table_.ref(o, i, member)) return false;
      auto item = resolve(member, size, depth, height);
      if (!item || !budget_.allows(size)) return false;
      out.push_back(std::move(*item));
    }
    return true;
  }

  std::optional<std::string> className(uint64_t classIndex) {
    if (auto it = classNames_.find(classIndex); it != classNames_.end()) return it->second;
    uint64_t ref = 0;
    Fields record;
    if (!tableIndex(classIndex, ref) || !fieldsOf(table_, ref, record)) return std::nullopt;
    const uint64_t* name = field(record, "$classname");
    BinaryTable::Object o;
    if (!name || !table_.object(*name, o) || o.kind != BinaryTable::Kind::String)
      return std::nullopt;
    auto text = table_.scalar(o);
    if (!text) return std::nullopt;
    return classNames_[classIndex] = text->str();
  }

  std::optional<Value> decode(uint64_t index, Size& size, int depth, int& height) {
    uint64_t ref = 0;
    BinaryTable::Object o;
    if (!tableIndex(index, ref) || !table_.object(ref, o)) return std::nullopt;
    if (o.kind != BinaryTable::Kind::Dict) {
      if (o.kind == BinaryTable::Kind::Uid) return std::nullopt;
      auto v = resolve(ref, size, depth, height);
      if (v) size.nodes -= 1;  // the object itself was counted by its reference
      return v;
    }
    Fields fields;
    if (!fieldsOf(table_, ref, fields)) return std::nullopt;
    const uint64_t* classRef = field(fields, "$class");
    BinaryTable::Object classObject;
    if (!classRef || !table_.object(*classRef, classObject) ||
        classObject.kind != BinaryTable::Kind::Uid)
      return std::nullopt;
    const auto name = className(table_.uid(classObject));
    if (!name) return std::nullopt;

    if (*name == "NSDictionary" || *name == "NSMutableDictionary") {
      Value::Array keys, values;
      if (!members(field(fields, "NS.keys"), keys, size, depth, height) ||
          !members(field(fields, "NS.objects"), values, size, depth, height) ||
          keys.size() != values.size())
        return std::nullopt;
      Value::Dict d;
      for (size_t i = 0; i < keys.size(); ++i)
        if (!values[i].isNil() || values[i].isNull()) d.insert_or_assign(keys[i].str(), values[i]);
      return Value(std::move(d));
    }
    if (*name == "NSArray" || *name == "NSMutableArray" || *name == "NSSet" ||
        *name == "NSMutableSet") {
      Value::Array a;
      if (!members(field(fields, "NS.objects"), a, size, depth, height)) return std::nullopt;
      return Value(std::move(a));
    }
    if (*name == "NSNull") return Value::null();
    if (*name == "NSString" || *name == "NSMutableString" || *name == "NSData" ||
        *name == "NSMutableData") {
      const bool string = *name == "NSString" || *name == "NSMutableString";
      const uint64_t* value = field(fields, string ? "NS.string" : "NS.data");
      if (!value) return std::nullopt;
      return resolve(*value, size, depth, height);
    }
    if (*name == "NSDate") {
      // Seconds since 2001, kept exactly.
      const uint64_t* time = field(fields, "NS.time");
      BinaryTable::Object t;
      if (!time || !table_.object(*time, t) ||
          (t.kind != BinaryTable::Kind::Real && t.kind != BinaryTable::Kind::Integer))
        return std::nullopt;
      auto seconds = table_.scalar(t);
      if (!seconds) return std::nullopt;
      return Value::dateSinceReferenceDate(seconds->doubleValue());
    }
    // Any other class: its fields, by key.
    Value::Dict d;
    d.emplace("$classname", Value(*name));
    for (const auto& [key, value] : fields) {
      if (key == "$class") continue;
      auto v = resolve(value, size, depth, height);
      size.add(Size{0, key.size()});
      if (!v || !budget_.allows(size)) return std::nullopt;
      d.insert_or_assign(key, std::move(*v));
    }
    return Value(std::move(d));
  }

  const BinaryTable& table_;
  const BinaryTable::Object& objects_;
  const plist_format::Budget& budget_;
  std::unordered_map<uint64_t, Memo> memo_;
  std::unordered_map<uint64_t, std::string> classNames_;
};

}  // namespace keyed_detail

std::optional<Value> NSKeyedUnarchiver::unarchiveObjectWithData(const Value::Data& data) {
  using namespace keyed_detail;
  BinaryTable table;
  if (!table.open(data.data(), data.size())) return std::nullopt;
  // The archive itself: {"$archiver": "NSKeyedArchiver", "$top": {"root": UID}, "$objects": [...]}.
  // Only what the root refers to is read from $objects.
  Fields archive, top;
  if (!fieldsOf(table, table.top(), archive)) return std::nullopt;
  const uint64_t* archiver = field(archive, "$archiver");
  const uint64_t* topRef = field(archive, "$top");
  const uint64_t* objectsRef = field(archive, "$objects");
  BinaryTable::Object o, objects, root;
  if (!archiver || !table.object(*archiver, o) || o.kind != BinaryTable::Kind::String ||
      table.scalar(o).value_or(Value()).str() != "NSKeyedArchiver")
    return std::nullopt;
  if (!objectsRef || !table.object(*objectsRef, objects) ||
      objects.kind != BinaryTable::Kind::Array)
    return std::nullopt;
  if (!topRef || !fieldsOf(table, *topRef, top)) return std::nullopt;
  const uint64_t* rootRef = field(top, "root");
  if (!rootRef || !table.object(*rootRef, root) || root.kind != BinaryTable::Kind::Uid)
    return std::nullopt;
  const plist_format::Budget budget(data.size());
  Unarchiver unarchiver(table, objects, budget);
  Size size;
  int height = 0;
  return unarchiver.reference(table.uid(root), size, 0, height);
}

// --- Archived interfaces -----------------------------------------------------------------------

struct NSCoder::Session {
  // An archived tree deeper or larger than any interface is refused past these, so that a
  // crafted archive cannot exhaust the stack or memory through nested objects.
  static constexpr int kMaxDepth = 128;
  static constexpr size_t kMaxObjects = 20000;
  // The text and data that initWithCoder is handed, counted once per object made: objects of an
  // archive may share one text, which each object then keeps a copy of. An interface's texts
  // amount to kilobytes; past 32 MB, objects are no longer made.
  static constexpr uint64_t kMaxBytes = uint64_t{32} << 20;
  std::vector<std::shared_ptr<NSObject>> made;
  uint64_t bytes = 0;
};

NSCoder::NSCoder(Value fields, Session& session, int depth)
    : fields_(std::move(fields)), session_(session), depth_(depth) {}

bool NSCoder::containsValueForKey(const std::string& key) const { return fields_.contains(key); }

const Value& NSCoder::decodeValueForKey(const std::string& key) const { return fields_[key]; }

std::string NSCoder::decodeStringForKey(const std::string& key) const {
  const Value& v = fields_[key];
  return v.isString() ? v.str() : "";
}

double NSCoder::decodeDoubleForKey(const std::string& key) const {
  const Value& v = fields_[key];
  return v.isNumber() ? v.doubleValue() : 0.0;
}

long NSCoder::decodeIntegerForKey(const std::string& key) const {
  const Value& v = fields_[key];
  return v.isNumber() ? v.integerValue() : 0;
}

bool NSCoder::decodeBoolForKey(const std::string& key) const {
  const Value& v = fields_[key];
  return v.isNumber() && v.boolValue();
}

std::shared_ptr<NSObject> NSCoder::decodeObjectForKey(const std::string& key) const {
  return make(fields_[key]);
}

std::vector<std::shared_ptr<NSObject>> NSCoder::decodeArrayOfObjectsForKey(
    const std::string& key) const {
  std::vector<std::shared_ptr<NSObject>> out;
  for (const auto& item : fields_[key].arrayValue())
    if (auto object = make(item)) out.push_back(std::move(object));
  return out;
}

std::shared_ptr<NSObject> NSCoder::make(const Value& archived) const {
  if (!archived.isDict() || !archived["$classname"].isString()) return nullptr;
  if (depth_ >= Session::kMaxDepth || session_.made.size() >= Session::kMaxObjects) return nullptr;
  uint64_t cost = 0;
  for (const auto& [key, field] : archived.dictValue())
    cost += key.size() + (field.isString() ? field.str().size() : field.dataValue().size());
  if (cost > Session::kMaxBytes - session_.bytes) return nullptr;
  auto object = ClassRegistry::alloc(archived["$classname"].str());
  if (!object) return nullptr;
  session_.bytes += cost;
  session_.made.push_back(object);
  NSCoder coder(archived, session_, depth_ + 1);
  object->initWithCoder(coder);
  return object;
}

std::shared_ptr<NSObject> NSKeyedUnarchiver::instantiateObjectWithData(const Value::Data& data) {
  auto root = unarchiveObjectWithData(data);
  if (!root) return nullptr;
  NSCoder::Session session;
  NSCoder top(Value::dict({{"root", *root}}), session, 0);
  auto object = top.decodeObjectForKey("root");
  if (!object) return nullptr;
  // Every object is made before any awakes, as when an interface file is loaded; the list
  // keeps them alive while they do.
  for (const auto& made : session.made) made->awakeFromNib();
  return object;
}
