#pragma once

#include "parley/stats/PLOStatEvent.h"

// The QQ number of the user (type 1001), from the qq setting.
class PLOStatAdditionEvent : public PLOStatEvent {
 public:
  int16_t getType() const override { return PLOSTAT_ADDITION; }
  void encode(Value& dict) const override;
};
