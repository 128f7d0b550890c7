#pragma once

#include <memory>

#include "parley/stats/PLOStatAppMonitorStat.h"
#include "parley/stats/PLOStatEvent.h"

// The statistics of one interface call of the host app (type 1002). Encoding raises a
// sampling of 0 to 1 in the stat, so the stat is the event's own: hand it a copy.
class PLOStatMonitorStatEvent : public PLOStatEvent {
 public:
  std::shared_ptr<PLOStatAppMonitorStat> stat;

  int16_t getType() const override { return PLOSTAT_MONITOR_STAT; }
  void encode(Value& dict) const override;
};
