#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Asks for a login; scope is required, state comes back unchanged in the reply.
// Plain data: created with std::make_shared, checked only when sent.
class SendAuthReq : public BaseReq {
 public:
  std::string scope;
  std::string state;
};
