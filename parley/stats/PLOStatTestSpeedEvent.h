#pragma once

#include <string>

#include "parley/stats/PLOStatEvent.h"

// The results of a speed test (type 1004): the probes' JSON array, the carrier code and the
// network kind, each reported when set.
class PLOStatTestSpeedEvent : public PLOStatEvent {
 public:
  std::string sp;
  std::string op;
  std::string cn;

  int16_t getType() const override { return PLOSTAT_TEST_SPEED; }
  void encode(Value& dict) const override;
};
