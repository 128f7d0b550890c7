#pragma once

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIPasteboard.h"

// The shared device identifier kept by apps together: each app keeps its copy in its user
// defaults ("CommonUDID") and in one of 100 shared slot pasteboards ("org.CommonUDID.slot.N"),
// so that apps installed later adopt the identifier of those already there.
//
// Class methods. The value is computed once per process and cached (under a lock), so any
// thread may ask.
class PLOStatCommonUDID {
 public:
  struct Error {
    long code = 0;  // 0 retrieved, 1 opted out, 2 copies disagree
    std::string domain = "org.CommonUDID";
    std::string description;
  };

  static std::string value();
  static std::string valueWithError(Error* error);
  static void setOptOut(bool optOut);
  // Tests: forgets the cached value, as a new process would.
  static void resetForTesting();

  static std::string _generateFreshCommonUDID();
  static Value _getDictFromPasteboard(const std::shared_ptr<UIPasteboard>& pasteboard);
  static void _setDict(const Value& dict, const std::shared_ptr<UIPasteboard>& pasteboard);
};
