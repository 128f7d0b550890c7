#include "parley/stats/PLOStatDataConfigHolder.h"

#include <exception>
#include <typeinfo>

#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatReachability.h"
#include "parley/stats/PLOStatStore.h"
#include "parley/stats/PLOStatTestSpeedEvent.h"
#include "platform/foundation/NSString.h"

namespace {
std::mutex gInstanceMutex;
std::shared_ptr<PLOStatDataConfigHolder> gInstance;

// A malformed configuration is reported as an error event of the module itself.
void reportError(const std::string& text) { PLOStat::trackError(text); }
}  // namespace

std::shared_ptr<PLOStatDataConfigHolder> PLOStatDataConfigHolder::initSingleton(
    const Block& block) {
  std::shared_ptr<PLOStatDataConfigHolder> holder;
  {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    if (gInstance) return gInstance;
    holder = std::make_shared<PLOStatDataConfigHolder>();
    gInstance = holder;
  }
  // Outside the lock: applying a stored record may report an error event, which reads the
  // instance again.
  holder->initWithBlock(block);
  return holder;
}

std::shared_ptr<PLOStatDataConfigHolder> PLOStatDataConfigHolder::getInstance() {
  std::lock_guard<std::mutex> lock(gInstanceMutex);
  return gInstance;
}

void PLOStatDataConfigHolder::resetForTesting() {
  std::shared_ptr<PLOStatDataConfigHolder> dropped;
  {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    dropped = std::move(gInstance);
  }
  if (dropped) dropped->waitForQueue();
}

PLOStatDataConfigHolder::PLOStatDataConfigHolder()
    : queue_(std::make_unique<DispatchQueue>("StatStore")) {}

PLOStatDataConfigHolder::~PLOStatDataConfigHolder() = default;

void PLOStatDataConfigHolder::initWithBlock(const Block& block) {
  std::weak_ptr<PLOStatDataConfigHolder> weak = weak_from_this();
  PLOStatStore::getInstance()->loadConfig([weak](std::shared_ptr<PLOStatDataConfig> config) {
    if (auto self = weak.lock()) self->setConfig(config);
  });
  if (block) block();
}

void PLOStatDataConfigHolder::waitForQueue() {
  queue_->sync([] {});
}

Value PLOStatDataConfigHolder::getAppProperty(const std::string& key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return appProperties_[key];
}

std::shared_ptr<const PLOStatDataConfig> PLOStatDataConfigHolder::getConfig(int type) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (type == 1) return sdkCfg_;
  if (type == 2) return appCfg_;
  return nullptr;
}

void PLOStatDataConfigHolder::setConfig(const std::shared_ptr<const PLOStatDataConfig>& config) {
  if (!config) return;
  try {
    PLOStatLog("start set config");
    auto parsed = Value::fromJSON(config->content);
    if (!parsed) {
      std::string text = NSString::stringWithFormat(
          "Decode response config JSON error :%@",
          "The data couldn't be read because it isn't in the correct format.");
      PLOStatLog("%@", text);
      reportError(text);
      return;
    }
    if (!parsed->isDict()) {
      std::string text =
          NSString::stringWithFormat("Not NSDictionary for decoded response config object:%@",
                                     PLOStatDataConfig::className(*parsed));
      PLOStatLog("%@", text);
      reportError(text);
      return;
    }
    const Value& cfg = *parsed;
    if (config->type == 2) {
      std::lock_guard<std::mutex> lock(mutex_);
      appCfg_ = config;
      appProperties_ = cfg;
      return;
    }
    if (config->type != 1) return;

    PLOStatLog("sdk cfg start %@", config->content);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      sdkCfg_ = config;
    }
    auto settings = PLOStatConfig::getInstance();
    if (cfg.contains("rs")) {
      int rs = cfg["rs"].intValue();
      if (rs >= 1) settings->setReportStrategy(rs);
    }
    if (cfg.contains("__HIBERNATE__")) {
      if (PLOStatHelper::compareVersions(cfg["__HIBERNATE__"].description(), PLOStatSDKVersion) >=
          0)
        settings->setStatEnable(false);
    }
    if (cfg.contains("__STAT_KILL__")) {
      const Value& kill = cfg["__STAT_KILL__"];
      auto helper = PLOStatHelper::getInstance();
      const PLOStatEnv& env = helper->getEnv();
      if (!env.sdk_version.empty() && kill["sv"].isEqualToString(env.sdk_version))
        helper->setStatEnableFlag(false);
      if (!env.modulename.empty() && kill["md"].isEqualToString(env.modulename))
        helper->setStatEnableFlag(false);
      if (!env.app_version.empty() && kill["av"].isEqualToString(env.app_version))
        helper->setStatEnableFlag(false);
    }
    std::string hosts = cfg["__STAT_TEST_SPEED__"].str();
    if (!hosts.empty()) {
      PLOStatLog("speedTest is %@", hosts);
      std::weak_ptr<PLOStatDataConfigHolder> weak = weak_from_this();
      queue_->async([weak, hosts] {
        if (auto self = weak.lock()) self->runSpeedTest(hosts);
      });
    }
  } catch (const std::exception& e) {
    std::string name = typeid(e).name();
    PLOStatLog("Caught %@%@", name, e.what());
    PLOStat::trackException(name, e.what());
  }
}

