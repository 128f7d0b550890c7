#include "platform/services/CTTelephonyNetworkInfo.h"

#include "platform/services/SimulatedNetwork.h"

std::shared_ptr<CTCarrier> CTTelephonyNetworkInfo::subscriberCellularProvider() const {
  auto info = SimulatedNetwork::shared().carrier();
  if (!info) return nullptr;
  auto carrier = std::make_shared<CTCarrier>();
  carrier->carrierName = info->carrierName;
  carrier->mobileCountryCode = info->mobileCountryCode;
  carrier->mobileNetworkCode = info->mobileNetworkCode;
  return carrier;
}
