#include "platform/services/CaptiveNetwork.h"

#include "platform/services/SimulatedNetwork.h"

std::vector<std::string> CNCopySupportedInterfaces() {
  if (SimulatedNetwork::shared().interfaceIndex("en0") == 0) return {};
  return {"en0"};
}

Value CNCopyCurrentNetworkInfo(const std::string& interfaceName) {
  if (interfaceName != "en0") return Value();
  auto network = SimulatedNetwork::shared().currentWiFiNetwork();
  if (!network) return Value();
  return Value::dict({{"SSID", network->first}, {"BSSID", network->second}});
}
