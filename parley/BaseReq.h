#pragma once

#include <string>

#include "parley/PLTypes.h"

// The base of every request between the app and Parley. Requests are plain
// data held in std::shared_ptr and told apart by class (dynamic_cast); an
// empty string means "not set". Limits are checked when a request is sent.
class BaseReq {
 public:
  virtual ~BaseReq() = default;

  int type = 0;
  std::string openID;
};
