#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Opens a web page inside Parley.
// Plain data: created with std::make_shared, checked only when sent.
class OpenWebviewReq : public BaseReq {
 public:
  std::string url;
};
