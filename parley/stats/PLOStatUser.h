#pragma once

#include <cstdint>
#include <string>

// The statistics module's user record: the one row of the store's user table.
//
// userType: 0 first seen (the record was made and nothing changed since), 1 seen again on a
// later day, plus the bit value 2 once the app version changed (2 or 3). tagTime is when the
// type last changed, or when the record was made (seconds since 1970). A plain value: whoever
// changes one copy writes it back with PLOStatStore::storeUser.
class PLOStatUser {
 public:
  std::string uid;  // the device id (the CommonUDID)
  int32_t userType = 0;
  std::string appVer;  // the app version last seen
  uint32_t tagTime = 0;
};
