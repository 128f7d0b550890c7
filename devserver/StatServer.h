#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/Value.h"

namespace loopback {
class Server;
}

// One report post as the statistics server understood it.
struct StatReport {
  std::string contentEncoding;  // the request's "Content-Encoding" header
  size_t bodyBytes = 0;         // the enciphered body as it came
  bool compressed = false;      // length prefix and gzip behind the cipher
  Value events;                 // the array of event objects
  bool acknowledged = false;    // answered with "ret" 0
};

// A local stand-in of the statistics server on loopback, for tests, the benchmark and the
// simulator.
//
// It takes POSTs to kReportPath as the module sends them: the body is RC4-enciphered with the
// module's key; when "Content-Encoding" names gzip, the deciphered payload is the 4-byte
// big-endian length of the batch text followed by its gzip stream. The batch text must be a JSON
// array of event objects. A report that cannot be read so is answered 400 and counted in
// rejectedCount(); every other one is recorded with its events.
//
// Replies are {"ret":0}, with "cfg" holding the configurations set by setConfiguration, enciphered
// with the same key and labelled "Content-Encoding: rc4" (or sent plain: setCipheredReplies).
// It can be told to fail (the next n reports, or all of them, in one of several ways), to delay
// its answers, to hold a report unanswered until released, and to go away and come back on the
// same port.
//
// Threads: the server answers on its own threads. Every method is thread-safe. The destructor
// stops the server; held reports are released at once (and get no answer).
class StatServer {
 public:
  static constexpr const char* kReportPath = "/mstat/report";

  enum class Failure {
    None,
    Status500,   // HTTP 500 with a body that says "ret" 0
    RetNotZero,  // {"ret":1}
    NotJson,     // a body that is no JSON
    Empty,       // status 200 with no body
  };

  explicit StatServer(std::string rc4Key);
  StatServer();  // with the module's key
  ~StatServer();
  StatServer(const StatServer&) = delete;
  StatServer& operator=(const StatServer&) = delete;

  // Binds host at the port (0: a free one) and starts answering; false when it cannot bind or
  // already runs.
  bool start(const std::string& host = "127.0.0.1", int port = 0);
  // Stops answering and releases held reports. Idempotent.
  void stop();
  // Goes away (connections are refused) and comes back on the same port.
  void goAway() { stop(); }
  bool comeBack();
  bool isRunning() const;
  int port() const;
  std::string baseUrl() const;    // "http://127.0.0.1:PORT"
  std::string reportUrl() const;  // baseUrl() + kReportPath

  // The configuration sent in every successful reply from now on: "cfg" member `type` ("1" the
  // module's, "2" the app's) with "c" content, "v" version and "m" md5.
  void setConfiguration(int type, const Value& content, unsigned version,
                        const std::string& md5 = "");
  void clearConfiguration();
  // The last "cfg" sent in a reply; absent when none was.
  Value lastConfigurationSent() const;

  // The next `count` reports fail in the given way; then reports succeed again.
  void failNext(int count, Failure how = Failure::RetNotZero);
  // Every report fails so until set back to Failure::None.
  void setFailure(Failure how);
  // Every answer waits this many seconds (real time) first.
  void setDelay(double seconds);
  // The next report is held unanswered until releaseHeld(), stop() or a minute passes.
  void holdNext();
  void releaseHeld();
  // Waits (real time) until a held report has arrived; false on time-out.
  bool waitForHeld(double seconds);
  void setCipheredReplies(bool ciphered);

  // What came in, oldest first.
  std::vector<StatReport> reports() const;
  // Every event of every recorded report, in arrival order (an event sent twice is there twice).
  std::vector<Value> events() const;
  size_t eventCount() const;
  size_t rejectedCount() const;
  void clear();
  // Waits (real time) until at least n events have been recorded.
  bool waitForEvents(size_t n, double seconds) const;
  // Lines describing what came in, for the simulator: each event's type (with its event id when
  // it has one), the counts per type and the last configuration.
  std::vector<std::string> summaryLines() const;

 private:
  void install();
  // Reads one report; false (and a reason) when it cannot be read.
  bool readReport(const std::string& encoding, const std::string& body, StatReport& report,
                  std::string& why) const;
  void answer(const StatReport& report, int& status, std::string& replyBody,
              std::string& replyEncoding);
  bool hold(double seconds);  // false when stopped while waiting

  std::string key_;
  std::unique_ptr<loopback::Server> server_;
  std::thread thread_;
  // Written by start() after the server's thread is running, read by request handlers on it.
  std::atomic<int> port_{0};
  std::string host_ = "127.0.0.1";

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stopping_ = false;
  std::map<std::string, Value> configuration_;
  Value lastConfiguration_;
  Failure standingFailure_ = Failure::None;
  Failure nextFailure_ = Failure::None;
  int failuresLeft_ = 0;
  double delay_ = 0;
  bool holdNext_ = false;
  bool holding_ = false;
  bool release_ = false;
  bool ciphered_ = true;
  std::vector<StatReport> reports_;
  size_t eventCount_ = 0;
  size_t rejected_ = 0;
};
