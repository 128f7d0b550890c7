#pragma once
// Property lists, XML and binary, through libplist. Strings are checked for valid UTF-8
// before libplist sees them; invalid bytes become U+FFFD. Values a plist cannot hold (JSON
// null) are left out of dictionaries and arrays. Plist dates read and write as dates
// (Value::date); XML keeps whole seconds, binary keeps the fraction. UIDs read as integers.
// Thread-safe.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

namespace Plist {
// nullopt when the bytes are neither an XML nor a binary plist.
std::optional<Value> parse(const std::vector<uint8_t>& bytes);
std::optional<Value> parse(const std::string& text);
std::vector<uint8_t> toBinary(const Value& v);  // empty for an absent value
std::string toXML(const Value& v);              // "" for an absent value
// The value of one libplist node (a plist_t), for readers that walk a plist themselves, such as
// the keyed unarchiver; containers are converted whole. Absent for a null node.
Value valueOfNode(void* node);
// True when bytes are a binary plist whose containers nest at most `limit` deep, with no
// cycle and every reference in range. libplist reads binary plists recursively, so deeper
// (or broken) input must be refused before it sees them: a pasteboard item of another app
// could otherwise overflow the stack.
bool binaryNestingWithin(const uint8_t* bytes, size_t size, int limit);
// True when no string object of a binary plist (of either width, a dictionary's keys among them)
// holds a NUL character, and every string lies within the objects. libplist asserts that its
// strings hold no NUL, so such a plist would abort the app.
bool binaryStringsWithoutNul(const uint8_t* bytes, size_t size);
// Every check above, with nesting limited to 512: true when libplist may read the bytes as a
// binary plist. Every reader of binary plists asks this first.
bool binaryReadable(const uint8_t* bytes, size_t size);
}  // namespace Plist
