#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries a file with its extension.
// Plain data: limits are checked only when the message is packed.
class PLFileObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLFileObject> object() { return std::make_shared<PLFileObject>(); }

  std::string fileExtension;
  std::vector<uint8_t> fileData;
};
