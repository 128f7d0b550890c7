#include "platform/uikit/NSIndexPath.h"

std::string NSIndexPath::description() const {
  return "[" + std::to_string(section) + "," + std::to_string(row) + "]";
}
