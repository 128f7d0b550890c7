#pragma once

#include <optional>
#include <string_view>

#include "platform/foundation/Value.h"

// Decodes a server reply from JSON straight into a Value, with the same result as
// Value::fromJSON (nullopt for invalid JSON, invalid UTF-8 or nesting deeper than 512 levels; JSON
// null -> Value::null(); integers stay integers), but without building an intermediate document:
// every server call parses its reply, and this halves that cost. Pure; any thread.
class JsonReader {
 public:
  static std::optional<Value> parse(std::string_view text);
};
