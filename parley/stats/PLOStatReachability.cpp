#include "parley/stats/PLOStatReachability.h"

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSNotificationCenter.h"

const std::string kReachabilityChangedNotification = "kReachabilityChangedNotification";

std::shared_ptr<PLOStatReachability> PLOStatReachability::reachabilityWithHostname(
    const std::string& host) {
  auto ref = SCNetworkReachability::createWithName(host);
  return ref ? std::make_shared<PLOStatReachability>(ref) : nullptr;
}

std::shared_ptr<PLOStatReachability> PLOStatReachability::reachabilityWithAddress(
    const std::string& ipv4) {
  auto ref = SCNetworkReachability::createWithAddress(ipv4);
  return ref ? std::make_shared<PLOStatReachability>(ref) : nullptr;
}

std::shared_ptr<PLOStatReachability> PLOStatReachability::reachabilityForInternetConnection() {
  return reachabilityWithAddress("0.0.0.0");
}

std::shared_ptr<PLOStatReachability> PLOStatReachability::reachabilityForLocalWiFi() {
  return reachabilityWithAddress("169.254.0.0");
}

PLOStatReachability::PLOStatReachability(std::shared_ptr<SCNetworkReachability> ref)
    : reachabilityRef_(std::move(ref)) {}

std::shared_ptr<PLOStatReachability> PLOStatReachability::self() {
  return std::static_pointer_cast<PLOStatReachability>(shared_from_this());
}

PLOStatReachability::~PLOStatReachability() {
  if (reachabilityRef_) {
    reachabilityRef_->setCallback({});
    reachabilityRef_->setDispatchQueue(nullptr);
  }
}

bool PLOStatReachability::reachableOnWWAN() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reachableOnWWAN_;
}

void PLOStatReachability::setReachableOnWWAN(bool v) {
  std::lock_guard<std::mutex> lock(mutex_);
  reachableOnWWAN_ = v;
}

void PLOStatReachability::setReachableBlock(Block b) {
  std::lock_guard<std::mutex> lock(mutex_);
  reachableBlock_ = std::move(b);
}

void PLOStatReachability::setUnreachableBlock(Block b) {
  std::lock_guard<std::mutex> lock(mutex_);
  unreachableBlock_ = std::move(b);
}

bool PLOStatReachability::startNotifier() {
  if (!reachabilityRef_) return false;
  auto queue = std::make_shared<DispatchQueue>("PLOStatReachability");
  {
    std::lock_guard<std::mutex> lock(mutex_);
    reachabilityObject_ = self();
    reachabilitySerialQueue_ = queue;
  }
  std::weak_ptr<PLOStatReachability> weak = self();
  bool registered = reachabilityRef_->setCallback([weak](SCNetworkReachabilityFlags flags) {
    if (auto self = weak.lock()) self->reachabilityChanged(flags);
  });
  if (registered) registered = reachabilityRef_->setDispatchQueue(queue);
  if (!registered) stopNotifier();
  return registered;
}

void PLOStatReachability::stopNotifier() {
  if (reachabilityRef_) {
    reachabilityRef_->setCallback({});
    reachabilityRef_->setDispatchQueue(nullptr);
  }
  // Released outside the lock: the last reference to this object may be among them.
  std::shared_ptr<DispatchQueue> queue;
  std::shared_ptr<PLOStatReachability> self;
  std::lock_guard<std::mutex> lock(mutex_);
  queue = std::move(reachabilitySerialQueue_);
  self = std::move(reachabilityObject_);
}

bool PLOStatReachability::isReachableWithFlags(SCNetworkReachabilityFlags flags) const {
  if (!(flags & kSCNetworkReachabilityFlagsReachable)) return false;
  const auto both = kSCNetworkReachabilityFlagsConnectionRequired |
                    kSCNetworkReachabilityFlagsTransientConnection;
  if ((flags & both) == both) return false;
  if ((flags & kSCNetworkReachabilityFlagsIsWWAN) && !reachableOnWWAN()) return false;
  return true;
}

