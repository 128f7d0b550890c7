#pragma once

#include "parley/stats/PLOStatEvent.h"

// The start of a session (type 2): the device environment, the user type, the jailbreak mark
// and the versions of the server configurations held.
class PLOStatSessionEnv : public PLOStatEvent {
 public:
  int16_t getType() const override { return PLOSTAT_SESSION_ENV; }
  void encode(Value& dict) const override;
};
