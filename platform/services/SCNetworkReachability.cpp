#include "platform/services/SCNetworkReachability.h"

#include <arpa/inet.h>

#include <atomic>

#include "platform/foundation/RunLoop.h"
#include "platform/services/SimulatedNetwork.h"

namespace {
std::atomic<bool> gRegistrationFails{false};

bool isLinkLocal(const std::string& ipv4) {
  in_addr addr{};
  if (inet_pton(AF_INET, ipv4.c_str(), &addr) != 1) return false;
  uint32_t host = ntohl(addr.s_addr);
  return (host >> 16) == ((169u << 8) | 254u);
}
}  // namespace

SCNetworkReachability::SCNetworkReachability(std::string target, bool linkLocal)
    : target_(std::move(target)), linkLocal_(linkLocal) {}

SCNetworkReachability::~SCNetworkReachability() {
  if (token_) SimulatedNetwork::shared().removeObserver(token_);
}

std::shared_ptr<SCNetworkReachability> SCNetworkReachability::createWithName(
    const std::string& host) {
  if (host.empty()) return nullptr;
  return std::make_shared<SCNetworkReachability>(host, false);
}

std::shared_ptr<SCNetworkReachability> SCNetworkReachability::createWithAddress(
    const std::string& ipv4) {
  in_addr addr{};
  if (inet_pton(AF_INET, ipv4.c_str(), &addr) != 1) return nullptr;
  return std::make_shared<SCNetworkReachability>(ipv4, isLinkLocal(ipv4));
}

void SCNetworkReachability::setRegistrationFailure(bool fail) { gRegistrationFails = fail; }

bool SCNetworkReachability::getFlags(SCNetworkReachabilityFlags* flags) const {
  if (!flags) return false;
  auto& network = SimulatedNetwork::shared();
  if (auto forced = network.flagsOverride()) {
    *flags = *forced;
    return true;
  }
  switch (network.kind()) {
    case NetworkKind::Offline:
      *flags = 0;
      break;
    case NetworkKind::WiFi:
      *flags = kSCNetworkReachabilityFlagsReachable |
               (linkLocal_ ? kSCNetworkReachabilityFlagsIsDirect : 0);
      break;
    case NetworkKind::Cellular:
      // The link-local network exists only on Wi-Fi.
      *flags = linkLocal_
                   ? 0
                   : kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN |
                         kSCNetworkReachabilityFlagsTransientConnection;
      break;
  }
  return true;
}

bool SCNetworkReachability::setCallback(Callback callback) {
  if (callback && gRegistrationFails) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = std::move(callback);
  }
  updateSubscription();
  return true;
}

bool SCNetworkReachability::setDispatchQueue(std::shared_ptr<DispatchQueue> queue) {
  if (queue && gRegistrationFails) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_ = std::move(queue);
  }
  updateSubscription();
  return true;
}

// Listens to the network only while changes can be delivered.
void SCNetworkReachability::updateSubscription() {
  uint64_t stale = 0;
  bool subscribe = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bool wanted = callback_ && queue_;
    if (wanted && !token_) {
      subscribe = true;
    } else if (!wanted && token_) {
      stale = token_;
      token_ = 0;
    }
  }
  if (stale) SimulatedNetwork::shared().removeObserver(stale);
  if (subscribe) {
    std::weak_ptr<SCNetworkReachability> weak = weak_from_this();
    uint64_t token = SimulatedNetwork::shared().addObserver([weak] {
      if (auto self = weak.lock()) self->networkChanged();
    });
    std::lock_guard<std::mutex> lock(mutex_);
    if (token_) {
      SimulatedNetwork::shared().removeObserver(token);
    } else {
      token_ = token;
    }
  }
}

void SCNetworkReachability::networkChanged() {
  std::shared_ptr<DispatchQueue> queue;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!callback_ || !queue_) return;
    queue = queue_;
  }
  SCNetworkReachabilityFlags flags = 0;
  getFlags(&flags);
  std::weak_ptr<SCNetworkReachability> weak = weak_from_this();
  queue->async([weak, flags] {
    auto self = weak.lock();
    if (!self) return;
    Callback callback;
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      callback = self->callback_;
    }
    if (callback) callback(flags);
  });
}
