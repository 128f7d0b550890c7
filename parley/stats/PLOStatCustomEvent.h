#pragma once

#include <cstdint>
#include <string>

#include "parley/stats/PLOStatEvent.h"

// A custom event (type 1000): an event id with either arguments or key-value properties, and
// a duration when it was timed.
class PLOStatCustomEvent : public PLOStatEvent {
 public:
  std::string eventID;
  Value args;             // an array, or absent
  Value kvs;              // a dictionary, or absent
  uint32_t duration = 0;  // seconds; 0 is not reported

  int16_t getType() const override { return PLOSTAT_CUSTOM; }
  void encode(Value& dict) const override;
};
