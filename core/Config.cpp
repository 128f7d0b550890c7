#include "core/Config.h"

#include <mutex>

namespace {

struct Settings {
  std::mutex mutex;
  std::string host = Config::kDefaultApiHost;
  double timeout = Config::kDefaultTimeout;
};

Settings& settings() {
  static Settings s;
  return s;
}

}  // namespace

void Config::setApiHost(const std::string& host) {
  std::string h = host;
  while (!h.empty() && h.back() == '/') h.pop_back();
  std::lock_guard lock(settings().mutex);
  settings().host = h;
}

std::string Config::apiHost() {
  std::lock_guard lock(settings().mutex);
  return settings().host;
}

std::string Config::apiEndpoint() { return apiHost() + kApiPath; }

void Config::setTimeout(double seconds) {
  std::lock_guard lock(settings().mutex);
  settings().timeout = seconds > 0 ? seconds : kDefaultTimeout;
}

double Config::timeout() {
  std::lock_guard lock(settings().mutex);
  return settings().timeout;
}

void Config::reset() {
  std::lock_guard lock(settings().mutex);
  settings().host = kDefaultApiHost;
  settings().timeout = kDefaultTimeout;
}

std::string Config::platformDisplayName(const std::string& platId) {
  if (platId == "1") return "星辰";
  if (platId == "2") return "云游";
  if (platId == "3") return "掌上";
  return "";
}

std::string Config::platformIconName(const std::string& platId) {
  if (platId == "1" || platId == "2" || platId == "3") return "ktr_plat_" + platId + ".png";
  return "";
}
