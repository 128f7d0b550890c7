#pragma once

#include <memory>
#include <string>

#include "parley/BaseReq.h"

// Opens the sport rank list.
// Plain data: created with std::make_shared, checked only when sent.
class OpenRankListReq : public BaseReq {};
