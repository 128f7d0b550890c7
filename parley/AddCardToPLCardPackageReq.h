#pragma once

#include <memory>
#include <string>
#include <vector>

#include "parley/BaseReq.h"
#include "parley/PLCardItem.h"

// Adds 1 to 40 cards to the card package.
// Plain data: created with std::make_shared, checked only when sent.
class AddCardToPLCardPackageReq : public BaseReq {
 public:
  std::vector<std::shared_ptr<PLCardItem>> cardAry;
};
