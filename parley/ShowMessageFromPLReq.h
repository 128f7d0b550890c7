#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"
#include "parley/PLMediaMessage.h"

// Parley asks the app to show a message that it carried.
// Plain data: created with std::make_shared, checked only when sent.
class ShowMessageFromPLReq : public BaseReq {
 public:
  std::shared_ptr<PLMediaMessage> message;
  std::string lang;
  std::string country;
};
