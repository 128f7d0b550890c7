#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Value.h"

// The settings Parley keeps for one registered app. Archivable: encodeWithCoder writes its
// fields into a keyed coder (a dictionary) and initWithCoder reads them back; the coder becomes
// a keyed archive with NSKeyedArchiver. A plain value.
class AppSettingItem {
 public:
  std::string appID;
  std::string openID;
  uint32_t flag = 0;
  bool appAddedByUser = false;

  void encodeWithCoder(Value& coder) const;
  static AppSettingItem initWithCoder(const Value& coder);
};