void PLOStatDataConfigHolder::runSpeedTest(const std::string& hosts) {
  if (!PLOStatReachability::reachabilityForInternetConnection()->isReachable()) {
    PLOStatLog("taSocket event since no active network.");
    return;
  }
  PLOStatDispatcher::getInstance()->speedTest(hosts);
  auto settings = PLOStatConfig::getInstance();
  auto event = std::make_shared<PLOStatTestSpeedEvent>();
  event->sp = settings->sp();
  event->op = settings->op();
  event->cn = settings->cn();
  PLOStatLog("store started ");
  std::string json = event->toJsonString();
  size_t length = NSString::length(json);
  if (length > settings->maxReportEventLength()) {
    PLOStatLog("[ERROR]Too large event content length to report:%lu", length);
    return;
  }
  // Through the store's own queue and connection, so that this insert shares the store's
  // prepared statement and keeps its count of waiting events right. On a connection of its own
  // the insert could find the file locked by the store's and fail, and an event the store does
  // not count waits unsent while the store believes itself empty (lost data).
  PLOStatStore::getInstance()->storeEvent(event, false, [] { PLOStatLog("store end "); });
}

void PLOStatDataConfigHolder::updateConfig(const Value& dict, int type) {
  PLOStatLog("Start update configuration from STAT's reponse content");
  auto config = std::make_shared<PLOStatDataConfig>();
  if (!config->decode(dict)) {
    PLOStatLog("[ERROR]Failed to decode config for %@", dict);
    return;
  }
  config->type = static_cast<uint32_t>(type);
  auto current = getConfig(type);
  uint32_t local = current ? current->version : 0;
  if (local < config->version) {
    setConfig(config);
    PLOStatStore::getInstance()->storeConfig(config);
  } else {
    PLOStatLog("[WARN]Local has version:%d for config:%d, while remote has version:%d", local, type,
               config->version);
  }
}

void PLOStatDataConfigHolder::updateOnlineConfig(const Value& reply) {
  if (reply.isNil() || reply.contains("mid")) return;
  const Value& cfg = reply["cfg"];
  if (cfg.isNil()) return;
  if (cfg["1"].isDict()) updateConfig(cfg["1"], 1);
  if (cfg["2"].isDict()) updateConfig(cfg["2"], 2);
}

void PLOStatDataConfigHolder::encode(Value& dict) const {
  auto sdk = getConfig(1);
  auto app = getConfig(2);
  Value one = Value::dict();
  Value two = Value::dict();
  if (sdk) sdk->encodeWithNoContent(one);
  if (app) app->encodeWithNoContent(two);
  dict.set("cfg", Value::dict({{"1", one}, {"2", two}}));
}
