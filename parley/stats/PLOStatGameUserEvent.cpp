#include "parley/stats/PLOStatGameUserEvent.h"

void PLOStatGameUserEvent::encode(Value& dict) const {
  if (!uid.empty()) dict.set("gid", uid);
  if (!world.empty()) dict.set("wod", world);
  if (!level.empty()) dict.set("lev", level);
}
