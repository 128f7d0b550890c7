#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>

// What the local servers (DevServer, StatServer) share about running an HTTP server on loopback.
//
// These servers serve the simulator and every test, so no client may hold one: not a slow one,
// not a silent one, not one that sends too much. loopback::Server is the HTTP library's server
// with these guarantees:
//
// - A port in use is in use. The library binds with SO_REUSEPORT, so a second server would share
//   a port that is taken; here only SO_REUSEADDR is set (so that a port can be bound again while
//   old connections linger).
// - A client that is slow to start is answered. The listening socket hands a connection over
//   only once its first bytes have arrived (TCP_DEFER_ACCEPT), and its backlog is the system's
//   maximum rather than the library's 5, so any number of silent connections can wait there
//   without pushing out the one that then sends.
// - A slow client holds one connection thread, never the server. Each connection gets a thread
//   of its own (up to kMaxConnectionThreads at once) instead of one of a fixed pool of eight, and
//   a request must arrive whole within the request deadline (kRequestDeadline, counted from its
//   first byte), else its connection is closed without an answer.
// - A body is at most kMaxBodyBytes: a longer declared one is answered 413 without being kept,
//   and a body without a declared length is cut off there.
// - A complete request is answered even when the client has already half-closed its side.
// - Stopping returns at once whatever clients do: halt() shuts every open connection down before
//   it joins the connection threads, and an idle kept-alive connection is closed within
//   milliseconds anyway.
//
// Threads: handlers run on the connection threads. run() and halt() are called by the owner
// (DevServer, StatServer) under its own serialisation; the rest is thread-safe.
namespace loopback {

class Server : public httplib::Server {
 public:
  // The longest body taken. Far above anything the clients send (an API call is a form of a
  // few KB at most, a statistics report a gzip'd batch of some hundred KB), far below a size
  // whose copies would strain a test machine.
  static constexpr size_t kMaxBodyBytes = 8u << 20;
  // How long a request may take to arrive, from its first byte to its last. The clients give
  // up on a call after 10 seconds, so a request still arriving then has nobody waiting for it.
  static constexpr std::chrono::milliseconds kRequestDeadline{10000};
  // Connections served at once; more wait for a thread.
  static constexpr size_t kMaxConnectionThreads = 128;

  Server();
  ~Server() override;

  // Tests shorten the deadline to see it act. Call before run().
  void setRequestDeadline(std::chrono::milliseconds deadline);
  std::chrono::milliseconds requestDeadline() const;

  // Shuts every open connection down and lets no new one be served, so that the connection
  // threads return. Used by halt(); run() lets connections be served again.
  void closeConnections();
  // From a handler: shuts down the connection whose request the calling thread is answering, so
  // that its client sees the connection end without a reply. Does nothing on other threads.
  static void closeCurrentConnection();

 private:
  class Connection;
  friend int run(Server& server, std::thread& thread, const std::string& host, int port);

  // Replaces the library's loop over a connection's requests, so that reading obeys the
  // deadline and the body limit and halting can reach every connection.
  bool process_and_close_socket(socket_t sock) override;
  // Registers an accepted connection; false (and the connection is shut down) when halting.
  bool track(socket_t sock);
  void untrack(socket_t sock);
  // Before a body is read: sets how much of it the connection may read, and refuses bodies that
  // the library would inflate without bound.
  HandlerResponse screenBody(const httplib::Request& request, httplib::Response& response);

  // The connection whose request this thread is reading, for screenBody.
  static thread_local Connection* reading_;

  mutable std::mutex mutex_;
  std::set<socket_t> open_;
  bool halting_ = false;
  std::chrono::milliseconds requestDeadline_ = kRequestDeadline;
};

// Binds host at port (0: a free port chosen by the system) and runs the server's loop on
// `thread`, returning once it answers. Returns the bound port, or 0 when the port cannot be bound
// (taken, say) or the loop does not start.
int run(Server& server, std::thread& thread, const std::string& host, int port);

// Shuts the server's connections down, stops its loop and joins `thread`. Returns promptly
// whatever the clients do, provided the handlers return once their owner marks itself stopping.
// Does nothing when it is not running.
void halt(Server& server, std::thread& thread);

// Starts a local server (DevServer, StatServer) on 127.0.0.1 at its usual port, or at a free one
// when that is in use (by another simulator, say), and then says on `note` which port the server
// named `what` took instead. False when it cannot start at all.
template <class Server>
bool startPreferring(Server& server, int port, std::ostream& note, const char* what) {
  if (server.start("127.0.0.1", port)) return true;
  if (!server.start()) return false;
  note << "port " << port << " is in use; the " << what << " server listens on " << server.baseUrl()
       << "\n";
  return true;
}

}  // namespace loopback
