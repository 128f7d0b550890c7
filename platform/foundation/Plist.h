#pragma once
// Property lists, XML and binary, read and written by the platform's own code (PlistFormat.h has
// the pieces the keyed archiver shares). Strings are UTF-8: invalid bytes become U+FFFD. The binary
// format reads and writes a string holding NUL whole; XML cannot carry NUL, other C0 controls than
// tab, LF and CR, nor U+FFFE and U+FFFF, so toXML declines a value holding one (an empty result).
// XML documents are read in UTF-8 or, after a byte-order mark, UTF-16 of either byte order, with
// line ends normalised (CR LF and a lone CR read as LF; toXML writes a CR as "&#13;"). Integers
// are signed 64-bit, and those from 2^63 to 2^64-1 unsigned (Value::isUnsigned): binary writes
// them as 16-byte integers, and a 16-byte integer that fits neither is refused. Values a plist
// cannot hold (JSON null) are left out of dictionaries and arrays; containers nest at most 512
// deep. Plist dates read and write as dates: binary keeps their seconds since 2001 as the same
// double, XML the second they fall in for the years 1 to 9999, in the form
// "YYYY-MM-DDTHH:MM:SSZ"; a moment a format cannot hold as a date (outside those years in XML,
// not finite in either) is written as its real number of seconds since 1970. UIDs read as
// integers.
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
