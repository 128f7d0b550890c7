#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Opens an official account's profile.
// Plain data: created with std::make_shared, checked only when sent.
class JumpToBizProfileReq : public BaseReq {
 public:
  std::string username;
  std::string extMsg;
  int profileType = 0;
};
