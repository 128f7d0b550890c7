#pragma once

#include <cstddef>
#include <optional>
#include <string>

// One libcurl easy handle, cleaned up when the object goes. A handle keeps its connections open
// between transfers (HTTP keep-alive), so reusing one object for a series of requests saves a TCP
// handshake each. A handle belongs to one thread at a time.
class CurlHandle {
 public:
  // Largest body a transfer accepts unless the caller says otherwise. Replies of the API are a
  // few kilobytes and images a few hundred; a body beyond this is a broken or hostile server.
  static constexpr size_t kDefaultMaxBody = 16u << 20;

  CurlHandle();
  ~CurlHandle();
  CurlHandle(const CurlHandle&) = delete;
  CurlHandle& operator=(const CurlHandle&) = delete;

  struct Result {
    bool transferred = false;  // the server answered with a complete response
    long status = 0;           // HTTP status when transferred
    std::string body;
    std::string error;  // libcurl's explanation when not transferred
  };

  // How a request may use the handle's open connections.
  enum class Connection {
    // Reuse a kept-alive connection when there is one. libcurl sends the request again on a
    // new connection when the reused one turns out to be dead, so the server may see it twice.
    Reuse,
    // Open a new connection for this request alone: libcurl never repeats a request that went
    // out on a fresh connection, so the server sees it at most once.
    Fresh,
  };

  // POSTs body as application/x-www-form-urlencoded; timeoutSeconds bounds the whole transfer.
  // A body longer than maxBody aborts the transfer, which then counts as not transferred.
  Result post(const std::string& url, const std::string& body, double timeoutSeconds,
              Connection connection = Connection::Reuse, size_t maxBody = kDefaultMaxBody);
  // GETs url.
  Result get(const std::string& url, double timeoutSeconds, size_t maxBody = kDefaultMaxBody);

 private:
  Result perform(const std::string& url, const std::string* body, double timeoutSeconds,
                 Connection connection, size_t maxBody);
  void* curl_ = nullptr;
  void* headers_ = nullptr;
};
