#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/foundation/Value.h"

namespace loopback {
class Server;
}

// One request as the server understood it: the deciphered, signature-checked parameter string.
struct DevRequest {
  std::string api;
  // Keys and percent-decoded values in the order they were sent; "sign" is not among them.
  std::vector<std::pair<std::string, std::string>> params;
  // The parameter string exactly as deciphered, before "&sign=" (escapes still in place).
  std::string raw;
  // The client's port of the connection the request came on: requests that share a kept-alive
  // connection share it.
  int clientPort = 0;

  bool has(const std::string& key) const;
  std::string value(const std::string& key) const;  // "" when the key was not sent
  std::vector<std::string> keys() const;            // in the order sent
};

// A local stand-in of the API server on loopback, for tests, the benchmark and the simulator.
//
// It speaks the client's wire protocol: a POST to Config::kApiPath whose form field "data" holds
// the Base64 of the DES-enciphered parameter string with "&sign=" and the MD5 of the string plus
// the signing key. It deciphers the field, checks the signature, records the request and answers
// the reply scripted for its "api". A bad signature is answered {"state":"error","msg":"签名错误"},
// undecipherable data {"state":"error","msg":"数据错误"} (neither is recorded; see
// rejectedCount()), and an api with no scripted reply {"state":"error","msg":"接口不存在"}.
//
// Every reply body may contain "${server}", replaced by baseUrl() when it is sent, so that scripted
// replies can link to files that this server serves (serveFiles).
//
// Threads: the server answers on its own threads. Every method is thread-safe. The destructor
// stops the server; requests still held (delayed or unanswered) are released at once.
class DevServer {
 public:
  DevServer();
  ~DevServer();
  DevServer(const DevServer&) = delete;
  DevServer& operator=(const DevServer&) = delete;

  // Binds host at the given port (0: a free port chosen by the system) and starts answering.
  // Returns false when the port cannot be bound or the server is already running.
  bool start(const std::string& host = "127.0.0.1", int port = 0);
  // Stops answering and releases every held request. Idempotent.
  void stop();
  bool isRunning() const;
  int port() const;              // 0 before start
  std::string baseUrl() const;   // "http://127.0.0.1:PORT"
  std::string endpoint() const;  // baseUrl() + Config::kApiPath

  // Scripted replies. A standing reply answers every request of its api until it is replaced; a
  // queued reply (…Once) answers the next request of its api, ahead of the standing one. A delay
  // holds the answer that many seconds (real time).
  void reply(const std::string& api, const std::string& jsonText, double delaySeconds = 0);
  void reply(const std::string& api, const char* jsonText, double delaySeconds = 0);
  void reply(const std::string& api, const Value& value, double delaySeconds = 0);
  void replyOnce(const std::string& api, const std::string& jsonText, double delaySeconds = 0);
  // Any body, sent as it is (e.g. text that is not JSON).
  void replyRaw(const std::string& api, const std::string& body, double delaySeconds = 0);
  // Any body with an HTTP status of its own (such as 500 or 404).
  void replyWithStatus(const std::string& api, int status, const std::string& body);
  // A body without end: the same text over and over, until the client goes away or the server
  // stops.
  void replyEndless(const std::string& api, const std::string& chunk = "{\"state\":\"ok\",");
  // No answer at all: the request is held until the client gives up (or the server stops, or a
  // minute passes), so the client sees a timeout.
  void replyNothing(const std::string& api);
  // The connection is closed once the request has been read and recorded, without any answer:
  // a server that went away in the middle of a call.
  void replyCloseConnection(const std::string& api);
  void clearReplies();
  // Loads every "<api>.json" file of a folder as the standing reply of <api>. Returns false when
  // the folder cannot be read or a file is not valid JSON (the other files still load). A file may
  // make its reply depend on the request:
  //   {"$when": {"username": "demo", "password": "demo123"}, "$then": {…}, "$else": {…}}
  // answers "$then" when every listed key was sent with that value, else "$else". "$else" may
  // itself be such a form, so that one file can answer several pages of a list.
  bool loadReplies(const std::string& folder);
  // The demo: loadReplies(folder) and serveFiles("/files", folder + "/files").
  bool loadDemo(const std::string& folder);

  // Serves the files of a folder with GET under a URL prefix such as "/files". Call it before
  // start() or while no request is in flight.
  bool serveFiles(const std::string& urlPrefix, const std::string& folder);

  // What the server has received (accepted requests only), oldest first. A request is recorded
  // in the same step as its reply is chosen, so a reply scripted after a request shows here
  // answers only later requests.
  std::vector<DevRequest> requests() const;
  std::vector<DevRequest> requests(const std::string& api) const;
  std::optional<DevRequest> lastRequest(const std::string& api = "") const;
  size_t rejectedCount() const;
  void clearRequests();

 private:
  struct Scripted {
    enum class Kind { Body, Nothing, Close, Endless };
    Kind kind = Kind::Body;
    std::string body;
    double delay = 0;
    // When not empty, body answers only requests that sent all of these; elseBody the others.
    std::vector<std::pair<std::string, std::string>> when;
    std::string elseBody;
    std::shared_ptr<const Scripted> elseWhen;  // a further condition in place of elseBody
    int status = 200;

    static Scripted make(Kind kind, std::string body, double delay) {
      Scripted scripted;
      scripted.kind = kind;
      scripted.body = std::move(body);
      scripted.delay = delay;
      return scripted;
    }
  };

  // A reply file's {"$when", "$then", "$else"} form, with the forms nested in "$else".
  static Scripted conditional(const Value& reply);
  enum class Answer { Body, None, Close, Endless };
  Answer handle(const std::string& body, int clientPort, std::string& replyBody, int& status);
  // The reply for the next request of api (a queued one is used up). Called with mutex_ held.
  std::optional<Scripted> takeScripted(const std::string& api);
  // Waits up to `seconds` or until stop(); false when stopped.
  bool hold(double seconds);

  std::unique_ptr<loopback::Server> server_;
  std::thread thread_;
  // Written by start() after the server's thread is running, read by request handlers on it.
  std::atomic<int> port_{0};

  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool stopping_ = false;
  std::map<std::string, Scripted> standing_;
  std::map<std::string, std::deque<Scripted>> queued_;
  std::vector<DevRequest> requests_;
  size_t rejected_ = 0;
};
