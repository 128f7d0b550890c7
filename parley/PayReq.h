#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Asks Parley to pay a prepared order.
// Plain data: created with std::make_shared, checked only when sent.
class PayReq : public BaseReq {
 public:
  std::string partnerId;
  std::string prepayId;
  std::string nonceStr;
  uint32_t timeStamp = 0;
  std::string package;
  std::string sign;
};
