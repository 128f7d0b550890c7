#pragma once

#include <ostream>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

// What the local servers (DevServer, StatServer) share about running an HTTP server on loopback.
//
// The HTTP library's defaults do not suit a test server. It binds with SO_REUSEPORT, so a second
// server would share a port that is taken instead of being refused; here a port in use is in use
// (only SO_REUSEADDR is set, so that a port can be bound again while old connections linger).
// And its keep-alive wait, which also bounds the wait for a connection's first request, would
// either drop a client that is slow to send (a short wait) or keep idle connections, and so
// stop(), waiting (a long one). Here the listening socket hands a connection over only once its
// first bytes have arrived (TCP_DEFER_ACCEPT), so a client is answered however long it takes to
// send, while an idle kept-alive connection is closed within milliseconds and stopping never
// waits for it.
namespace loopback {

// Applies the settings above. Call before binding.
void configure(httplib::Server& server);

// Binds host at port (0: a free port chosen by the system) and runs the server's loop on
// `thread`, returning once it answers. Returns the bound port, or 0 when the port cannot be bound
// (taken, say) or the loop does not start.
int run(httplib::Server& server, std::thread& thread, const std::string& host, int port);

// Stops the server's loop and joins `thread`. Does nothing when it is not running.
void halt(httplib::Server& server, std::thread& thread);

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
