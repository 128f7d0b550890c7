#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries an image, sent as bytes or as an address.
// Plain data: limits are checked only when the message is packed.
class PLImageObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLImageObject> object() { return std::make_shared<PLImageObject>(); }

  std::vector<uint8_t> imageData;
  std::string imageUrl;
};
