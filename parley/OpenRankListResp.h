#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The rank-list reply.
// Plain data: created with std::make_shared.
class OpenRankListResp : public BaseResp {};
