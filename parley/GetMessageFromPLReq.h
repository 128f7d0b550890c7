#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Parley asks the app for a message to send.
// Plain data: created with std::make_shared, checked only when sent.
class GetMessageFromPLReq : public BaseReq {
 public:
  std::string lang;
  std::string country;
};
