#include "parley/stats/PLOStatCustomEvent.h"

void PLOStatCustomEvent::encode(Value& dict) const {
  if (!eventID.empty()) dict.set("ei", eventID);
  if (!args.isNil()) dict.set("ar", args);
  if (!kvs.isNil()) dict.set("kv", kvs);
  if (duration != 0) dict.set("du", Value(static_cast<unsigned>(duration)));
}
