#pragma once
// Reachability of a host or address over the simulated network (SimulatedNetwork): flags
// read on demand, and change callbacks delivered on a serial queue of the caller's choice.
// Thread-safe.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class DispatchQueue;

using SCNetworkReachabilityFlags = uint32_t;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsTransientConnection = 1;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsReachable = 2;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionRequired = 4;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionOnTraffic = 8;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsInterventionRequired = 16;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionOnDemand = 32;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsLocalAddress = 0x10000;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsDirect = 0x20000;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsWWAN = 0x40000;

class SCNetworkReachability : public std::enable_shared_from_this<SCNetworkReachability> {
 public:
  using Callback = std::function<void(SCNetworkReachabilityFlags)>;

  // nullptr for an empty name, or an address that is not dotted IPv4 text.
  static std::shared_ptr<SCNetworkReachability> createWithName(const std::string& host);
  static std::shared_ptr<SCNetworkReachability> createWithAddress(const std::string& ipv4);
  // Tests: the next registrations (callback and queue) fail while set.
  static void setRegistrationFailure(bool fail);

  ~SCNetworkReachability();

  // false when the flags cannot be read (never for the simulated network).
  bool getFlags(SCNetworkReachabilityFlags* flags) const;
  // An empty callback clears it. false when registration fails.
  bool setCallback(Callback callback);
  // Changes are delivered on the queue while both a callback and a queue are set; nullptr
  // clears the queue. false when registration fails.
  bool setDispatchQueue(std::shared_ptr<DispatchQueue> queue);

  SCNetworkReachability(std::string target, bool linkLocal);  // use the factories

 private:
  void networkChanged();
  void updateSubscription();
  std::string target_;
  bool linkLocal_;
  mutable std::mutex mutex_;
  Callback callback_;
  std::shared_ptr<DispatchQueue> queue_;
  uint64_t token_ = 0;
};
