#pragma once

#include <string>

#include "parley/PLTypes.h"

// The base of every response between the app and Parley (see PLErrorCode).
// Plain data held in std::shared_ptr, told apart by class (dynamic_cast).
class BaseResp {
 public:
  virtual ~BaseResp() = default;

  int errCode = 0;
  std::string errStr;
  int type = 0;
};
