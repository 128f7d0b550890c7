#include "parley/stats/PLOStatEvent.h"

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatReachability.h"
#include "parley/stats/PLOStatUser.h"
#include "platform/foundation/NSDate.h"

std::string PLOStatNetworkKind() {
  auto reachability = PLOStatReachability::reachabilityForInternetConnection();
  if (!reachability) return "";
  if (reachability->isReachableViaWiFi()) return "WIFI";
  if (reachability->isReachableViaWWAN()) return "CellNetwork";
  return "";
}

PLOStatEvent::PLOStatEvent()
    : ts_(static_cast<uint32_t>(NSDate::timeIntervalSince1970())),
      eventIndex_(PLOStatHelper::nextEventIndex()) {}

void PLOStatEvent::encode(Value&) const {}

Value PLOStatEvent::toJsonDictionary() const {
  auto config = PLOStatConfig::getInstance();
  auto helper = PLOStatHelper::getInstance();
  const PLOStatEnv& env = helper->getEnv();
  const int16_t type = getType();
  const bool session = type == PLOSTAT_SESSION_ENV;
  const auto setText = &PLOStatHelper::setText;

  Value d = Value::dict();
  d.set("idx", Value(static_cast<unsigned long long>(eventIndex_)));
  d.set("ts", Value(static_cast<unsigned>(ts_)));
  d.set("si", Value(static_cast<unsigned>(sid_)));
  if (!session) {
    d.set("sv", env.sdk_version);
    if (auto user = helper->getUser()) d.set("ut", Value(user->userType));
    setText(d, "ch", config->channel());
    std::string av = config->customerAppVersion();
    setText(d, "av", av.empty() ? env.app_version : av);
  }
  setText(d, "mc", PLOStatHelper::getMacAddress());
  setText(d, "cui", config->customerUserID());
  setText(d, "cav", config->customerAppVersion());
  setText(d, "ui", env.deviceid);
  setText(d, "ifa", config->ifa());
  std::string token = config->pushDeviceToken();
  d.set("mid", token.empty() ? std::string("none") : token);
  setText(d, "ifv", env.ifv);
  d.set("et", Value(static_cast<int>(type)));
  setText(d, "ky", appkey_.empty() ? config->appkey() : appkey_);
  encode(d);
  return d;
}

std::string PLOStatEvent::toJsonString() const {
  return PLOStatHelper::getJson(toJsonDictionary());
}
