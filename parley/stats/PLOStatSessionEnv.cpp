#include "parley/stats/PLOStatSessionEnv.h"

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDataConfigHolder.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatUser.h"

void PLOStatSessionEnv::encode(Value& dict) const {
  auto config = PLOStatConfig::getInstance();
  auto helper = PLOStatHelper::getInstance();
  const PLOStatEnv& env = helper->getEnv();
  const auto setText = &PLOStatHelper::setText;

  Value ev = Value::dict();
  PLOStatHelper::addDeviceMembers(ev, env);
  ev.set("wf", helper->fetchSSIDInfo());
  setText(ev, "ch", config->channel());
  setText(ev, "cn", PLOStatNetworkKind());
  dict.set("ev", ev);

  if (auto user = helper->getUser()) dict.set("ut", Value(user->userType));
  if (env.jailbroken) dict.set("jb", Value(1));
  if (auto holder = PLOStatDataConfigHolder::getInstance()) {
    holder->encode(dict);
  } else {
    dict.set("cfg", Value::dict({{"1", Value::dict()}, {"2", Value::dict()}}));
  }
}
