#pragma once

#include <memory>
#include <string>

#include "parley/BaseResp.h"

// The app's answer after showing a message from Parley.
// Plain data: created with std::make_shared.
class ShowMessageFromPLResp : public BaseResp {};
