#include "parley/stats/PLOStatTestSpeed.h"

#include "parley/stats/PLOStatHelper.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/Value.h"

namespace {
Value optionalNumber(const std::optional<int64_t>& n) {
  return n ? Value(static_cast<long long>(*n)) : Value();
}
}  // namespace

std::string PLOStatTestSpeed::toJsonString() const {
  Value d = Value::dict();
  if (!dm.empty()) d.set("dm", dm);
  d.set("pt", optionalNumber(pt));
  if (!rip.empty()) d.set("rip", rip);
  d.set("st", optionalNumber(st));
  d.set("ts", optionalNumber(ts));
  d.set("tm", optionalNumber(tm));
  return PLOStatHelper::getJson(d);
}

std::string PLOStatTestSpeed::description() const {
  return NSString::stringWithFormat(
      "StatTestSpeed info is dm:%@ , pt:%@ , rip:%@ , st:%@ , ts:%@ , tm:%@ ",
      dm.empty() ? Value() : Value(dm), optionalNumber(pt), rip.empty() ? Value() : Value(rip),
      optionalNumber(st), optionalNumber(ts), optionalNumber(tm));
}
