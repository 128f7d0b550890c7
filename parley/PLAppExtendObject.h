#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries content that only the sending app understands.
// Plain data: limits are checked only when the message is packed.
class PLAppExtendObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLAppExtendObject> object() {
    return std::make_shared<PLAppExtendObject>();
  }

  std::string url;
  std::string extInfo;
  std::vector<uint8_t> fileData;
};
