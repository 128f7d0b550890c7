#pragma once
// Posting the view system's notifications. The foundation notification centre carries only
// user info, so the sender ("object": the edited field for the text-editing notifications)
// is available to observers through currentObject() while the notification is delivered.
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
