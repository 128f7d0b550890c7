#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"
#include "parley/PLMediaMessage.h"

// Parley launches the app with a message.
// Plain data: created with std::make_shared, checked only when sent.
class LaunchFromPLReq : public BaseReq {
 public:
  std::shared_ptr<PLMediaMessage> message;
  std::string lang;
  std::string country;
};
