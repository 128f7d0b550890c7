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

#include "platform/foundation/NSObject.h"
#include "platform/foundation/Value.h"

// A notification as its sender posted it: the name, the sender ("object", nullptr when none)
// and the user info.
struct NSNotification {
  std::string name;
  std::shared_ptr<NSObject> object;
  Value userInfo;
};

class NSNotificationCenter {
 public:
  using Handler = std::function<void(const Value& userInfo)>;
  using Token = uint64_t;
  using NotificationHandler = std::function<void(const NSNotification& notification)>;

  static NSNotificationCenter& defaultCenter();

  // name "" observes every notification. Returns a token for removeObserverWithToken.
  Token addObserver(std::weak_ptr<void> observer, const std::string& name, Handler fn);
  // Observes `name` ("" every name) as posted by `object` only, or by any sender when `object`
  // is nullptr. The sender is compared by identity and held weakly: once it is gone the
  // registration matches nothing. The handler receives the whole notification.
  Token addObserver(std::weak_ptr<void> observer, const std::string& name,
                    const std::shared_ptr<NSObject>& object, NotificationHandler fn);
  // Block-based observation with no owner: kept until removed by its token.
  Token addObserverForName(const std::string& name, Handler fn);
  // Removes the observer's registrations for name, or all of them when name is "".
  void removeObserver(const void* observer, const std::string& name = "");
  void removeObserverWithToken(Token token);
  void postNotificationName(const std::string& name, const Value& userInfo = {});
  // Posts with a sender: observers that filter by sender see it only when it is theirs; every
  // other observer of the name sees it as well.
  void postNotification(const std::string& name, const std::shared_ptr<NSObject>& object,
                        const Value& userInfo = {});
  void removeAllObservers();  // for tests

 private:
  struct Entry;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_;
  Token nextToken_ = 1;
};
