#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// Parley's answer to a shared message.
// Plain data: created with std::make_shared.
class SendMessageToPLResp : public BaseResp {
 public:
  std::string lang;
  std::string country;
};
