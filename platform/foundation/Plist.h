#pragma once
// Property lists, XML and binary, read and written by the platform's own code (PlistFormat.h has
// the pieces the keyed archiver shares). Strings are UTF-8: invalid bytes become U+FFFD, and a
// string holding NUL cannot be read (a written string ends at its first NUL). Values a plist
// cannot hold (JSON null) are left out of dictionaries and arrays; containers nest at most 512
// deep. Plist dates read and write as dates (Value::date): binary keeps their seconds as a double,
// XML keeps whole seconds for the years 1 to 9999, in the form "YYYY-MM-DDTHH:MM:SSZ"; a moment
// a format cannot hold as a date (outside those years in XML, not finite in either) is written as
// its real number of seconds since 1970. UIDs read as integers.
//
// Reading is bounded: a binary plist's shared objects are read once and shared by the Value, but
// a plist whose value would expand (counting every reference) past a million values or 64 MB of
// text and data beyond its own size is refused, so that walking the result stays cheap.
// Thread-safe.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

namespace Plist {
// nullopt when the bytes are neither an XML nor a binary plist, or past the limits above.
std::optional<Value> parse(const std::vector<uint8_t>& bytes);
std::optional<Value> parse(const std::string& text);
// Each container, data and string that the value shares is written once.
std::vector<uint8_t> toBinary(const Value& v);  // empty for an absent value
std::string toXML(const Value& v);              // "" for an absent value
}  // namespace Plist
