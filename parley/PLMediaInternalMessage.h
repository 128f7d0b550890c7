#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The flat form of a media message: the message's fields and its media
// object's fields side by side, as they stand in a command dictionary.
class PLMediaInternalMessage {
 public:
  static std::shared_ptr<PLMediaInternalMessage> message() {
    return std::make_shared<PLMediaInternalMessage>();
  }

  std::string title;
  std::string description;
  std::vector<uint8_t> thumbData;
  std::string mediaTagName;
  std::string messageExt;
  std::string messageAction;
  unsigned long objectType = 0;
  std::string mediaUrl;
  std::string mediaLowBandUrl;
  std::string mediaDataUrl;
  std::string mediaLowBandDataUrl;
  std::string extInfo;
  std::string fileExt;
  std::vector<uint8_t> fileData;
};
