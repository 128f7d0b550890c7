#include "parley/stats/PLOStatConfig.h"

#include "parley/stats/PLOStatDataConfigHolder.h"

namespace {
std::mutex gInstanceMutex;
std::shared_ptr<PLOStatConfig> gInstance;
}  // namespace

std::shared_ptr<PLOStatConfig> PLOStatConfig::getInstance() {
  std::lock_guard<std::mutex> lock(gInstanceMutex);
  if (!gInstance) gInstance = std::make_shared<PLOStatConfig>();
  return gInstance;
}

void PLOStatConfig::resetForTesting() {
  std::shared_ptr<PLOStatConfig> dropped;  // released after the lock
  std::lock_guard<std::mutex> lock(gInstanceMutex);
  dropped = std::move(gInstance);
  gInstance = std::make_shared<PLOStatConfig>();
}

std::string PLOStatConfig::text(const std::string& slot) const {
  std::lock_guard<std::mutex> lock(textMutex_);
  return slot;
}

void PLOStatConfig::setText(std::string& slot, const std::string& v) {
  std::lock_guard<std::mutex> lock(textMutex_);
  slot = v;
}

Value PLOStatConfig::getCustomProperty(const std::string& key, const Value& def) const {
  auto holder = PLOStatDataConfigHolder::getInstance();
  if (!holder) return def;
  Value value = holder->getAppProperty(key);
  return value.isNil() ? def : value;
}
