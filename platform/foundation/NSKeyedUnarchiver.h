#pragma once
// Reads keyed archives (see NSKeyedArchiver.h). Besides what the archiver writes, it reads
// NSString/NSData/NSDate objects and sets; an object of any other class reads as a
// dictionary of its fields with its class name under "$classname". Thread-safe.
#include <optional>

#include "platform/foundation/Value.h"

class NSKeyedUnarchiver {
 public:
  // nullopt when the bytes are not a keyed archive or its references are broken or
  // circular: the platform's "cannot be unarchived".
  static std::optional<Value> unarchiveObjectWithData(const Value::Data& data);
};
