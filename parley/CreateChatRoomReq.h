#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Creates a group chat.
// Plain data: created with std::make_shared, checked only when sent.
class CreateChatRoomReq : public BaseReq {
 public:
  std::string groupId;
  std::string chatRoomName;
  std::string chatRoomNickName;
  std::string extMsg;
};
