#include "parley/StatPL.h"

#include <cstdint>

#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatConfig.h"
#include "platform/foundation/NSLog.h"

namespace {

std::mutex& classLock() {
  static std::mutex m;
  return m;
}

std::shared_ptr<StatPL>& shared() {
  static std::shared_ptr<StatPL> s;
  return s;
}

bool debugOn() { return PLOStatConfig::getInstance()->debugEnable(); }

}  // namespace

std::shared_ptr<StatPL> StatPL::getInstance() {
  std::shared_ptr<StatPL> instance;
  {
    std::lock_guard lock(classLock());
    if (!shared()) shared() = std::make_shared<StatPL>();
    instance = shared();
  }
  if (debugOn()) {
    NSLog("instance obj :%@",
          "<StatPL: " + std::to_string(reinterpret_cast<uintptr_t>(instance.get())) + ">");
  }
  return instance;
}

void StatPL::resetForTesting() {
  std::lock_guard lock(classLock());
  shared().reset();
}

std::string StatPL::ConvertPLappkey(const std::string& appId) {
  if (appId.empty()) {
    NSLog("[WARN]appkey is nil");
    return "";
  }
  const std::string key = "IPLOP" + appId;
  if (debugOn()) NSLog("PLappkey:%@", key);
  return key;
}

void StatPL::startWithAppkey(const std::string& appId) {
  PLOStatConfig::getInstance()->setDebugEnable(false);
  auto instance = getInstance();
  instance->setAppkey(ConvertPLappkey(appId));
  if (debugOn()) NSLog("StatPL appkey :%@", instance->appkey());
  PLOStat::startWithAppkey(instance->appkey());
}

void StatPL::onBackground() {
  auto instance = getInstance();
  if (debugOn()) NSLog("onBackground appkey :%@", instance->appkey());
  PLOStat::trackCustomKeyValueEvent("onBackground_PL", Value(), instance->appkey(), true);
}

std::string StatPL::appkey() const {
  std::lock_guard lock(mutex_);
  return appkey_;
}

void StatPL::setAppkey(const std::string& key) {
  std::lock_guard lock(mutex_);
  appkey_ = key;
}
