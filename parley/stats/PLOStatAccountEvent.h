#pragma once

#include "parley/stats/PLOStatEvent.h"

// The user's account (type 1001, as the addition event), from the account settings.
class PLOStatAccountEvent : public PLOStatEvent {
 public:
  int16_t getType() const override { return PLOSTAT_ADDITION; }
  void encode(Value& dict) const override;
};
