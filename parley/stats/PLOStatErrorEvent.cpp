#include "parley/stats/PLOStatErrorEvent.h"

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatUser.h"
#include "platform/foundation/NSString.h"

namespace {
constexpr size_t kMaxLines = 100;
}

void PLOStatErrorEvent::encode(Value& dict) const {
  auto config = PLOStatConfig::getInstance();
  auto helper = PLOStatHelper::getInstance();
  const PLOStatEnv& env = helper->getEnv();
  const auto setText = &PLOStatHelper::setText;

  auto lines = NSString::componentsSeparatedByString(error, "\n");
  if (lines.size() > kMaxLines) lines.resize(kMaxLines);
  dict.set("er", NSString::componentsJoinedByString(lines, "\n"));
  dict.set("ea", Value(static_cast<unsigned>(attr)));
  if (auto user = helper->getUser()) dict.set("ut", Value(user->userType));

  Value kv = Value::dict();
  PLOStatHelper::addDeviceMembers(kv, env);
  setText(kv, "ch", config->channel());
  setText(kv, "cn", PLOStatNetworkKind());
  setText(kv, "cui", config->customerUserID());
  setText(kv, "ui", env.deviceid);
  std::string qq = config->qq();
  setText(kv, "qq", qq.empty() ? config->account() : qq);
  setText(kv, "pcn", processName);
  if (!availableMemory.empty()) kv.set("fram", Value(Value(availableMemory).longLongValue()));
  if (!freeDiskSpace.empty()) kv.set("from", Value(Value(freeDiskSpace).longLongValue()));
  dict.set("errkv", PLOStatHelper::getJson(kv));
}
