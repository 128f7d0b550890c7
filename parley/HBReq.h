#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Asks Parley to hand out a red packet.
// Plain data: created with std::make_shared, checked only when sent.
class HBReq : public BaseReq {
 public:
  std::string nonceStr;
  uint32_t timeStamp = 0;
  std::string package;
  std::string sign;
};
