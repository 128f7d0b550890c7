#include "platform/foundation/NSKeyedUnarchiver.h"

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <set>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/Plist.h"

namespace {

constexpr double kReferenceDateOffset = 978307200.0;  // 2001-01-01 in seconds since 1970

struct NodeDeleter {
  void operator()(void* node) const {
    if (node) plist_free(static_cast<plist_t>(node));
  }
};
using Node = std::unique_ptr<void, NodeDeleter>;

std::string stringOf(plist_t node) {
  if (!node ||
      (plist_get_node_type(node) != PLIST_STRING && plist_get_node_type(node) != PLIST_KEY))
    return "";
  char* raw = nullptr;
  plist_get_string_val(node, &raw);
  std::string s = raw ? raw : "";
  std::free(raw);
  return NSString::sanitizeUTF8(s);
}

// Resolves the object graph; fails on broken or circular references.
class Unarchiver {
 public:
  explicit Unarchiver(plist_t objects) : objects_(objects) {}

  std::optional<Value> objectAt(uint64_t index) {
    if (index == 0) return Value();  // "$null"
    // Every reference is decoded afresh, so a small archive whose objects refer to one
    // another many times over (each level listing the next twice) would expand without end:
    // past a budget of references, the archive is refused.
    if (++visits_ > kMaxReferences) return std::nullopt;
    if (index >= plist_array_get_size(objects_) || active_.count(index) || active_.size() > 512)
      return std::nullopt;
    active_.insert(index);
    auto result = decode(plist_array_get_item(objects_, static_cast<uint32_t>(index)));
    active_.erase(index);
    return result;
  }

 private:
  std::optional<Value> resolve(plist_t node) {
    if (node && plist_get_node_type(node) == PLIST_UID) {
      uint64_t index = 0;
      plist_get_uid_val(node, &index);
      return objectAt(index);
    }
    return scalar(node);
  }

  // Booleans, numbers, strings and data; nullopt for anything else.
  std::optional<Value> scalar(plist_t node) {
    if (!node) return std::nullopt;
    switch (plist_get_node_type(node)) {
      case PLIST_BOOLEAN:
      case PLIST_UINT:
      case PLIST_REAL:
      case PLIST_STRING:
      case PLIST_KEY:
      case PLIST_DATA:
        return Plist::valueOfNode(node);
      default:
        return std::nullopt;
    }
  }

  std::optional<Value> refs(plist_t array, Value::Array& out) {
    if (!array || plist_get_node_type(array) != PLIST_ARRAY) return std::nullopt;
    for (uint32_t i = 0, n = plist_array_get_size(array); i < n; ++i) {
      auto item = resolve(plist_array_get_item(array, i));
      if (!item) return std::nullopt;
      out.push_back(*item);
    }
    return Value();
  }

  std::optional<Value> decode(plist_t node) {
    if (!node) return std::nullopt;
    if (plist_get_node_type(node) != PLIST_DICT) return scalar(node);
    plist_t classRef = plist_dict_get_item(node, "$class");
    if (!classRef || plist_get_node_type(classRef) != PLIST_UID) return std::nullopt;
    uint64_t classIndex = 0;
    plist_get_uid_val(classRef, &classIndex);
    if (classIndex >= plist_array_get_size(objects_)) return std::nullopt;
    plist_t record = plist_array_get_item(objects_, static_cast<uint32_t>(classIndex));
    if (!record || plist_get_node_type(record) != PLIST_DICT) return std::nullopt;
    std::string name = stringOf(plist_dict_get_item(record, "$classname"));

    if (name == "NSDictionary" || name == "NSMutableDictionary") {
      Value::Array keys, values;
      if (!refs(plist_dict_get_item(node, "NS.keys"), keys) ||
          !refs(plist_dict_get_item(node, "NS.objects"), values) || keys.size() != values.size())
        return std::nullopt;
      Value::Dict d;
      for (size_t i = 0; i < keys.size(); ++i)
        if (!values[i].isNil() || values[i].isNull()) d.insert_or_assign(keys[i].str(), values[i]);
      return Value(std::move(d));
    }
    if (name == "NSArray" || name == "NSMutableArray" || name == "NSSet" ||
        name == "NSMutableSet") {
      Value::Array a;
      if (!refs(plist_dict_get_item(node, "NS.objects"), a)) return std::nullopt;
      return Value(std::move(a));
    }
    if (name == "NSNull") return Value::null();
    if (name == "NSString" || name == "NSMutableString")
      return resolve(plist_dict_get_item(node, "NS.string"));
    if (name == "NSData" || name == "NSMutableData")
      return resolve(plist_dict_get_item(node, "NS.data"));
    if (name == "NSDate") {
      auto t = scalar(plist_dict_get_item(node, "NS.time"));
      if (!t) return std::nullopt;
      return Value(t->doubleValue() + kReferenceDateOffset);
    }
    // Any other class: its fields, by key.
    Value fields = Value::dict({{"$classname", name}});
    plist_dict_iter raw = nullptr;
    plist_dict_new_iter(node, &raw);
    for (;;) {
      char* key = nullptr;
      plist_t item = nullptr;
      plist_dict_next_item(node, raw, &key, &item);
      std::string k = key ? key : "";
      std::free(key);
      if (!item) break;
      if (k == "$class") continue;
      auto v = resolve(item);
      if (!v) {
        std::free(raw);
        return std::nullopt;
      }
      fields.set(NSString::sanitizeUTF8(k), *v);
    }
    std::free(raw);
    return fields;
  }

  static constexpr uint64_t kMaxReferences = 250000;
  plist_t objects_;
  uint64_t visits_ = 0;
  std::set<uint64_t> active_;  // objects being decoded: a reference back to one is a cycle
};

}  // namespace

std::optional<Value> NSKeyedUnarchiver::unarchiveObjectWithData(const Value::Data& data) {
  if (data.size() < 8 || data.size() > std::numeric_limits<uint32_t>::max() ||
      std::memcmp(data.data(), "bplist00", 8) != 0)
    return std::nullopt;
  if (!Plist::binaryReadable(data.data(), data.size())) return std::nullopt;
  plist_t raw = nullptr;
  plist_from_bin(reinterpret_cast<const char*>(data.data()), static_cast<uint32_t>(data.size()),
                 &raw);
  Node archive(raw);
  if (!archive || plist_get_node_type(archive.get()) != PLIST_DICT) return std::nullopt;
  if (stringOf(plist_dict_get_item(archive.get(), "$archiver")) != "NSKeyedArchiver")
    return std::nullopt;
  plist_t objects = plist_dict_get_item(archive.get(), "$objects");
  plist_t top = plist_dict_get_item(archive.get(), "$top");
  if (!objects || plist_get_node_type(objects) != PLIST_ARRAY || !top ||
      plist_get_node_type(top) != PLIST_DICT)
    return std::nullopt;
  plist_t root = plist_dict_get_item(top, "root");
  if (!root || plist_get_node_type(root) != PLIST_UID) return std::nullopt;
  uint64_t index = 0;
  plist_get_uid_val(root, &index);
  Unarchiver unarchiver(objects);
  return unarchiver.objectAt(index);
}

// --- Archived interfaces -----------------------------------------------------------------------

struct NSCoder::Session {
  // An archived tree deeper or larger than any interface is refused past these, so that a
  // crafted archive cannot exhaust the stack or memory through nested objects.
  static constexpr int kMaxDepth = 128;
  static constexpr size_t kMaxObjects = 20000;
  std::vector<std::shared_ptr<NSObject>> made;
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
  auto object = ClassRegistry::alloc(archived["$classname"].str());
  if (!object) return nullptr;
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
