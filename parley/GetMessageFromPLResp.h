#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"
#include "parley/PLMediaMessage.h"

// The app's answer when Parley asked it for a message: a text (bText true) or a media message.
// Plain data: created with std::make_shared.
class GetMessageFromPLResp : public BaseResp {
 public:
  std::string text;
  std::shared_ptr<PLMediaMessage> message;
  bool bText = false;
};
