#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The web-page reply.
// Plain data: created with std::make_shared.
class OpenWebviewResp : public BaseResp {};
