#include "platform/services/SimulatedNetwork.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "platform/foundation/NSString.h"

namespace {
constexpr MacAddress kDefaultMac{0x02, 0x00, 0x00, 0x3A, 0x5C, 0x71};
const char* const kWiFiAddress = "192.168.1.23";
const char* const kCellularAddress = "10.64.12.7";

bool isIPv4(const std::string& text) {
  in_addr addr{};
  return inet_pton(AF_INET, text.c_str(), &addr) == 1;
}

// Asks the host's resolver on a thread of its own, so that a slow answer can be abandoned:
// the thread keeps the shared result alive and ends by itself whenever the answer comes.
std::optional<std::vector<std::string>> systemResolve(const std::string& host, double timeout) {
  auto result = std::make_shared<std::promise<std::optional<std::vector<std::string>>>>();
  auto future = result->get_future();
  std::thread([host, result] {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::optional<std::vector<std::string>> out;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0) {
      std::vector<std::string> addresses;
      for (addrinfo* a = found; a; a = a->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        auto* sin = reinterpret_cast<sockaddr_in*>(a->ai_addr);
        if (inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text)) addresses.push_back(text);
      }
      freeaddrinfo(found);
      if (!addresses.empty()) out = addresses;
    }
    result->set_value(out);
  }).detach();
  if (future.wait_for(std::chrono::duration<double>(timeout)) != std::future_status::ready)
    return std::nullopt;
  return future.get();
}
}  // namespace

SimulatedNetwork::SimulatedNetwork() { reset(); }

SimulatedNetwork& SimulatedNetwork::shared() {
  static SimulatedNetwork* network = new SimulatedNetwork();  // lives for the whole process
  return *network;
}

NetworkKind SimulatedNetwork::kind() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return kind_;
}

void SimulatedNetwork::setKind(NetworkKind kind) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (kind_ == kind) return;
    kind_ = kind;
  }
  notify();
}

void SimulatedNetwork::setFlagsOverride(std::optional<uint32_t> flags) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    flagsOverride_ = flags;
  }
  notify();
}

std::optional<uint32_t> SimulatedNetwork::flagsOverride() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return flagsOverride_;
}

std::optional<CarrierInfo> SimulatedNetwork::carrier() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return carrier_;
}

void SimulatedNetwork::setCarrier(std::optional<CarrierInfo> carrier) {
  std::lock_guard<std::mutex> lock(mutex_);
  carrier_ = std::move(carrier);
}

void SimulatedNetwork::setWiFiNetwork(const std::string& ssid, const std::string& bssid) {
  std::lock_guard<std::mutex> lock(mutex_);
  ssid_ = ssid;
  bssid_ = bssid;
}

std::optional<std::pair<std::string, std::string>> SimulatedNetwork::currentWiFiNetwork() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (kind_ != NetworkKind::WiFi || !hasWiFiInterface_ || ssid_.empty()) return std::nullopt;
  return std::make_pair(ssid_, bssid_);
}

void SimulatedNetwork::setHasWiFiInterface(bool present) {
  std::lock_guard<std::mutex> lock(mutex_);
  hasWiFiInterface_ = present;
}

void SimulatedNetwork::setMacAddress(const MacAddress& mac) {
  std::lock_guard<std::mutex> lock(mutex_);
  mac_ = mac;
}

std::vector<InterfaceAddress> SimulatedNetwork::interfaces() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<InterfaceAddress> out;
  out.push_back({"lo0", true, "127.0.0.1", true});
  if (hasWiFiInterface_) {
    out.push_back({"en0", false,
                   NSString::stringWithFormat("%02X:%02X:%02X:%02X:%02X:%02X", mac_[0], mac_[1],
                                              mac_[2], mac_[3], mac_[4], mac_[5]),
                   false});
    if (kind_ == NetworkKind::WiFi) out.push_back({"en0", true, kWiFiAddress, false});
  }
  if (kind_ == NetworkKind::Cellular) out.push_back({"pdp_ip0", true, kCellularAddress, false});
  return out;
}

// Interface indexes as the device numbers them: lo0 1, en0 2, pdp_ip0 3.
unsigned SimulatedNetwork::interfaceIndex(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (name == "lo0") return 1;
  if (name == "en0" && hasWiFiInterface_) return 2;
  if (name == "pdp_ip0") return 3;
  return 0;
}

std::optional<MacAddress> SimulatedNetwork::linkAddress(unsigned index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index == 2 && hasWiFiInterface_) return mac_;
  return std::nullopt;
}

void SimulatedNetwork::setHostAddress(const std::string& host, const std::string& ipv4,
                                      double delaySeconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  hosts_[NSString::lowercaseString(host)] = Host{ipv4, delaySeconds};
}

void SimulatedNetwork::setSystemResolver(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  systemResolver_ = on;
}

std::optional<std::vector<std::string>> SimulatedNetwork::resolveIPv4(const std::string& host,
                                                                      double timeoutSeconds) const {
  if (host.empty()) return std::nullopt;
  if (isIPv4(host)) return std::vector<std::string>{host};
  std::string name = NSString::lowercaseString(host);
  bool system = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = hosts_.find(name);
    if (it != hosts_.end()) {
      if (it->second.delay > timeoutSeconds) return std::nullopt;
      return std::vector<std::string>{it->second.address};
    }
    system = systemResolver_;
  }
  if (name == "localhost") return std::vector<std::string>{"127.0.0.1"};
  if (!system) return std::nullopt;
  return systemResolve(host, timeoutSeconds);
}

SimulatedNetwork::Token SimulatedNetwork::addObserver(Observer fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  Token token = nextToken_++;
  observers_[token] = std::move(fn);
  return token;
}

void SimulatedNetwork::removeObserver(Token token) {
  Observer dropped;  // released after the lock
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = observers_.find(token);
  if (it == observers_.end()) return;
  dropped = std::move(it->second);
  observers_.erase(it);
}

void SimulatedNetwork::notify() {
  std::vector<Observer> observers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [token, fn] : observers_) observers.push_back(fn);
  }
  for (auto& fn : observers)
    if (fn) fn();
}

void SimulatedNetwork::reset() {
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    changed = kind_ != NetworkKind::WiFi || flagsOverride_.has_value();
    kind_ = NetworkKind::WiFi;
    flagsOverride_.reset();
    carrier_ = CarrierInfo{"Tovira Mobile", "001", "01"};
    ssid_ = "ToviraNet";
    bssid_ = "02:00:00:00:00:01";
    hasWiFiInterface_ = true;
    mac_ = kDefaultMac;
    hosts_.clear();
    systemResolver_ = false;
  }
  if (changed) notify();
}
