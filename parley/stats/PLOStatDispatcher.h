#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "parley/stats/PLOStatStoreEvent.h"
#include "parley/stats/PLOStatTestSpeed.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"

class NSURL;
class PLOStatEvent;

// Delivers events to the statistics server: joins their JSON texts into one batch, compresses
// a batch of 256 bytes or more with gzip behind its 4-byte big-endian length, enciphers the
// result with RC4 and the module's key, posts it, and deciphers and checks the reply. A reply's
// server configuration goes to the configuration holder.
//
// One process-wide instance (getInstance). Requests run one at a time on the serial queue
// "HttpDispatcher", each blocking it until the reply or the time-out; callbacks run there too.
class PLOStatDispatcher : public std::enable_shared_from_this<PLOStatDispatcher> {
 public:
  // Where reports go while no statReportURL is set. A placeholder: it is never dialled.
  static constexpr const char* kDefaultReportURL = "http://mstat.parley.example/mstat/report";
  // Bodies shorter than this go uncompressed.
  static constexpr size_t kCompressFrom = 256;
  // The longest reply read. A reply is {"ret":0} with at most the server's configurations, a few
  // KB; a longer one ends the transfer and counts as a failed send.
  static constexpr size_t kMaxReplyBytes = 256u << 10;

  using Callback = std::function<void(bool success)>;

  static std::shared_ptr<PLOStatDispatcher> getInstance();
  // Tests and the simulator's restart: lets the queued requests finish and forgets the instance.
  static void resetForTesting();

  PLOStatDispatcher();
  ~PLOStatDispatcher();

  // Sends one event at once, from the caller's thread. An event too long to report is dropped
  // and reported as delivered (callback YES); an event without JSON text gets no callback.
  void sendEvent(const std::shared_ptr<PLOStatEvent>& event, Callback callback);
  // Posts the event's JSON text, or the stored events' contents in order, as one batch.
  void send(const std::shared_ptr<PLOStatEvent>& event, Callback callback);
  void send(const std::vector<std::shared_ptr<PLOStatStoreEvent>>& events, Callback callback);

  // One request with the batch text B (on the calling thread; the dispatcher calls it on its
  // queue). true when the reply says "ret" 0; the reply body, deciphered, in responseData.
  bool nsRequest(const std::string& batch, std::optional<std::string>& responseData);

  // The batch text: "[", the non-empty texts joined by ",", "]".
  static std::string batchText(const std::vector<std::string>& texts);
  // The request body of a batch text, and its "Content-Encoding": the text itself ("rc4") when
  // shorter than kCompressFrom, else its length and gzip stream ("rc4,gzip"); then RC4.
  // nullopt when gzip fails.
  static std::optional<std::string> frameBody(const std::string& batch, std::string& encoding);

  // Request time-out in seconds (10); tests may shorten it.
  static void setRequestTimeout(double seconds);
  static double requestTimeout();

  // Speed probes. A probe resolves a host (giving up after 10 seconds) and connects to it
  // (giving up after 10 seconds), blocking the calling thread: the configuration holder runs
  // them on its own queue. They touch none of the dispatcher's state and may run on any thread.
  //
  // The probe URLs of a "host,port;host,port" text: "http://host:port" for each non-empty
  // entry (an entry without a port gives "http://host").
  std::vector<std::string> splitSpeedString(const std::string& text) const;
  // Resolves and connects to the URL's host and port (80 when it has none).
  PLOStatTestSpeed taSocket(const std::shared_ptr<NSURL>& url) const;
  // Runs every probe in order and sets the sp, cn and op settings.
  void speedTest(const std::string& text) const;
  // The current local time, "yyyy/MM/dd HH:mm:ss:SSS".
  std::string GetCurTime() const;

  // Tests: waits until the requests queued so far have been answered.
  void waitForQueue();

 private:
  void sendTexts(std::vector<std::string> texts, Callback callback);
  // nsRequest, also handing back the reply as decoded, so that it is read only once.
  bool request(const std::string& batch, std::optional<std::string>& responseData, Value& decoded);
  std::unique_ptr<DispatchQueue> queue_;
};
