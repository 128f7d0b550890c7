#include "devserver/LoopbackHttp.h"

#include <httplib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <memory>

namespace loopback {

namespace {

// How long the kernel holds a connection that has sent nothing yet; well beyond any client's
// timeout, so that no client that sends at all is turned away.
constexpr int kFirstBytesWaitSeconds = 60;

}  // namespace

void configure(httplib::Server& server) {
  server.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    int wait = kFirstBytesWaitSeconds;
    setsockopt(sock, IPPROTO_TCP, TCP_DEFER_ACCEPT, &wait, sizeof wait);
  });
  // The wait for the next request on a connection: back-to-back requests still share one.
  server.set_keep_alive_timeout(0);
  server.set_keep_alive_max_count(1000000);
  server.set_tcp_nodelay(true);
}

int run(httplib::Server& server, std::thread& thread, const std::string& host, int port) {
  if (thread.joinable()) return 0;
  const int bound =
      port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
  if (bound <= 0) return 0;
  auto ended = std::make_shared<std::atomic<bool>>(false);
  thread = std::thread([&server, ended] {
    server.listen_after_bind();
    *ended = true;
  });
  // stop() is a no-op until the listening loop runs, so wait for it (or for its failure).
  while (!server.is_running() && !*ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (server.is_running()) return bound;
  thread.join();
  return 0;
}

void halt(httplib::Server& server, std::thread& thread) {
  if (!thread.joinable()) return;
  server.stop();
  thread.join();
}

}  // namespace loopback
