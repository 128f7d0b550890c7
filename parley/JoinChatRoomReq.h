#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Joins a group chat.
// Plain data: created with std::make_shared, checked only when sent.
class JoinChatRoomReq : public BaseReq {
 public:
  std::string groupId;
  std::string chatRoomNickName;
  std::string extMsg;
};
