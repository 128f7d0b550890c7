#pragma once
// Reads keyed archives (see NSKeyedArchiver.h). Besides what the archiver writes, it reads
// NSString/NSData objects and sets; NSDate objects read as dates of the same seconds since 2001; an
// object of any other class reads as a dictionary of its fields with its class name under
// "$classname". Only the objects the root refers to are decoded, each once, and shared by every
// reference to it; every reference ("$null" among them) counts, with the whole size of what it
// refers to, against the budget of a plist read (PlistFormat.h). Thread-safe.
//
// An archived interface (a view tree, as an interface file holds it) is made into objects with
// instantiateObjectWithData: each archived object whose class is in the class registry is
// made bare (ClassRegistry::alloc) and given its fields through initWithCoder; once the whole
// tree is made, every object made gets awakeFromNib, in the order they were made (an object
// before the objects it holds). Main thread, as views are made there. The objects of one archive
// are bounded: at most 20,000, nested at most 128 deep, and handed at most 32 MB of text and data
// between them (objects of an archive may share one text, which each then copies).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class NSObject;

class NSKeyedUnarchiver {
 public:
  // nullopt when the bytes are not a keyed archive, its references are broken, circular or
  // nested deeper than 512, or it expands past the budget: the platform's "cannot be unarchived".
  static std::optional<Value> unarchiveObjectWithData(const Value::Data& data);
  // The archive's root object, made with its class and everything it holds; nullptr when the
  // bytes cannot be unarchived or the root is not an object of a class the registry can make.
  // Held objects of an unknown class decode as nullptr, and their holders go on without them.
  static std::shared_ptr<NSObject> instantiateObjectWithData(const Value::Data& data);
};

// What an archived object's initWithCoder reads: its own fields by key. Objects it holds are
// made (and initialised) as they are decoded. A coder lives only during initWithCoder.
class NSCoder {
 public:
  struct Session;  // the objects made so far from one archive, and the budget of the tree
  NSCoder(Value fields, Session& session, int depth);

  bool containsValueForKey(const std::string& key) const;
  // The field as archived: strings, numbers, data, dictionaries and arrays (an archived
  // object among them reads as a dictionary of its fields with "$classname"); absent when the
  // key is missing.
  const Value& decodeValueForKey(const std::string& key) const;
  std::string decodeStringForKey(const std::string& key) const;  // "" unless a string
  double decodeDoubleForKey(const std::string& key) const;       // 0 unless a number
  long decodeIntegerForKey(const std::string& key) const;        // 0 unless a number
  bool decodeBoolForKey(const std::string& key) const;           // NO unless a number
  // The archived object under key, made with its class; nullptr when missing, not an object,
  // of a class the registry cannot make, or past the archive's budget.
  std::shared_ptr<NSObject> decodeObjectForKey(const std::string& key) const;
  // The objects of an archived array under key, in order; entries that cannot be made are left
  // out.
  std::vector<std::shared_ptr<NSObject>> decodeArrayOfObjectsForKey(const std::string& key) const;

 private:
  std::shared_ptr<NSObject> make(const Value& archived) const;
  Value fields_;
  Session& session_;
  int depth_;
};
