#include "parley/stats/PLOStatMonitorStatEvent.h"

#include "parley/stats/PLOStatHelper.h"

void PLOStatMonitorStatEvent::encode(Value& dict) const {
  if (!stat || stat->interface.empty()) return;
  dict.set("na", stat->interface);
  dict.set("rq", Value(static_cast<unsigned>(stat->requestPackageSize)));
  dict.set("rp", Value(static_cast<unsigned>(stat->responsePackageSize)));
  dict.set("tm", Value(static_cast<unsigned long long>(stat->consumedMilliseconds)));
  dict.set("rc", Value(static_cast<int>(stat->returnCode)));
  dict.set("sp", Value(static_cast<unsigned>(stat->sampling == 0 ? 1 : stat->sampling)));
  dict.set("rt", Value(static_cast<int>(stat->resultType)));
  const std::string& op = PLOStatHelper::getInstance()->getEnv().mccmnc;
  if (!op.empty()) dict.set("op", op);
  std::string cn = PLOStatNetworkKind();
  if (!cn.empty()) dict.set("cn", cn);
}
