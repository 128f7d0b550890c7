#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries an emoticon image.
// Plain data: limits are checked only when the message is packed.
class PLEmoticonObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLEmoticonObject> object() { return std::make_shared<PLEmoticonObject>(); }

  std::vector<uint8_t> emoticonData;
};
