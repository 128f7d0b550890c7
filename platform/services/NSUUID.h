#pragma once
// Random (version 4) UUIDs as upper-case text "XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX".
// Thread-safe.
#include <string>

namespace NSUUID {
std::string UUIDString();
}
