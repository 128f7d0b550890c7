#pragma once
// What the local servers' tests share: a raw loopback client, the body of a signed API call, and
// gzip. Tests only.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <zlib.h>

#include <string>

#include "core/Config.h"
#include "core/EncDec.h"

namespace devserver_test {

// A connection to 127.0.0.1:port made by hand, so that a test decides which bytes go out and
// when. Every receive gives up after 30 seconds, so a server that never answers fails the test
// instead of hanging it.
class RawClient {
 public:
  explicit RawClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    timeval limit{30, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { close(fd_); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool connected() const { return connected_; }
  bool send(const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
      const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<size_t>(n);
    }
    return true;
  }
  void halfClose() { shutdown(fd_, SHUT_WR); }
  // Sends a POST that closes the connection and reads the whole reply ("" when it cannot send).
  std::string post(const std::string& path, const std::string& body) {
    const std::string request =
        "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
        "Connection: close\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return send(request) ? reply() : "";
  }
  // Everything until the server closes the connection (or the receive limit passes).
  std::string reply() {
    std::string reply;
    char buffer[4096];
    for (ssize_t n; (n = recv(fd_, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, n);
    return reply;
  }

 private:
  int fd_;
  bool connected_ = false;
};

// The "data" form of an API call with no keys but "api", signed and enciphered as the app does.
inline std::string apiBody(const std::string& api) {
  const std::string params = "api=" + api;
  return "data=" +
         *EncDec::encryptUseDES(params + "&sign=" + EncDec::md5(params + Config::kSignKey));
}

// A gzip stream of `text`.
inline std::string gzip(const std::string& text, int level = Z_DEFAULT_COMPRESSION) {
  z_stream zs{};
  deflateInit2(&zs, level, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, text.size()) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  zs.avail_in = static_cast<uInt>(text.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

}  // namespace devserver_test
