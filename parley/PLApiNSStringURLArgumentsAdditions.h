#pragma once

#include <optional>
#include <string>

// Escaping and unescaping of URL arguments, on UTF-8 text. Every escaper
// always escapes what may not stand in a URL (spaces, quotes, "%", "<", ">",
// braces, control characters, every non-ASCII byte) as upper-case %XX; they
// differ in which URL delimiters they leave alone. Thread-safe (pure).
namespace PLApiNSStringURLArgumentsAdditions {

// Escapes everything but letters, digits and "-._~": the form for a value in
// a query, so that no "&", "=", "#", "?" or space of the value can change
// the URL's structure.
std::string plApi_stringByEscapingForURLArgument(const std::string& s);

// Leaves the delimiters ";/?:@=&$-_.+!*'(),%" as they are and escapes only
// what may not stand in a URL.
std::string plApi_stringByEscapingForURLArgumentOnly(const std::string& s);

// Every "+" becomes a space, then the percent escapes are decoded; nullopt
// when an escape is malformed or the result is not valid UTF-8.
std::optional<std::string> plApi_stringByUnescapingFromURLArgument(const std::string& s);

// Every "+" becomes a space and every "\X" or "\x" a "%", then the percent
// escapes are decoded (it decodes, whatever its name says); nullopt as above.
std::optional<std::string> plApi_stringByEncodeByJsonAndUrlEncode(const std::string& s);

// Escapes everything but letters, digits and "-._" (so also "~"): the form
// of a whole URL carried inside another URL.
std::string plApi_stringByEncodeUrl(const std::string& s);

// Shared by the escapers above and the payment launcher: escapes every byte
// except ASCII letters, digits and the characters of keep.
std::string escapeAllBut(const std::string& s, const std::string& keep);

// Decodes %XX escapes; nullopt on a malformed escape or invalid UTF-8.
std::optional<std::string> decodePercentEscapes(const std::string& s);

}  // namespace PLApiNSStringURLArgumentsAdditions
