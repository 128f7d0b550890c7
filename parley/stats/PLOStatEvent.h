#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "parley/stats/PLOStatEventProtocol.h"
#include "platform/foundation/Value.h"

// EventType: the "et" of each event class.
enum EventType : int16_t {
  PLOSTAT_EVENT_BASE = 0,
  PLOSTAT_PAGE_VIEW = 1,
  PLOSTAT_SESSION_ENV = 2,
  PLOSTAT_ERROR = 3,
  PLOSTAT_CUSTOM = 1000,
  PLOSTAT_ADDITION = 1001,  // also the account event
  PLOSTAT_MONITOR_STAT = 1002,
  PLOSTAT_GAME_USER = 1003,
  PLOSTAT_TEST_SPEED = 1004,
};

// The network kind reported with events: "WIFI" when reachable through Wi-Fi, "CellNetwork"
// when reachable through the cellular network, "" otherwise.
std::string PLOStatNetworkKind();

// One record that the statistics module reports, turning itself into one JSON object text.
//
// Events are made by whoever records them and shared (std::shared_ptr) between the facade,
// the store and the dispatcher. Set the fields before handing the event on; afterwards an
// event is only read, so toJsonString may run on any thread, and on several at once.
class PLOStatEvent : public PLOStatEventProtocol {
 public:
  // Takes the creation second and the next event index (kept across launches through the
  // keychain, skipping 100 at each launch).
  PLOStatEvent();
  ~PLOStatEvent() override = default;

  uint32_t sid() const { return sid_; }
  void setSid(uint32_t v) { sid_ = v; }
  uint32_t ts() const { return ts_; }
  void setTs(uint32_t v) { ts_ = v; }
  // "" means the configured app key is reported.
  const std::string& appkey() const { return appkey_; }
  void setAppkey(const std::string& v) { appkey_ = v; }
  bool isRealTime() const { return isRealTime_; }
  void setIsRealTime(bool v) { isRealTime_ = v; }
  uint64_t eventIndex() const { return eventIndex_; }
  void setEventIndex(uint64_t v) { eventIndex_ = v; }

  int16_t getType() const override { return PLOSTAT_EVENT_BASE; }
  void encode(Value& dict) const override;

  // The members common to all events, then the type's own, as compact JSON; "" when the
  // dictionary cannot be written as JSON.
  std::string toJsonString() const;
  // The same dictionary before it is written as text (what toJsonString serialises).
  Value toJsonDictionary() const;

 private:
  uint32_t sid_ = 0;
  uint32_t ts_ = 0;
  std::string appkey_;
  bool isRealTime_ = false;
  uint64_t eventIndex_ = 0;
};
