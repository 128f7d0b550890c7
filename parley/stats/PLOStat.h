#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"

class PLOStatAppMonitorStat;
class PLOStatEvent;

// The entry point of the statistics module: records usage events (page views, errors, custom
// and key-value events, account and monitoring data), keeps the session, and hands each event
// to the report strategy, which sends it at once or stores it for a later batch.
//
// Class methods, callable from any thread. An app key or other text given as "" counts as
// absent (nil). Nothing raises and nothing reports an error: failures are debug-log lines.
//
// The singleton (made by startWithAppkey) owns the serial queue "ParleyAnalysis", on which every
// event is routed in submission order. Before it exists, events that reach submission wait in
// a buffer of at most 128. The session state (current id, last-active second, next midnight,
// the per-session count and the addition-event flag) is process-wide and guarded by one lock,
// so that two concurrent checks never start two sessions for one lapse.
class PLOStat : public std::enable_shared_from_this<PLOStat> {
 public:
  static std::shared_ptr<PLOStat> getInstance();
  // Tests and the simulator's restart: stops observing the application, lets the module's queues
  // finish, and forgets the singleton and the process-wide state, as the end of the process does.
  static void resetForTesting();

  static void startWithAppkey(const std::string& appkey);
  // false (and the module disabled) when version is higher than the module's "1.4.6".
  static bool startWithAppkey(const std::string& appkey, const std::string& checkedSdkVersion);
  // Sends n waiting events (all of them, batch by batch, for a negative n).
  static void commitCachedStats(int n);

  static void trackPageViewBegin(const std::string& page);
  static void trackPageViewBegin(const std::string& page, const std::string& appkey);
  static void trackPageViewEnd(const std::string& page);
  static void trackPageViewEnd(const std::string& page, const std::string& appkey, bool isRealTime);
  static void trackDirectPageViewBegin(const std::string& page, const std::string& appkey);
  static void trackDirectPageViewEnd(const std::string& page, const std::string& appkey,
                                     bool isRealTime);

  // An exception: its name and reason, and the call stack when known.
  static void trackException(const std::string& name, const std::string& reason,
                             const std::vector<std::string>& callStackSymbols = {});
  static void trackException(const std::string& name, const std::string& reason,
                             const std::vector<std::string>& callStackSymbols,
                             const std::string& appkey, bool isRealTime);
  static void trackError(const std::string& error);
  static void trackError(const std::string& error, const std::string& appkey, bool isRealTime);

  // args: an array (or absent).
  static void trackCustomEvent(const std::string& eventId, const Value& args);
  static void trackCustomEvent(const std::string& eventId, const Value& args,
                               const std::string& appkey, bool isRealTime);
  static void trackCustomEventBegin(const std::string& eventId, const Value& args);
  static void trackCustomEventBegin(const std::string& eventId, const Value& args,
                                    const std::string& appkey);
  static void trackCustomEventEnd(const std::string& eventId, const Value& args);
  static void trackCustomEventEnd(const std::string& eventId, const Value& args,
                                  const std::string& appkey, bool isRealTime);
  // props: a dictionary (or absent).
  static void trackCustomKeyValueEvent(const std::string& eventId, const Value& props);
  static void trackCustomKeyValueEvent(const std::string& eventId, const Value& props,
                                       const std::string& appkey, bool isRealTime);
  static void trackCustomKeyValueEventBegin(const std::string& eventId, const Value& props);
  static void trackCustomKeyValueEventBegin(const std::string& eventId, const Value& props,
                                            const std::string& appkey);
  static void trackCustomKeyValueEventEnd(const std::string& eventId, const Value& props);
  static void trackCustomKeyValueEventEnd(const std::string& eventId, const Value& props,
                                          const std::string& appkey, bool isRealTime);
  static void trackCustomKeyValueEventDuration(uint32_t duration, const std::string& eventId,
                                               const Value& props);
  static void trackCustomKeyValueEventDuration(uint32_t duration, const std::string& eventId,
                                               const Value& props, const std::string& appKey,
                                               bool isRealTime);

  static void startNewSession();
  static void startNewSession(bool isRealTime);
  static void stopSession();

  static void reportQQ(const std::string& qq);
  static void reportQQ(const std::string& qq, const std::string& appkey, bool isRealTime);
  static void reportAccount(const std::string& account, uint32_t type, const std::string& ext);
  static void reportAccount(const std::string& account, uint32_t type, const std::string& ext,
                            const std::string& appkey, bool isRealTime);
  static void reportAppMonitorStat(const std::shared_ptr<PLOStatAppMonitorStat>& stat);
  static void reportAppMonitorStat(const std::shared_ptr<PLOStatAppMonitorStat>& stat,
                                   const std::string& appkey, bool isRealTime);
  static void trackGameUser(const std::string& uid, const std::string& world,
                            const std::string& level);
  static void trackGameUser(const std::string& uid, const std::string& world,
                            const std::string& level, const std::string& appkey, bool isRealTime);

  static std::string getStatUDID();

  // The current session id (0 before the first session).
  static uint32_t currentSessionId();
  // Tests: waits until the events routed so far have left the "ParleyAnalysis" queue.
  static void waitForQueue();

  PLOStat();  // use getInstance
  ~PLOStat();

  std::string statCurrentPage() const;
  std::string lastPage() const;

 private:
  friend struct PLOStatAccess;
  static void submitEvent(const std::shared_ptr<PLOStatEvent>& event);
  void routeEvent(const std::shared_ptr<PLOStatEvent>& event);
  void strategyStep(const std::shared_ptr<PLOStatEvent>& event);
  void sendNow(const std::shared_ptr<PLOStatEvent>& event);
  void observeApplication();

  std::unique_ptr<DispatchQueue> queue_;
  mutable std::mutex pageMutex_;
  std::string statCurrentPage_;
  std::string lastPage_;
  std::vector<uint64_t> observerTokens_;
};
