#pragma once

#include <memory>

#include "parley/stats/PLOStatAppMonitorStat.h"
#include "parley/stats/PLOStatEvent.h"

// The statistics of one interface call of the host app (type 1002). A sampling of 0 is
// reported as 1; the stat itself is only read, so events may be encoded on any thread.
class PLOStatMonitorStatEvent : public PLOStatEvent {
 public:
  std::shared_ptr<PLOStatAppMonitorStat> stat;

  int16_t getType() const override { return PLOSTAT_MONITOR_STAT; }
  void encode(Value& dict) const override;
};
