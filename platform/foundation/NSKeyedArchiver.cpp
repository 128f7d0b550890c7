#include "platform/foundation/NSKeyedArchiver.h"

#include <plist/plist.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "platform/foundation/NSString.h"

namespace {

struct NodeDeleter {
  void operator()(void* node) const {
    if (node) plist_free(static_cast<plist_t>(node));
  }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// Builds the "$objects" array: index 0 is "$null"; class records are shared by name.
class Archiver {
 public:
  Archiver() : objects_(plist_new_array()) {
    plist_array_append_item(objects_.get(), plist_new_string("$null"));
  }

  uint64_t add(const Value& v, int depth) {
    if (depth > 512) return 0;
    switch (v.kind()) {
      case Value::Kind::Absent:
        return 0;
      case Value::Kind::Null: {
        plist_t object = plist_new_dict();
        uint64_t index = append(object);
        plist_dict_set_item(object, "$class",
                            plist_new_uid(classRecord("NSNull", {"NSNull", "NSObject"})));
        return index;
      }
      case Value::Kind::Bool:
        return append(plist_new_bool(v.boolValue() ? 1 : 0));
      case Value::Kind::Integer:
        return append(plist_new_uint(static_cast<uint64_t>(v.longLongValue())));
      case Value::Kind::Real:
        return append(plist_new_real(v.doubleValue()));
      case Value::Kind::String:
        return append(plist_new_string(NSString::sanitizeUTF8(v.str()).c_str()));
      case Value::Kind::Data: {
        const auto& d = v.dataValue();
        return append(plist_new_data(reinterpret_cast<const char*>(d.data()), d.size()));
      }
      case Value::Kind::Date: {
        // NSDate keeps its seconds since 2001-01-01 under "NS.time".
        plist_t object = plist_new_dict();
        uint64_t index = append(object);
        plist_dict_set_item(object, "NS.time", plist_new_real(v.dateValue() - 978307200.0));
        plist_dict_set_item(object, "$class",
                            plist_new_uid(classRecord("NSDate", {"NSDate", "NSObject"})));
        return index;
      }
      case Value::Kind::Array: {
        plist_t object = plist_new_dict();
        uint64_t index = append(object);
        plist_t refs = plist_new_array();
        for (const auto& item : v.arrayValue())
          plist_array_append_item(refs, plist_new_uid(add(item, depth + 1)));
        plist_dict_set_item(object, "NS.objects", refs);
        plist_dict_set_item(object, "$class",
                            plist_new_uid(classRecord("NSArray", {"NSArray", "NSObject"})));
        return index;
      }
      case Value::Kind::Dict: {
        if (isArchivedObject(v)) return addObject(v, depth);
        plist_t object = plist_new_dict();
        uint64_t index = append(object);
        plist_t keys = plist_new_array(), values = plist_new_array();
        for (const auto& [key, item] : v.dictValue()) {
          plist_array_append_item(keys, plist_new_uid(add(Value(key), depth + 1)));
          plist_array_append_item(values, plist_new_uid(add(item, depth + 1)));
        }
        plist_dict_set_item(object, "NS.keys", keys);
        plist_dict_set_item(object, "NS.objects", values);
        plist_dict_set_item(
            object, "$class",
            plist_new_uid(classRecord("NSDictionary", {"NSDictionary", "NSObject"})));
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

  // An object of another class, as the unarchiver reads one: its class record and each field
  // under its own key, so that such an object is written back as the object it was.
  uint64_t addObject(const Value& v, int depth) {
    plist_t object = plist_new_dict();
    uint64_t index = append(object);
    for (const auto& [key, item] : v.dictValue()) {
      if (key == "$classname" || key == "$class") continue;
      plist_dict_set_item(object, NSString::sanitizeUTF8(key).c_str(),
                          plist_new_uid(add(item, depth + 1)));
    }
    const std::string name = NSString::sanitizeUTF8(v["$classname"].str());
    plist_dict_set_item(object, "$class",
                        plist_new_uid(classRecord(name, {name.c_str(), "NSObject"})));
    return index;
  }

  Value::Data finish(uint64_t root) {
    Node archive(plist_new_dict());
    plist_dict_set_item(archive.get(), "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(archive.get(), "$version", plist_new_uint(100000));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(root));
    plist_dict_set_item(archive.get(), "$top", top);
    plist_dict_set_item(archive.get(), "$objects", objects_.release());
    char* raw = nullptr;
    uint32_t length = 0;
    plist_to_bin(archive.get(), &raw, &length);
    if (!raw) return {};
    Value::Data out(reinterpret_cast<uint8_t*>(raw), reinterpret_cast<uint8_t*>(raw) + length);
    std::free(raw);
    return out;
  }

 private:
  uint64_t append(plist_t node) {
    uint64_t index = plist_array_get_size(objects_.get());
    plist_array_append_item(objects_.get(), node);  // the array owns it; we may still fill it
    return index;
  }

  uint64_t classRecord(const std::string& name, std::initializer_list<const char*> chain) {
    auto it = classes_.find(name);
    if (it != classes_.end()) return it->second;
    plist_t record = plist_new_dict();
    plist_dict_set_item(record, "$classname", plist_new_string(name.c_str()));
    plist_t classes = plist_new_array();
    for (const char* c : chain) plist_array_append_item(classes, plist_new_string(c));
    plist_dict_set_item(record, "$classes", classes);
    uint64_t index = append(record);
    classes_[name] = index;
    return index;
  }

  Node objects_;
  std::map<std::string, uint64_t> classes_;
};

}  // namespace

Value::Data NSKeyedArchiver::archivedDataWithRootObject(const Value& root) {
  if (root.kind() == Value::Kind::Absent) return {};
  Archiver archiver;
  uint64_t index = archiver.add(root, 0);
  return archiver.finish(index);
}
