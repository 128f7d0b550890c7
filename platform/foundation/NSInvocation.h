#pragma once
// A message ready to be sent: a target, what to do with it, and the arguments bound in the
// call. The invocation retains neither its target nor its arguments: once the target is gone,
// invoke() does nothing. Main thread only, like the code that builds them.

#include <functional>
#include <memory>

#include "platform/foundation/NSObject.h"

class NSInvocation : public NSObject {
  TOVIRA_CLASS(NSInvocation)
 public:
  // `call` receives the target, alive for the duration of the call.
  static std::shared_ptr<NSInvocation> invocationWithTarget(
      const std::shared_ptr<void>& target, std::function<void(const std::shared_ptr<void>&)> call) {
    auto inv = std::make_shared<NSInvocation>();
    inv->target_ = target;
    inv->call_ = std::move(call);
    return inv;
  }
  std::shared_ptr<void> target() const { return target_.lock(); }
  // Sends the message when the target is still alive; answers whether it did.
  bool invoke() const {
    auto target = target_.lock();
    if (!target || !call_) return false;
    auto call = call_;  // the call may replace this invocation
    call(target);
    return true;
  }

 private:
  std::weak_ptr<void> target_;
  std::function<void(const std::shared_ptr<void>&)> call_;
};
