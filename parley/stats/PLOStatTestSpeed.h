#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The result of one speed probe (the probes are the dispatcher's: PLOStatDispatcher::taSocket).
class PLOStatTestSpeed {
 public:
  std::string dm;             // host
  std::optional<int64_t> pt;  // port
  std::string rip;            // resolved IPv4 address, "" when not resolved
  std::optional<int64_t> st;  // 0 connected, -1 failed
  std::optional<int64_t> ts;  // start second
  std::optional<int64_t> tm;  // hundredths of a second to resolve and connect

  // {"dm", "pt", "rip", "st", "ts", "tm"}, each present when set, as compact JSON.
  std::string toJsonString() const;
  std::string description() const;
};
