#pragma once

#include <cstdint>
#include <string>

#include "parley/stats/PLOStatEvent.h"

// An error text or a caught exception (type 3), with the device's details. Error events have
// no length limit.
class PLOStatErrorEvent : public PLOStatEvent {
 public:
  std::string error;
  uint32_t attr = 0;            // 0 an error text, 1 an exception
  std::string availableMemory;  // "" when not known; reported as an integer
  std::string freeDiskSpace;    // "" when not known; reported as an integer
  std::string processName;      // "" when not known

  int16_t getType() const override { return PLOSTAT_ERROR; }
  void encode(Value& dict) const override;
};
