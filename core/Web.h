#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The transport of every server call: a synchronous HTTP POST of one form field.
class Web {
 public:
  // Largest reply body accepted. Replies of this API are a few kilobytes (the longest, a page of
  // the game list, stays under 100 KB); anything near this limit is a broken or hostile server,
  // and reading it on would only exhaust memory.
  static constexpr size_t kMaxReplyBytes = 4u << 20;

  // Posts "data=" + text (UTF-8, as it is: the text is already form-safe) to url and blocks the
  // calling thread until the reply has come or Config::timeout() has passed. Returns the reply
  // body. When no usable data came (no connection, timeout, an HTTP status other than 2xx, an
  // empty body, a body longer than kMaxReplyBytes) it shows the network alert (showNetworkAlert)
  // and returns nullopt.
  //
  // Any thread. Each thread keeps its own connection to the server open between calls.
  static std::optional<std::string> httpRequest(const std::string& url, const std::string& text);
  // The same, for requests that must reach the server at most once (calls that move money or
  // goods): the request goes out on a connection of its own, so that the transport can never
  // repeat it when a kept-alive connection turns out to be closed. A connection that dies before
  // the reply counts as no data.
  static std::optional<std::string> httpRequestOnce(const std::string& url,
                                                    const std::string& text);

  // The alert "获取网络数据失败" / "获取网络数据失败，请检查您的手机的网络。" / "确定", shown on
  // the main thread: at once when called there, else dispatched to the main queue. Any thread.
  static void showNetworkAlert();
};
