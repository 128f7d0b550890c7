#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "parley/stats/PLOStatDataConfig.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"

// Keeps the current server configuration of each type, applies it to the settings, stores it
// through the event store and restores it at start.
//
// One process-wide instance, made once by initSingleton (the statistics facade does so while
// it starts). Its records change only to records of a higher version. Reply handling
// (updateOnlineConfig) runs on the dispatcher's queue; the speed test that a module
// configuration asks for runs on the holder's own serial queue ("StatStore"), and its event
// is stored through the event store's queue and database connection. All methods may be
// called from any thread: the records are guarded.
class PLOStatDataConfigHolder : public std::enable_shared_from_this<PLOStatDataConfigHolder> {
 public:
  using Block = std::function<void()>;

  // Creates the instance once (loading and applying the stored records, then calling block);
  // later calls return it unchanged and do not call block.
  static std::shared_ptr<PLOStatDataConfigHolder> initSingleton(const Block& block);
  // The instance, or nullptr before initSingleton.
  static std::shared_ptr<PLOStatDataConfigHolder> getInstance();
  // Tests: forgets the instance (after its queue has finished), as a new process would.
  static void resetForTesting();

  PLOStatDataConfigHolder();
  ~PLOStatDataConfigHolder();

  Value getAppProperty(const std::string& key) const;
  // Applies a record (a stored one at start, or a newer one from the server).
  void setConfig(const std::shared_ptr<const PLOStatDataConfig>& config);
  // The module's record for 1, the app's for 2, nullptr otherwise or when there is none.
  std::shared_ptr<const PLOStatDataConfig> getConfig(int type) const;
  // Takes one part of a reply's "cfg": applies and stores it when its version is higher.
  void updateConfig(const Value& dict, int type);
  // Takes the configuration out of a report reply (nothing when the reply carries "mid").
  void updateOnlineConfig(const Value& reply);
  // Adds "cfg": {"1": {"v": module version}, "2": {"v": app version}} to an event's JSON
  // dictionary, an empty object for a type without a record.
  void encode(Value& dict) const;

  // Tests: waits until the speed tests queued so far have finished.
  void waitForQueue();

 private:
  void initWithBlock(const Block& block);
  void runSpeedTest(const std::string& hosts);

  mutable std::mutex mutex_;
  std::shared_ptr<const PLOStatDataConfig> sdkCfg_;
  std::shared_ptr<const PLOStatDataConfig> appCfg_;
  Value appProperties_;
  std::unique_ptr<DispatchQueue> queue_;
};
