#pragma once

#include <memory>
#include <string>
#include <vector>

#include "parley/BaseResp.h"
#include "parley/PLCardItem.h"

// The card-package reply, with the state of each card.
// Plain data: created with std::make_shared.
class AddCardToPLCardPackageResp : public BaseResp {
 public:
  std::vector<std::shared_ptr<PLCardItem>> cardAry;
};
