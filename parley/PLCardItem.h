#pragma once

#include <cstdint>
#include <string>

// One card of a card-package request or reply. In a reply cardState is what
// Parley reported for the card ("is_succ").
class PLCardItem {
 public:
  std::string cardId;
  std::string extMsg;
  uint32_t cardState = 0;
};
