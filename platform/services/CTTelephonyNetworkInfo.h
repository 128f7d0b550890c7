#pragma once
// The cellular carrier of the simulated device's SIM (SimulatedNetwork). Thread-safe.
#include <memory>
#include <string>

class CTCarrier {
 public:
  std::string carrierName;
  std::string mobileCountryCode;
  std::string mobileNetworkCode;
};

class CTTelephonyNetworkInfo {
 public:
  // nullptr without a SIM.
  std::shared_ptr<CTCarrier> subscriberCellularProvider() const;
};
