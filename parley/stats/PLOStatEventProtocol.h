#pragma once

#include <cstdint>

#include "platform/foundation/Value.h"

// What every event can say of itself: its type number ("et") and its own JSON members.
class PLOStatEventProtocol {
 public:
  virtual ~PLOStatEventProtocol() = default;
  virtual int16_t getType() const = 0;
  // Adds the type's own members to the event's JSON dictionary.
  virtual void encode(Value& dict) const = 0;
};
