#pragma once

#include <cstdint>
#include <string>

// What a host app reports of one interface call. A plain record; the monitor event reports
// a sampling of 0 as 1.
class PLOStatAppMonitorStat {
 public:
  std::string interface;  // "" when not set
  uint32_t requestPackageSize = 0;
  uint32_t responsePackageSize = 0;
  uint64_t consumedMilliseconds = 0;
  int32_t returnCode = 0;
  int32_t resultType = 0;
  uint32_t sampling = 0;
};
