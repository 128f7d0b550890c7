#pragma once
// Posting the view system's notifications with their sender ("object": the edited field for
// the text-editing notifications). Observers registered with a sender filter see only their
// sender's; the sender is also available through currentObject() while the notification is
// delivered, for observers that take only the user info.
// Posted synchronously on the calling thread (the main thread for everything here).

#include <memory>
#include <string>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/Value.h"

class UIKitNotification {
 public:
  static void post(const std::string& name, const std::shared_ptr<NSObject>& object,
                   const Value& userInfo = {});
  // The object of the notification being delivered on this thread (nullptr outside one).
  static std::shared_ptr<NSObject> currentObject();
};
