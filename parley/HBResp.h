#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The red-packet reply.
// Plain data: created with std::make_shared.
class HBResp : public BaseResp {};
