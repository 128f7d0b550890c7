#pragma once

#include <string>

#include "platform/foundation/Value.h"

// Keychain items of the module: generic passwords whose service and account are the item
// key, holding the keyed archive of a value. Class methods; thread-safe.
class PLOStatKeyChain {
 public:
  static Value getKeychainQuery(const std::string& key);
  // Deletes the item and adds it anew with the archived value.
  static void save(const std::string& key, const Value& data);
  // The unarchived value; absent when there is no item or it cannot be unarchived (logged).
  static Value load(const std::string& key);
  static void remove(const std::string& key);  // delete: (a C++ keyword)
};
