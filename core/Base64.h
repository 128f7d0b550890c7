#pragma once

#include <optional>
#include <string>

// Standard Base64 (RFC 4648 alphabet, "=" padding) over byte strings. Pure functions; any thread.
class Base64 {
 public:
  static std::string encode(const std::string& bytes);
  // nullopt when the text is not well-formed Base64 (bad characters, bad padding).
  static std::optional<std::string> decode(const std::string& text);
};
