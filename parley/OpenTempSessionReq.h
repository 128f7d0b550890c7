#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Opens a temporary chat with a user.
// Plain data: created with std::make_shared, checked only when sent.
class OpenTempSessionReq : public BaseReq {
 public:
  std::string username;
  std::string sessionFrom;
};
