#include "platform/uikit/UIKitNotification.h"

#include <vector>

#include "platform/foundation/NSNotificationCenter.h"

namespace {
thread_local std::vector<std::shared_ptr<NSObject>> deliveryStack;
}

void UIKitNotification::post(const std::string& name, const std::shared_ptr<NSObject>& object,
                             const Value& userInfo) {
  deliveryStack.push_back(object);
  struct Pop {
    ~Pop() { deliveryStack.pop_back(); }
  } pop;
  NSNotificationCenter::defaultCenter().postNotification(name, object, userInfo);
}

std::shared_ptr<NSObject> UIKitNotification::currentObject() {
  return deliveryStack.empty() ? nullptr : deliveryStack.back();
}
