#include "devserver/LoopbackHttp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <system_error>
#include <vector>

namespace loopback {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long the kernel holds a connection that has sent nothing yet; well beyond any client's
// timeout, so that no client that sends at all is turned away.
constexpr int kFirstBytesWaitSeconds = 60;
// How long a kept-alive connection may stay silent before its next request: back-to-back
// requests still share a connection, while an idle one gives its thread back at once.
constexpr milliseconds kNextRequestWait{10};
// How long one write may wait for a client that does not read.
constexpr milliseconds kWriteWait{5000};
// The request line and headers together. A client's are well under 2 KB; without a cap, a client
// could send header lines for as long as the deadline lets it, and each one is kept.
constexpr size_t kMaxHeadBytes = 64u << 10;

// Waits until sock is ready for `events` (or has failed, or was shut down); false on time-out.
bool waitFor(int sock, short events, milliseconds wait) {
  pollfd entry{sock, events, 0};
  const int timeout = static_cast<int>(std::max<milliseconds::rep>(0, wait.count()));
  for (;;) {
    const int n = ::poll(&entry, 1, timeout);
    if (n >= 0) return n > 0;
    if (errno != EINTR) return true;  // let the read or write itself report the failure
  }
}

void describe(const sockaddr_storage& address, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    port = ntohs(v6.sin6_port);
  }
  ip = text;
}

// Content codings that the library inflates into the body on its own, with no bound on the
// result (its body limit counts the bytes as sent).
bool libraryInflates(const std::string& coding) {
  return coding == "gzip" || coding == "deflate" || coding.find("br") != std::string::npos;
}

// The connection threads. The library's own pool has a fixed eight threads, which eight slow
// clients take; here a connection that finds every thread busy gets a new one, up to a cap, and
// threads that have finished wait for the next connection.
class ConnectionThreads final : public httplib::TaskQueue {
 public:
  explicit ConnectionThreads(size_t cap) : cap_(cap) {}
  ~ConnectionThreads() override { shutdown(); }

  void enqueue(std::function<void()> job) override {
    std::unique_lock lock(mutex_);
    jobs_.push_back(std::move(job));
    if (jobs_.size() > idle_ && threads_.size() < cap_) {
      try {
        threads_.emplace_back([this] { work(); });
      } catch (const std::system_error&) {
        // No thread to be had: a busy one takes the job when it is free.
      }
    }
    if (threads_.empty()) {
      // Not even one thread: serve the connection here rather than lose it.
      auto only = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      only();
      return;
    }
    lock.unlock();
    ready_.notify_one();
  }

  void shutdown() override {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    ready_.notify_all();
    for (auto& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

 private:
  void work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      ++idle_;
      ready_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
      --idle_;
      if (jobs_.empty()) return;
      auto job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }

  const size_t cap_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;
  bool stopping_ = false;
};

}  // namespace

// One accepted connection as the library reads and writes it. Reading a request obeys its
// deadline and its byte allowance; a read past either fails, and the connection is then closed.
class Server::Connection final : public httplib::Stream {
 public:
  explicit Connection(socket_t sock) : sock_(sock) {}

  // Waits up to `wait` for the next request's first byte; false when none comes.
  bool awaitRequest(milliseconds wait) {
    if (begin_ < end_) return true;
    return waitFor(sock_, POLLIN, wait);
  }

  void beginRequest(milliseconds deadline) {
    deadline_ = Clock::now() + deadline;
    taken_ = 0;
    allowed_ = kMaxHeadBytes;
  }
  // The head has been read; the body may take `bytes` more.
  void allowBody(uint64_t bytes) {
    const size_t most = std::numeric_limits<size_t>::max() - taken_;
    allowed_ = taken_ + static_cast<size_t>(std::min<uint64_t>(bytes, most));
  }
  // The body is refused unread: the connection ends after the answer.
  void refuseBody() { refused_ = true; }

  // Whether the connection must end after the current request: it could not be read whole, or
  // its body was left unread.
  bool mustClose() const { return failed_ || refused_; }
  bool refused() const { return refused_; }

  // Before closing a connection whose request body was refused: reads and drops what the client
  // still sends, until it closes or the deadline passes, so that closing with unread bytes does
  // not reset the connection and lose the answer on its way.
  void drain() {
    ::shutdown(sock_, SHUT_WR);
    char sink[16384];
    while (waitFor(sock_, POLLIN, remaining())) {
      const ssize_t n = ::recv(sock_, sink, sizeof sink, 0);
      if (n == 0 || (n < 0 && errno != EINTR)) return;
      if (remaining().count() <= 0) return;
    }
  }

  bool is_readable() const override { return begin_ < end_ || waitFor(sock_, POLLIN, remaining()); }
  bool is_writable() const override {
    // Only whether a write can go out. The library's own check also peeks for the client's end
    // of input, so a client that half-closes after a complete request lost its answer.
    return waitFor(sock_, POLLOUT, kWriteWait);
  }

