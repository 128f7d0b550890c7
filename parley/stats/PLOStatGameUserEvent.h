#pragma once

#include <string>

#include "parley/stats/PLOStatEvent.h"

// A game user (type 1003): user id, world and level, each reported when set.
class PLOStatGameUserEvent : public PLOStatEvent {
 public:
  std::string uid;
  std::string world;
  std::string level;

  int16_t getType() const override { return PLOSTAT_GAME_USER; }
  void encode(Value& dict) const override;
};
