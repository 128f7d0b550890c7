#pragma once
// Notifications, delivered synchronously on the posting thread, to observers in the order
// they registered. An observer is held weakly: once it is destroyed it is never called
// (and its registrations are dropped). Observers removed while a notification is being
// delivered are not called for it. Thread-safe; no lock is held while an observer runs.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class NSNotificationCenter {
 public:
  using Handler = std::function<void(const Value& userInfo)>;
  using Token = uint64_t;

  static NSNotificationCenter& defaultCenter();

  // name "" observes every notification. Returns a token for removeObserverWithToken.
  Token addObserver(std::weak_ptr<void> observer, const std::string& name, Handler fn);
  // Block-based observation with no owner: kept until removed by its token.
  Token addObserverForName(const std::string& name, Handler fn);
  // Removes the observer's registrations for name, or all of them when name is "".
  void removeObserver(const void* observer, const std::string& name = "");
  void removeObserverWithToken(Token token);
  void postNotificationName(const std::string& name, const Value& userInfo = {});
  void removeAllObservers();  // for tests

 private:
  struct Entry;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_;
  Token nextToken_ = 1;
};
