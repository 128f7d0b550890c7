#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

// The media object of a shared message that carries a piece of music, reached through its
// addresses. Plain data: limits are checked only when the message is packed.
class PLMusicObject : public PLMediaObject {
 public:
  // A new object with every field empty.
  static std::shared_ptr<PLMusicObject> object() { return std::make_shared<PLMusicObject>(); }

  std::string musicUrl;
  std::string musicLowBandUrl;
  std::string musicDataUrl;
  std::string musicLowBandDataUrl;
};
