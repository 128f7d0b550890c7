#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Opens an official account's web page (only web type 0 exists).
// Plain data: created with std::make_shared, checked only when sent.
class JumpToBizWebviewReq : public BaseReq {
 public:
  int webType = 0;
  std::string tousrname;
  std::string extMsg;
};
