#include "parley/stats/PLOStatTestSpeedEvent.h"

void PLOStatTestSpeedEvent::encode(Value& dict) const {
  if (!sp.empty()) dict.set("sp", sp);
  if (!op.empty()) dict.set("op", op);
  if (!cn.empty()) dict.set("cn", cn);
}
