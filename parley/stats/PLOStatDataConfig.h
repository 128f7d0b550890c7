#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Value.h"

// One server configuration record: the module's own (type 1) or the host app's (type 2).
// A plain value; the holder replaces records whole and never changes one it has shared.
class PLOStatDataConfig {
 public:
  uint32_t type = 0;
  std::string content;  // the configuration object as compact JSON text
  std::string md5;      // as the server sent it; not verified
  uint32_t version = 0;

  // Takes one part of a reply's "cfg": {"c": object, "v": number, "m": text}. false (and the
  // record unchanged) when any of them is missing or of another kind.
  bool decode(const Value& dict);
  // Sets "v" to the version; nothing for an absent dictionary.
  void encodeWithNoContent(Value& dict) const;

  // The class name the platform would report for a decoded value of this kind, for the log lines
  // that name what came instead of a dictionary.
  static std::string className(const Value& v);
};
