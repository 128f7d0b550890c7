#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The create-chat-room reply.
// Plain data: created with std::make_shared.
class CreateChatRoomResp : public BaseResp {
 public:
  std::string extMsg;
};
