#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parley/PLMediaObject.h"

class UIImage;

// The content of a shared message: title, description, thumbnail and one
// media object. Plain data; the limits are checked only when it is packed,
// so setting an over-long title succeeds and only sending fails.
class PLMediaMessage {
 public:
  static std::shared_ptr<PLMediaMessage> message() { return std::make_shared<PLMediaMessage>(); }

  // Sets thumbData to the image as JPEG at quality 0.6. A null image (or one
  // that cannot be encoded) leaves the earlier thumbnail in place.
  void setThumbImage(const std::shared_ptr<UIImage>& image);

  std::string title;
  std::string description;
  std::vector<uint8_t> thumbData;
  std::string mediaTagName;
  std::string messageExt;
  std::string messageAction;
  std::shared_ptr<PLMediaObject> mediaObject;
};