  ssize_t read(char* ptr, size_t size) override {
    if (size == 0) return 0;
    if (failed_ || taken_ >= allowed_) {
      failed_ = true;
      return -1;
    }
    size = std::min(size, allowed_ - taken_);
    if (begin_ == end_) {
      if (!waitFor(sock_, POLLIN, remaining()) || remaining().count() <= 0) {
        failed_ = true;  // the deadline passed: whatever comes later is not read
        return -1;
      }
      const bool direct = size >= sizeof buffer_;
      const ssize_t n = receive(direct ? ptr : buffer_, direct ? size : sizeof buffer_);
      if (n <= 0 || direct) {
        if (n > 0) taken_ += static_cast<size_t>(n);
        return n;
      }
      begin_ = 0;
      end_ = static_cast<size_t>(n);
    }
    const size_t n = std::min(size, end_ - begin_);
    std::memcpy(ptr, buffer_ + begin_, n);
    begin_ += n;
    taken_ += n;
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    for (;;) {
      const ssize_t n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
      if (n >= 0 || errno != EINTR) return n;
    }
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      describe(address, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      describe(address, ip, port);
  }
  socket_t socket() const override { return sock_; }

 private:
  milliseconds remaining() const {
    return std::chrono::duration_cast<milliseconds>(deadline_ - Clock::now());
  }
  ssize_t receive(char* into, size_t size) {
    for (;;) {
      const ssize_t n = ::recv(sock_, into, size, 0);
      if (n >= 0 || errno != EINTR) {
        if (n < 0) failed_ = true;
        return n;
      }
    }
  }

  const socket_t sock_;
  char buffer_[16384];
  size_t begin_ = 0, end_ = 0;
  Clock::time_point deadline_ = Clock::now();
  size_t taken_ = 0, allowed_ = kMaxHeadBytes;
  bool failed_ = false;
  bool refused_ = false;
};

thread_local Server::Connection* Server::reading_ = nullptr;

Server::Server() {
  set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    int wait = kFirstBytesWaitSeconds;
    setsockopt(sock, IPPROTO_TCP, TCP_DEFER_ACCEPT, &wait, sizeof wait);
  });
  // Advertised in replies; the wait for a next request is kNextRequestWait.
  set_keep_alive_timeout(0);
  set_keep_alive_max_count(1000000);
  set_tcp_nodelay(true);
  set_payload_max_length(kMaxBodyBytes);
  new_task_queue = [] { return new ConnectionThreads(kMaxConnectionThreads); };
  set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
    return screenBody(request, response);
  });
}

Server::~Server() = default;

void Server::setRequestDeadline(std::chrono::milliseconds deadline) {
  std::lock_guard lock(mutex_);
  requestDeadline_ = deadline;
}

std::chrono::milliseconds Server::requestDeadline() const {
  std::lock_guard lock(mutex_);
  return requestDeadline_;
}

void Server::closeConnections() {
  std::lock_guard lock(mutex_);
  halting_ = true;
  // A registered socket is still open (its thread unregisters it before closing it), so this
  // cannot reach a descriptor that has been reused for something else.
  for (const socket_t sock : open_) ::shutdown(sock, SHUT_RDWR);
}

void Server::closeCurrentConnection() {
  if (reading_) ::shutdown(reading_->socket(), SHUT_RDWR);
}

bool Server::track(socket_t sock) {
  std::lock_guard lock(mutex_);
  if (halting_) return false;
  open_.insert(sock);
  return true;
}

void Server::untrack(socket_t sock) {
  std::lock_guard lock(mutex_);
  open_.erase(sock);
}

bool Server::process_and_close_socket(socket_t sock) {
  bool ok = false;
  if (track(sock)) {
    Connection connection(sock);
    reading_ = &connection;
    const milliseconds deadline = requestDeadline();
    // The first request's bytes are there already (accepting waits for them), unless the kernel
    // stopped waiting; a later request on a kept-alive connection must follow at once.
    for (bool first = true; svr_sock_ != INVALID_SOCKET; first = false) {
      if (!connection.awaitRequest(first ? deadline : kNextRequestWait)) break;
      connection.beginRequest(deadline);
      bool closed = false;
      ok = process_request(connection, false, closed, nullptr);
      if (!ok || closed || connection.mustClose()) break;
    }
    if (connection.refused()) connection.drain();
    reading_ = nullptr;
    untrack(sock);
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return ok;
}

httplib::Server::HandlerResponse Server::screenBody(const httplib::Request& request,
                                                    httplib::Response& response) {
  Connection* connection = reading_;
  if (!connection) return HandlerResponse::Unhandled;
  if (libraryInflates(request.get_header_value("Content-Encoding"))) {
    connection->refuseBody();
    response.status = 415;
    response.set_header("Connection", "close");
    return HandlerResponse::Handled;
  }
  if (request.has_header("Content-Length") && !request.has_header("Transfer-Encoding")) {
    // A longer one is read only to be dropped (the library answers 413), so no cap beyond its
    // declared length; the deadline bounds the time it takes.
    connection->allowBody(request.get_header_value<uint64_t>("Content-Length"));
  } else {
    // Chunked, or up to the end of the connection: the library keeps every byte, so the limit
    // applies to the bytes as sent, framing included, plus room for the trailing headers.
    connection->allowBody(kMaxBodyBytes + kMaxHeadBytes);
  }
  return HandlerResponse::Unhandled;
}

int run(Server& server, std::thread& thread, const std::string& host, int port) {
  if (thread.joinable()) return 0;
  {
    std::lock_guard lock(server.mutex_);
    server.halting_ = false;
  }
  const int bound =
      port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
  if (bound <= 0) return 0;
  // The library listens with a backlog of 5, and connections that have not sent yet count
  // against it; listening again on the bound socket raises it.
  if (::listen(server.svr_sock_, SOMAXCONN) != 0) {
    ::close(server.svr_sock_.exchange(INVALID_SOCKET));
    return 0;
  }
  auto ended = std::make_shared<std::atomic<bool>>(false);
  thread = std::thread([&server, ended] {
    server.listen_after_bind();
    *ended = true;
  });
  // stop() is a no-op until the listening loop runs, so wait for it (or for its failure).
  while (!server.is_running() && !*ended) std::this_thread::sleep_for(milliseconds(1));
  if (server.is_running()) return bound;
  thread.join();
  return 0;
}

void halt(Server& server, std::thread& thread) {
  if (!thread.joinable()) return;
  server.closeConnections();
  server.stop();
  thread.join();
}

}  // namespace loopback
