#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The payment reply.
// Plain data: created with std::make_shared.
class PayResp : public BaseResp {
 public:
  std::string returnKey;
};
