#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/RunLoop.h"
#include "platform/services/SCNetworkReachability.h"

// Posted on the main queue after each change while notifying; its object is the reachability
// object whose network changed.
extern const std::string kReachabilityChangedNotification;

// NetworkStatus
enum NetworkStatus : long { NotReachable = 0, ReachableViaWWAN = 1, ReachableViaWiFi = 2 };

// Whether the network is reachable, and whether through Wi-Fi or the cellular network.
//
// Made by the factories and held by std::shared_ptr. Flag reads are synchronous and safe from
// any thread. While notifying (startNotifier), changes arrive on the object's own serial
// queue: the reachable or unreachable block runs there, and the notification is then posted
// on the main queue. The object keeps itself alive while notifying, until stopNotifier.
class PLOStatReachability : public NSObject {
  TOVIRA_CLASS(PLOStatReachability)

  using Block = std::function<void(const std::shared_ptr<PLOStatReachability>&)>;

  static std::shared_ptr<PLOStatReachability> reachabilityWithHostname(const std::string& host);
  // An IPv4 address as dotted text; nullptr when it is not one.
  static std::shared_ptr<PLOStatReachability> reachabilityWithAddress(const std::string& ipv4);
  static std::shared_ptr<PLOStatReachability> reachabilityForInternetConnection();  // 0.0.0.0
  static std::shared_ptr<PLOStatReachability> reachabilityForLocalWiFi();           // 169.254.0.0

  explicit PLOStatReachability(
      std::shared_ptr<SCNetworkReachability> ref);  // initWithReachabilityRef
  ~PLOStatReachability() override;

  bool reachableOnWWAN() const;
  void setReachableOnWWAN(bool v);
  // Copied; called with the object on its notification queue.
  void setReachableBlock(Block b);
  void setUnreachableBlock(Block b);

  bool startNotifier();
  void stopNotifier();

  bool isReachableWithFlags(SCNetworkReachabilityFlags flags) const;
  bool isReachable() const;
  bool isReachableViaWWAN() const;
  bool isReachableViaWiFi() const;
  bool isConnectionRequired() const;
  bool connectionRequired() const;
  bool isConnectionOnDemand() const;
  bool isInterventionRequired() const;
  NetworkStatus currentReachabilityStatus() const;
  SCNetworkReachabilityFlags reachabilityFlags() const;
  // The main bundle's localisation of "Cellular", "WiFi" or "No Connection" (the key itself
  // when its strings table has none).
  std::string currentReachabilityString() const;
  // Ten characters "WR ctiCDld", each "-" when clear.
  std::string currentReachabilityFlags() const;
  void reachabilityChanged(SCNetworkReachabilityFlags flags);

 private:
  std::shared_ptr<PLOStatReachability> self();
  std::shared_ptr<SCNetworkReachability> reachabilityRef_;
  mutable std::mutex mutex_;
  bool reachableOnWWAN_ = true;
  Block reachableBlock_;
  Block unreachableBlock_;
  std::shared_ptr<DispatchQueue> reachabilitySerialQueue_;
  std::shared_ptr<PLOStatReachability> reachabilityObject_;
};
