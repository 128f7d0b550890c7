#pragma once

#include <memory>

class BaseReq;
class BaseResp;

// Adopted by the object that receives what Parley sends to the app. Both
// operations are optional (empty by default) and run on the main thread,
// inside PLApi::handleOpenURL or the web login's cancel.
class PLApiDelegate {
 public:
  virtual ~PLApiDelegate() = default;
  // A request that Parley sends to the app.
  virtual void onReq(const std::shared_ptr<BaseReq>&) {}
  // Parley's answer to a request of the app.
  virtual void onResp(const std::shared_ptr<BaseResp>&) {}
};