SCNetworkReachabilityFlags PLOStatReachability::reachabilityFlags() const {
  SCNetworkReachabilityFlags flags = 0;
  if (!reachabilityRef_ || !reachabilityRef_->getFlags(&flags)) return 0;
  return flags;
}

bool PLOStatReachability::isReachable() const {
  SCNetworkReachabilityFlags flags = 0;
  if (!reachabilityRef_ || !reachabilityRef_->getFlags(&flags)) return false;
  return isReachableWithFlags(flags);
}

bool PLOStatReachability::isReachableViaWWAN() const {
  auto flags = reachabilityFlags();
  return (flags & kSCNetworkReachabilityFlagsReachable) &&
         (flags & kSCNetworkReachabilityFlagsIsWWAN);
}

bool PLOStatReachability::isReachableViaWiFi() const {
  auto flags = reachabilityFlags();
  return (flags & kSCNetworkReachabilityFlagsReachable) &&
         !(flags & kSCNetworkReachabilityFlagsIsWWAN);
}

bool PLOStatReachability::isConnectionRequired() const { return connectionRequired(); }

bool PLOStatReachability::connectionRequired() const {
  return reachabilityFlags() & kSCNetworkReachabilityFlagsConnectionRequired;
}

bool PLOStatReachability::isConnectionOnDemand() const {
  auto flags = reachabilityFlags();
  return (flags & kSCNetworkReachabilityFlagsConnectionRequired) &&
         (flags & (kSCNetworkReachabilityFlagsConnectionOnTraffic |
                   kSCNetworkReachabilityFlagsConnectionOnDemand));
}

bool PLOStatReachability::isInterventionRequired() const {
  auto flags = reachabilityFlags();
  return (flags & kSCNetworkReachabilityFlagsConnectionRequired) &&
         (flags & kSCNetworkReachabilityFlagsInterventionRequired);
}

NetworkStatus PLOStatReachability::currentReachabilityStatus() const {
  if (!isReachable()) return NotReachable;
  if (isReachableViaWiFi()) return ReachableViaWiFi;
  return ReachableViaWWAN;
}

std::string PLOStatReachability::currentReachabilityString() const {
  const char* key;
  switch (currentReachabilityStatus()) {
    case ReachableViaWWAN:
      key = "Cellular";
      break;
    case ReachableViaWiFi:
      key = "WiFi";
      break;
    default:
      key = "No Connection";
      break;
  }
  return NSBundle::mainBundle().localizedStringForKey(key, "", "");
}

std::string PLOStatReachability::currentReachabilityFlags() const {
  auto f = reachabilityFlags();
  auto c = [f](SCNetworkReachabilityFlags bit, char on) { return (f & bit) ? on : '-'; };
  std::string out;
  out += c(kSCNetworkReachabilityFlagsIsWWAN, 'W');
  out += c(kSCNetworkReachabilityFlagsReachable, 'R');
  out += ' ';
  out += c(kSCNetworkReachabilityFlagsConnectionRequired, 'c');
  out += c(kSCNetworkReachabilityFlagsTransientConnection, 't');
  out += c(kSCNetworkReachabilityFlagsInterventionRequired, 'i');
  out += c(kSCNetworkReachabilityFlagsConnectionOnTraffic, 'C');
  out += c(kSCNetworkReachabilityFlagsConnectionOnDemand, 'D');
  out += c(kSCNetworkReachabilityFlagsIsLocalAddress, 'l');
  out += c(kSCNetworkReachabilityFlagsIsDirect, 'd');
  return out;
}

void PLOStatReachability::reachabilityChanged(SCNetworkReachabilityFlags flags) {
  auto me = self();
  bool reachable = isReachableWithFlags(flags);
  Block block;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    block = reachable ? reachableBlock_ : unreachableBlock_;
  }
  if (block) block(me);
  dispatch_async_main([me] {
    NSNotificationCenter::defaultCenter().postNotification(kReachabilityChangedNotification, me);
  });
}
