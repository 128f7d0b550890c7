#include "parley/stats/PLOStatAdditionEvent.h"

#include "parley/stats/PLOStatConfig.h"

void PLOStatAdditionEvent::encode(Value& dict) const {
  std::string qq = PLOStatConfig::getInstance()->qq();
  if (!qq.empty()) dict.set("qq", qq);
}
