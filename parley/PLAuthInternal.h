#pragma once

#include <string>

// The scope and state of a login request as read back from a command
// dictionary.
class PLAuthInternal {
 public:
  std::string scope;
  std::string state;
};
