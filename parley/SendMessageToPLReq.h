#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"
#include "parley/PLMediaMessage.h"

// Shares a text (bText true) or a media message (bText false) to a chat (scene 0) or the timeline
// (scene 1). Plain data: created with std::make_shared, checked only when sent.
class SendMessageToPLReq : public BaseReq {
 public:
  std::string text;
  std::shared_ptr<PLMediaMessage> message;
  bool bText = false;
  int scene = PLSceneChat;
};
