#include "platform/foundation/NSKeyedArchiver.h"

#include <map>
#include <set>
#include <unordered_map>

#include "platform/foundation/PlistFormat.h"

namespace archiver_detail {

using plist_format::BinaryWriter;

// Builds the "$objects" array: index 0 is "$null"; class records are shared by name, equal
// strings and the containers and data that the value shares are archived once.
class Archiver {
 public:
  Archiver() { objects_.push_back(writer_.addScalar(Value("$null"))); }

  uint64_t add(const Value& v, int depth) {
    if (depth > plist_format::kMaxDepth) return 0;
    const void* box = plist_format::sharedBox(v);
    if (box) {
      if (auto it = shared_.find(box); it != shared_.end()) return it->second;
    }
    switch (v.kind()) {
      case Value::Kind::Absent:
        return 0;
      case Value::Kind::Null: {
        const uint64_t index = reserveObject();
        setObject(index, {{key("$class"), classRecord("NSNull", {"NSNull", "NSObject"})}});
        return index;
      }
      case Value::Kind::Bool:
      case Value::Kind::Integer:
      case Value::Kind::Real:
        return append(writer_.addScalar(v));
      case Value::Kind::String: {
        const std::string text = plist_format::plistText(v.str());
        if (auto it = strings_.find(text); it != strings_.end()) return it->second;
        const uint64_t index = append(writer_.addScalar(Value(text)));
        strings_.emplace(text, index);
        return index;
      }
      case Value::Kind::Data: {
        const uint64_t index = append(writer_.addScalar(v));
        shared_.emplace(box, index);
        return index;
      }
      case Value::Kind::Date: {
        // NSDate keeps its seconds since 2001-01-01 under "NS.time", exactly as the binary
        // format keeps a date.
        const uint64_t index = reserveObject();
        setObject(index,
                  {{key("NS.time"), writer_.addScalar(Value(v.timeIntervalSinceReferenceDate()))},
                   {key("$class"), classRecord("NSDate", {"NSDate", "NSObject"})}});
        return index;
      }
      case Value::Kind::Array: {
        const uint64_t index = reserveObject();
        shared_.emplace(box, index);
        std::vector<uint64_t> refs;
        refs.reserve(v.count());
        for (const auto& item : v.arrayValue()) refs.push_back(uid(add(item, depth + 1)));
        setObject(index, {{key("NS.objects"), writer_.addArray(std::move(refs))},
                          {key("$class"), classRecord("NSArray", {"NSArray", "NSObject"})}});
        return index;
      }
      case Value::Kind::Dict: {
        const uint64_t index = reserveObject();
        shared_.emplace(box, index);
        if (isArchivedObject(v)) {
          addObject(index, v, depth);
          return index;
        }
        std::vector<uint64_t> keys, values;
        for (const auto& [k, item] : v.dictValue()) {
          keys.push_back(uid(add(Value(k), depth + 1)));
          values.push_back(uid(add(item, depth + 1)));
        }
        setObject(index,
                  {{key("NS.keys"), writer_.addArray(std::move(keys))},
                   {key("NS.objects"), writer_.addArray(std::move(values))},
                   {key("$class"), classRecord("NSDictionary", {"NSDictionary", "NSObject"})}});
        return index;
      }
    }
    return 0;
  }

  // A class name of the value classes would make a record that reads back as something else
  // (a dictionary without keys): such a dictionary stays a dictionary.
  static bool isArchivedObject(const Value& v) {
    if (!v["$classname"].isString()) return false;
    static const std::set<std::string> valueClasses = {"",
                                                       "NSDictionary",
                                                       "NSMutableDictionary",
                                                       "NSArray",
                                                       "NSMutableArray",
                                                       "NSSet",
                                                       "NSMutableSet",
                                                       "NSNull",
                                                       "NSString",
                                                       "NSMutableString",
                                                       "NSData",
                                                       "NSMutableData",
                                                       "NSDate"};
    return valueClasses.count(v["$classname"].str()) == 0;
  }

  Value::Data finish(uint64_t root) {
    const uint64_t objects = writer_.addArray(objects_);
    const uint64_t top = writer_.addDict({{key("root"), writer_.addUid(root)}});
    const uint64_t archive =
        writer_.addDict({{key("$archiver"), writer_.addScalar(Value("NSKeyedArchiver"))},
                         {key("$version"), writer_.addScalar(Value(100000))},
                         {key("$top"), top},
                         {key("$objects"), objects}});
    return writer_.finish(archive);
  }

 private:
  // An object of another class, as the unarchiver reads one: its class record and each field
  // under its own key, so that such an object is written back as the object it was.
  void addObject(uint64_t index, const Value& v, int depth) {
    std::vector<std::pair<uint64_t, uint64_t>> fields;
    for (const auto& [k, item] : v.dictValue()) {
      if (k == "$classname" || k == "$class") continue;
      fields.emplace_back(key(k), uid(add(item, depth + 1)));
    }
    const std::string name = plist_format::plistText(v["$classname"].str());
    fields.emplace_back(key("$class"), classRecord(name, {name, "NSObject"}));
    setObject(index, std::move(fields));
  }

  uint64_t append(uint64_t tableIndex) {
    objects_.push_back(tableIndex);
    return objects_.size() - 1;
  }
  // An archived object whose fields are given later (after the objects it holds).
  uint64_t reserveObject() { return append(writer_.reserve()); }
  void setObject(uint64_t index, std::vector<std::pair<uint64_t, uint64_t>> fields) {
    writer_.setDict(objects_[index], std::move(fields));
  }
  uint64_t key(const std::string& text) { return writer_.addScalar(Value(text)); }
  uint64_t uid(uint64_t archived) { return writer_.addUid(archived); }

  // The UID of the class record of `name`.
  uint64_t classRecord(const std::string& name, std::initializer_list<std::string> chain) {
    auto it = classes_.find(name);
    if (it == classes_.end()) {
      std::vector<uint64_t> names;
      for (const auto& c : chain) names.push_back(writer_.addScalar(Value(c)));
      const uint64_t record =
          writer_.addDict({{key("$classname"), writer_.addScalar(Value(name))},
                           {key("$classes"), writer_.addArray(std::move(names))}});
      it = classes_.emplace(name, append(record)).first;
    }
    return uid(it->second);
  }

  BinaryWriter writer_;
  std::vector<uint64_t> objects_;  // the table index of each archived object
  std::map<std::string, uint64_t> classes_;
  std::unordered_map<std::string, uint64_t> strings_;
  std::unordered_map<const void*, uint64_t> shared_;
};

}  // namespace archiver_detail

Value::Data NSKeyedArchiver::archivedDataWithRootObject(const Value& root) {
  if (root.kind() == Value::Kind::Absent) return {};
  archiver_detail::Archiver archiver;
  const uint64_t index = archiver.add(root, 0);
  return archiver.finish(index);
}
