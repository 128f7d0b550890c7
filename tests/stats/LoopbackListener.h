#pragma once

// A TCP socket listening on 127.0.0.1 at a free port, for the speed probes to connect to, and
// for replies that the statistics server cannot script. Connections are accepted by the
// kernel's backlog; nothing is read or written unless a test does so on fd().

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class LoopbackListener {
 public:
  LoopbackListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 16) != 0)
      return;
    socklen_t length = sizeof address;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~LoopbackListener() {
    if (fd_ >= 0) ::close(fd_);
  }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int port() const { return port_; }
  int fd() const { return fd_; }

  // A port on which nothing listens: bound, then closed again.
  static int closedPort() {
    LoopbackListener probe;
    return probe.port();
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};
