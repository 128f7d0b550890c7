#pragma once
// Keyed archives: the binary plist form ("$archiver" NSKeyedArchiver, "$version" 100000,
// "$top", "$objects") in which the platform stores objects in the keychain, on pasteboards
// and in files. Archives dictionaries, arrays, strings, numbers, booleans, data, dates and null
// (NSNull), as NSDictionary/NSArray/NSDate/NSNull objects with their class records; a date keeps
// its exact seconds since 2001 under "NS.time". Equal strings, and the containers and data that
// the value shares, are archived once. Thread-safe.
#include "platform/foundation/Value.h"

class NSKeyedArchiver {
 public:
  // The archive's bytes; empty for an absent value. Strings are made valid UTF-8.
  static Value::Data archivedDataWithRootObject(const Value& root);
};
