#pragma once

#include <cstdint>
#include <string>

// One row of the store's events table: an event's JSON text waiting (status 1) or being sent
// (status 2), with the number of failed sends so far and its creation second.
class PLOStatStoreEvent {
 public:
  static constexpr uint32_t kWaiting = 1;
  static constexpr uint32_t kSending = 2;

  uint32_t eventId = 0;
  std::string content;
  uint32_t status = kWaiting;
  uint32_t sendCount = 0;
  uint32_t ts = 0;
};
