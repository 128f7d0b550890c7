#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries a video, reached through its addresses.
// Plain data: limits are checked only when the message is packed.
class PLVideoObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLVideoObject> object() { return std::make_shared<PLVideoObject>(); }

  std::string videoUrl;
  std::string videoLowBandUrl;
};
