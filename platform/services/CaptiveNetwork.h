#pragma once
// Captive-network information: the Wi-Fi interfaces and the network each has joined, from
// the simulated network. Thread-safe.
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

// The interfaces that can report their network: {"en0"} while the device has one.
std::vector<std::string> CNCopySupportedInterfaces();
// {"SSID": ..., "BSSID": ...} of the interface's current network; absent when it has none.
Value CNCopyCurrentNetworkInfo(const std::string& interfaceName);
