#include "parley/stats/PLOStatAccountEvent.h"

#include "parley/stats/PLOStatConfig.h"

void PLOStatAccountEvent::encode(Value& dict) const {
  auto config = PLOStatConfig::getInstance();
  std::string account = config->account();
  std::string ext = config->accountExt();
  Value acc = Value::dict();
  if (!account.empty()) acc.set("a", account);
  acc.set("t", Value(static_cast<int>(config->accountType())));
  if (!ext.empty()) acc.set("e", ext);
  dict.set("acc", acc);
  if (!account.empty()) dict.set("qq", account);
}
