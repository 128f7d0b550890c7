#pragma once

#include <optional>
#include <string_view>

#include "platform/foundation/Value.h"

// Decodes a server reply from JSON straight into a Value, with the same result as
// Value::fromJSON (nullopt for invalid JSON, invalid UTF-8 or nesting deeper than 512 levels; JSON
// null -> Value::null(); integers stay integers), but through RapidJSON's event reader and without
// building an intermediate document: every server call parses its reply, and this is a third of
// the cost. A fuzzing harness holds the two to the same result on any text. Pure; any thread.
class JsonReader {
 public:
  static std::optional<Value> parse(std::string_view text);
};
