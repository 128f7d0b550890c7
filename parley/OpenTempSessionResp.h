#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The temporary-chat reply.
// Plain data: created with std::make_shared.
class OpenTempSessionResp : public BaseResp {};
