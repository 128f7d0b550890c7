#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The join-chat-room reply.
// Plain data: created with std::make_shared.
class JoinChatRoomResp : public BaseResp {
 public:
  std::string extMsg;
};
