#pragma once

#include <optional>
#include <string>

// One libcurl easy handle, cleaned up when the object goes. A handle keeps its connections open
// between transfers (HTTP keep-alive), so reusing one object for a series of requests saves a TCP
// handshake each. A handle belongs to one thread at a time.
class CurlHandle {
 public:
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

  // POSTs body as application/x-www-form-urlencoded; timeoutSeconds bounds the whole transfer.
  Result post(const std::string& url, const std::string& body, double timeoutSeconds);
  // GETs url.
  Result get(const std::string& url, double timeoutSeconds);

 private:
  Result perform(const std::string& url, const std::string* body, double timeoutSeconds);
  void* curl_ = nullptr;
  void* headers_ = nullptr;
};
