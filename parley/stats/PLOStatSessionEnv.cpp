#include "parley/stats/PLOStatSessionEnv.h"

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDataConfigHolder.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatUser.h"

void PLOStatSessionEnv::encode(Value& dict) const {
  auto config = PLOStatConfig::getInstance();
  auto helper = PLOStatHelper::getInstance();
  const PLOStatEnv& env = helper->getEnv();
  auto setText = [](Value& d, const char* key, const std::string& text) {
    if (!text.empty()) d.set(key, text);
  };

  Value ev = Value::dict();
  setText(ev, "pl", env.platform);
  setText(ev, "tz", env.timezone);
  setText(ev, "ov", env.os_version);
  std::string av = config->customerAppVersion();
  setText(ev, "av", av.empty() ? env.app_version : av);
  ev.set("os", Value(2));
  setText(ev, "sv", env.sdk_version);
  setText(ev, "lg", env.language);
  setText(ev, "sr", env.resolution);
  setText(ev, "op", env.mccmnc);
  setText(ev, "md", env.devicename);
  setText(ev, "mf", env.modulename);
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
