#include "platform/foundation/NSNotificationCenter.h"

#include <algorithm>
#include <atomic>

struct NSNotificationCenter::Entry {
  Token token = 0;
  std::weak_ptr<void> observer;
  const void* key = nullptr;  // the observer's address, for removeObserver
  bool owned = false;         // true for block observers, which have no observer object
  std::string name;
  std::shared_ptr<Handler> handler;
  std::shared_ptr<NotificationHandler> notificationHandler;  // set instead of handler
  bool filtersSender = false;
  const void* senderKey = nullptr;
  std::weak_ptr<NSObject> sender;
  std::atomic<bool> removed{false};
};

NSNotificationCenter& NSNotificationCenter::defaultCenter() {
  static NSNotificationCenter* center = new NSNotificationCenter();
  return *center;
}

NSNotificationCenter::Token NSNotificationCenter::addObserver(std::weak_ptr<void> observer,
                                                              const std::string& name, Handler fn) {
  auto strong = observer.lock();
  if (!strong || !fn) return 0;
  auto e = std::make_shared<Entry>();
  e->observer = observer;
  e->key = strong.get();
  e->name = name;
  e->handler = std::make_shared<Handler>(std::move(fn));
  std::lock_guard<std::mutex> lock(mutex_);
  e->token = nextToken_++;
  entries_.push_back(e);
  return e->token;
}

NSNotificationCenter::Token NSNotificationCenter::addObserver(
    std::weak_ptr<void> observer, const std::string& name, const std::shared_ptr<NSObject>& object,
    NotificationHandler fn) {
  auto strong = observer.lock();
  if (!strong || !fn) return 0;
  auto e = std::make_shared<Entry>();
  e->observer = observer;
  e->key = strong.get();
  e->name = name;
  e->notificationHandler = std::make_shared<NotificationHandler>(std::move(fn));
  if (object) {
    e->filtersSender = true;
    e->senderKey = object.get();
    e->sender = object;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  e->token = nextToken_++;
  entries_.push_back(e);
  return e->token;
}

NSNotificationCenter::Token NSNotificationCenter::addObserverForName(const std::string& name,
                                                                     Handler fn) {
  if (!fn) return 0;
  auto e = std::make_shared<Entry>();
  e->owned = true;
  e->name = name;
  e->handler = std::make_shared<Handler>(std::move(fn));
  std::lock_guard<std::mutex> lock(mutex_);
  e->token = nextToken_++;
  entries_.push_back(e);
  return e->token;
}

void NSNotificationCenter::removeObserver(const void* observer, const std::string& name) {
  std::vector<std::shared_ptr<Entry>> dropped;  // handlers are released after the lock
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::stable_partition(entries_.begin(), entries_.end(), [&](const auto& e) {
    return e->owned || e->key != observer || (!name.empty() && e->name != name);
  });
  for (auto i = it; i != entries_.end(); ++i) (*i)->removed = true;
  dropped.assign(it, entries_.end());
  entries_.erase(it, entries_.end());
}

void NSNotificationCenter::removeObserverWithToken(Token token) {
  std::shared_ptr<Entry> dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const auto& e) { return e->token == token; });
  if (it == entries_.end()) return;
  (*it)->removed = true;
  dropped = *it;
  entries_.erase(it);
}

void NSNotificationCenter::removeAllObservers() {
  std::vector<std::shared_ptr<Entry>> dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& e : entries_) e->removed = true;
  dropped.swap(entries_);
}

void NSNotificationCenter::postNotificationName(const std::string& name, const Value& userInfo) {
  postNotification(name, nullptr, userInfo);
}

void NSNotificationCenter::postNotification(const std::string& name,
                                            const std::shared_ptr<NSObject>& object,
                                            const Value& userInfo) {
  std::vector<std::shared_ptr<Entry>> targets;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // Registrations of destroyed observers are dropped here, lazily.
    std::erase_if(entries_, [](const auto& e) {
      if (!e->owned && e->observer.expired()) {
        e->removed = true;
        return true;
      }
      return false;
    });
    for (const auto& e : entries_) {
      if (!e->name.empty() && e->name != name) continue;
      if (e->filtersSender && (e->senderKey != object.get() || e->sender.expired())) continue;
      targets.push_back(e);
    }
  }
  const Value info = userInfo;  // observers may change the caller's value
  for (const auto& e : targets) {
    if (e->removed) continue;  // removed by an earlier observer of this notification
    std::shared_ptr<void> alive;
    if (!e->owned) {
      alive = e->observer.lock();  // held for the duration of the call
      if (!alive) continue;
    }
    if (e->notificationHandler) {
      std::shared_ptr<NotificationHandler> handler = e->notificationHandler;
      (*handler)(NSNotification{name, object, info});
      continue;
    }
    std::shared_ptr<Handler> handler = e->handler;
    (*handler)(info);
  }
}
