#pragma once

#include <cstdint>
#include <string>

#include "parley/stats/PLOStatEvent.h"

// A closed page view (type 1): the page, the page closed before it, and how long it was open.
class PLOStatPageView : public PLOStatEvent {
 public:
  uint32_t duration = 0;  // seconds
  std::string page;
  std::string refer;  // "" when there was none; a refer equal to the page is reported as "-"

  int16_t getType() const override { return PLOSTAT_PAGE_VIEW; }
  void encode(Value& dict) const override;
};
