#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The login reply: errCode 0 with a code, -1 without one, -2 cancelled, -4 denied.
// Plain data: created with std::make_shared.
class SendAuthResp : public BaseResp {
 public:
  std::string code;
  std::string state;
  std::string lang;
  std::string country;
};
