#pragma once

#include <optional>
#include <string>

// The transport of every server call: a synchronous HTTP POST of one form field.
class Web {
 public:
  // Posts "data=" + text (UTF-8, as it is: the text is already form-safe) to url and blocks the
  // calling thread until the reply has come or Config::timeout() has passed. Returns the reply
  // body. When no data came (no connection, timeout, empty body) it shows the alert
  // "获取网络数据失败" / "获取网络数据失败，请检查您的手机的网络。" / "确定" on the main thread —
  // at once when called there, else dispatched to the main queue — and returns nullopt.
  //
  // Any thread. Each thread keeps its own connection to the server open between calls.
  static std::optional<std::string> httpRequest(const std::string& url, const std::string& text);
};
