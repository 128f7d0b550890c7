#include "core/StrHelper.h"

#include "platform/foundation/NSString.h"

std::string StrHelper::getjiamiphonenum(const std::string& text) {
  // The substring helpers clamp to the text, so short names need no special case.
  return NSString::substringToIndex(text, 3) + "****" + NSString::substringFromIndex(text, 7);
}
