#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries a web page, shared by its address.
// Plain data: limits are checked only when the message is packed.
class PLWebpageObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLWebpageObject> object() { return std::make_shared<PLWebpageObject>(); }

  std::string webpageUrl;
};
