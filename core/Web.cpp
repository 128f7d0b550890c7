#include "core/Web.h"

#include "core/Config.h"
#include "core/CurlHandle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIAlertView.h"

namespace {

void showNetworkAlert() {
  auto show = [] {
    auto alert = UIAlertView::create("获取网络数据失败", "获取网络数据失败，请检查您的手机的网络。",
                                     {}, "确定");
    if (alert) alert->show();
  };
  if (RunLoop::main().isMainThread()) {
    show();
  } else {
    dispatch_async_main(show);
  }
}

}  // namespace

std::optional<std::string> Web::httpRequest(const std::string& url, const std::string& text) {
  // One handle per thread, so that consecutive calls reuse the open connection.
  thread_local CurlHandle curl;
  auto result = curl.post(url, "data=" + text, Config::timeout());
  if (!result.transferred || result.body.empty()) {
    NSLog("%@", result.transferred ? std::string("empty reply from ") + url : result.error);
    showNetworkAlert();
    return std::nullopt;
  }
  return std::move(result.body);
}
