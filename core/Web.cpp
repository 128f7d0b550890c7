#include "core/Web.h"

#include "core/Config.h"
#include "core/CurlHandle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIAlertView.h"

namespace {

std::optional<std::string> post(const std::string& url, const std::string& text,
                                CurlHandle::Connection connection) {
  // One handle per thread, so that consecutive calls reuse the open connection.
  thread_local CurlHandle curl;
  auto result = curl.post(url, "data=" + text, Config::timeout(), connection, Web::kMaxReplyBytes);
  const bool success = result.status >= 200 && result.status < 300;
  if (!result.transferred || !success || result.body.empty()) {
    if (!result.transferred) {
      NSLog("%@", result.error);
    } else if (!success) {
      NSLog("%@", "HTTP status " + std::to_string(result.status) + " from " + url);
    } else {
      NSLog("%@", "empty reply from " + url);
    }
    Web::showNetworkAlert();
    return std::nullopt;
  }
  return std::move(result.body);
}

}  // namespace

void Web::showNetworkAlert() {
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

std::optional<std::string> Web::httpRequest(const std::string& url, const std::string& text) {
  return post(url, text, CurlHandle::Connection::Reuse);
}

std::optional<std::string> Web::httpRequestOnce(const std::string& url, const std::string& text) {
  return post(url, text, CurlHandle::Connection::Fresh);
}
