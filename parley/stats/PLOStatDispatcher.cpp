#include "parley/stats/PLOStatDispatcher.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <mutex>

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDataConfigHolder.h"
#include "parley/stats/PLOStatEvent.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatReachability.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/services/SimulatedNetwork.h"

namespace {

std::mutex& instanceMutex() {
  static std::mutex m;
  return m;
}

std::shared_ptr<PLOStatDispatcher>& instance() {
  static std::shared_ptr<PLOStatDispatcher> s;
  return s;
}

std::atomic<double>& timeoutSeconds() {
  static std::atomic<double> seconds{10.0};
  return seconds;
}

// What one POST brought back.
struct Reply {
  bool transferred = false;
  long status = 0;
  std::string body;
  std::string contentEncoding;
  std::string error;
  bool tooLarge = false;
};

// libcurl calls these from inside curl_easy_perform: nothing may throw out of them.
size_t collectBody(char* data, size_t size, size_t count, void* user) noexcept {
  auto* reply = static_cast<Reply*>(user);
  const size_t n = size * count;
  const size_t cap = PLOStatDispatcher::kMaxReplyBytes;
  if (n > cap - std::min(cap, reply->body.size())) {
    reply->tooLarge = true;
    return 0;  // ends the transfer with an error
  }
  try {
    reply->body.append(data, n);
    return n;
  } catch (...) {
    return 0;
  }
}

size_t collectHeader(char* data, size_t size, size_t count, void* user) noexcept {
  try {
    const std::string line(data, size * count);
    const size_t colon = line.find(':');
    if (colon != std::string::npos &&
        NSString::lowercaseString(line.substr(0, colon)) == "content-encoding") {
      static_cast<Reply*>(user)->contentEncoding = NSString::trim(line.substr(colon + 1));
    }
    return size * count;
  } catch (...) {
    return 0;
  }
}

// One easy handle for the dispatcher's queue, so that its requests share a connection.
class CurlEasy {
 public:
  CurlEasy() : curl_(curl_easy_init()) {}
  ~CurlEasy() {
    if (curl_) curl_easy_cleanup(curl_);
  }
  CurlEasy(const CurlEasy&) = delete;
  CurlEasy& operator=(const CurlEasy&) = delete;

  Reply post(const std::string& url, const std::string& body, const std::string& encoding,
             double timeout) {
    Reply reply;
    if (!curl_) {
      reply.error = "no HTTP handle";
      return reply;
    }
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Connection: keep-alive");
    headers = curl_slist_append(headers, "Content-Type: json");
    headers = curl_slist_append(headers, ("Content-Encoding: " + encoding).c_str());
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_reset(curl_);
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_POST, 1L);
    curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout * 1000));
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &reply);
    // A declared length beyond the cap is refused before any of the body arrives.
    curl_easy_setopt(curl_, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(PLOStatDispatcher::kMaxReplyBytes));
    curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, collectHeader);
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &reply);
    const CURLcode rc = curl_easy_perform(curl_);
    curl_slist_free_all(headers);
    if (rc != CURLE_OK) {
      reply.error =
          reply.tooLarge
              ? "reply longer than " + std::to_string(PLOStatDispatcher::kMaxReplyBytes) + " bytes"
              : curl_easy_strerror(rc);
      std::string().swap(reply.body);  // give the memory back at once
      return reply;
    }
    reply.transferred = true;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
  }

 private:
  CURL* curl_;
};

// Placeholder hosts (".example") are never dialled, not even resolved.
bool isPlaceholder(const std::string& url) {
  auto parsed = NSURL::URLWithString(url);
  const std::string host = parsed ? NSString::lowercaseString(parsed->host()) : "";
  return host == "example" || NSString::hasSuffix(host, ".example");
}

std::string describeException(const std::exception& e) {
  return NSString::stringWithFormat("Caught %@%@", "std::exception", e.what());
}

}  // namespace

std::shared_ptr<PLOStatDispatcher> PLOStatDispatcher::getInstance() {
  std::lock_guard lock(instanceMutex());
  if (!instance()) instance() = std::make_shared<PLOStatDispatcher>();
  return instance();
}

void PLOStatDispatcher::resetForTesting() {
  std::shared_ptr<PLOStatDispatcher> dispatcher;
  {
    std::lock_guard lock(instanceMutex());
    dispatcher.swap(instance());
  }
  if (dispatcher) dispatcher->waitForQueue();
}

PLOStatDispatcher::PLOStatDispatcher()
    : queue_(std::make_unique<DispatchQueue>("HttpDispatcher")) {}

PLOStatDispatcher::~PLOStatDispatcher() = default;

void PLOStatDispatcher::setRequestTimeout(double seconds) { timeoutSeconds() = seconds; }

double PLOStatDispatcher::requestTimeout() { return timeoutSeconds(); }

void PLOStatDispatcher::waitForQueue() {
  queue_->sync([] {});
}

std::string PLOStatDispatcher::batchText(const std::vector<std::string>& texts) {
  std::string batch = "[";
  bool first = true;
  for (const auto& text : texts) {
    // An event without JSON text would only break the array ("[,]"), and the server would refuse
    // the whole batch, the good events with it (lost data).
    if (text.empty()) continue;
    if (!first) batch += ",";
    batch += text;
    first = false;
  }
  return batch + "]";
}

std::optional<std::string> PLOStatDispatcher::frameBody(const std::string& batch,
                                                        std::string& encoding) {
  std::vector<uint8_t> payload;
  if (batch.size() < kCompressFrom) {
    payload.assign(batch.begin(), batch.end());
    encoding = "rc4";
  } else {
    std::vector<uint8_t> compressed;
    if (PLOStatHelper::GZip(std::vector<uint8_t>(batch.begin(), batch.end()), compressed) != 0) {
      return std::nullopt;
    }
    const auto length = static_cast<uint32_t>(batch.size());
    payload = {static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
               static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
    payload.insert(payload.end(), compressed.begin(), compressed.end());
    encoding = "rc4,gzip";
  }
  PLOStatHelper::ChiperRC4(payload);
  return std::string(payload.begin(), payload.end());
}

void PLOStatDispatcher::sendEvent(const std::shared_ptr<PLOStatEvent>& event, Callback callback) {
  if (!event) return;
  const std::string text = event->toJsonString();
  PLOStatLog("Sending event %@", text);
  const size_t length = NSString::length(text);
  if (length > PLOStatConfig::getInstance()->maxReportEventLength() && event->getType() != 3) {
    PLOStatLog("[ERROR]Too large event content length to report:%lu", length);
    // Dropped, and counted as delivered so that nobody keeps it for a retry.
    if (callback) callback(true);
    return;
  }
  if (text.empty()) return;
  sendTexts({text}, std::move(callback));
}

void PLOStatDispatcher::send(const std::shared_ptr<PLOStatEvent>& event, Callback callback) {
  if (!event) return;
  sendTexts({event->toJsonString()}, std::move(callback));
}

void PLOStatDispatcher::send(const std::vector<std::shared_ptr<PLOStatStoreEvent>>& events,
                             Callback callback) {
  std::vector<std::string> texts;
  texts.reserve(events.size());
  for (const auto& e : events) {
    if (e) texts.push_back(e->content);
  }
  sendTexts(std::move(texts), std::move(callback));
}

void PLOStatDispatcher::sendTexts(std::vector<std::string> texts, Callback callback) {
  queue_->async(
      [self = shared_from_this(), texts = std::move(texts), callback = std::move(callback)] {
        std::optional<std::string> response;
        Value reply;  // the reply as read once by the request
        const bool ok = self->request(batchText(texts), response, reply);
        if (!ok) {
          if (callback) callback(false);
          return;
        }
        PLOStatLog("Send stat request success");
        if (callback) callback(true);
        try {
          if (auto holder = PLOStatDataConfigHolder::getInstance())
            holder->updateOnlineConfig(reply);
        } catch (const std::exception& e) {
          PLOStatLog("%@", describeException(e));
        }
      });
}

bool PLOStatDispatcher::nsRequest(const std::string& batch,
                                  std::optional<std::string>& responseData) {
  Value reply;
  return request(batch, responseData, reply);
}

bool PLOStatDispatcher::request(const std::string& batch, std::optional<std::string>& responseData,
                                Value& decoded) {
  responseData.reset();
  try {
    PLOStatLog("Send stat events to access server.");
    const std::string configured = PLOStatConfig::getInstance()->statReportURL();
    const std::string url = configured.empty() ? kDefaultReportURL : configured;
    std::string encoding;
    const auto body = frameBody(batch, encoding);
    if (!body) {
      PLOStatLog("Failed to gzip data.");
      return false;
    }
    if (isPlaceholder(url)) {
      PLOStatLog("Failed to send request for reason:%@", "no statistics server is configured");
      return false;
    }
    // One handle per dispatcher thread keeps the connection open between batches.
    thread_local CurlEasy curl;
    Reply reply = curl.post(url, *body, encoding, requestTimeout());
    if (!reply.transferred) {
      PLOStatLog("Failed to send request for reason:%@", reply.error);
      return false;
    }
    if (reply.status != 200) {
      PLOStatLog("Receive invalid response:%ld", reply.status);
      if (!reply.body.empty()) PLOStatLog("[ERROR]%@", reply.body);
      return false;
    }
    if (reply.body.empty()) return false;
    if (NSString::containsString(NSString::lowercaseString(reply.contentEncoding), "rc4")) {
      std::vector<uint8_t> bytes(reply.body.begin(), reply.body.end());
      PLOStatHelper::ChiperRC4(bytes);
      reply.body.assign(bytes.begin(), bytes.end());
    }
    PLOStatLog("Report response content is %@ with length:%lu", reply.body, reply.body.size());
    auto json = Value::fromJSON(reply.body);
    responseData = std::move(reply.body);
    if (!json) {
      PLOStatLog("Decode JSON error :%@", *responseData);
      return false;
    }
    if (!json->isDict()) {
      PLOStatLog("Not NSDictionary for decoded object:%@",
                 json->isArray() ? "NSArray" : "NSObject");
      return false;
    }
    PLOStatLog("resultJSON %@", *json);
    decoded = std::move(*json);
    return decoded["ret"].description() == "0";
  } catch (const std::exception& e) {
    PLOStatLog("%@", describeException(e));
    return false;
  }
}

// Speed probes.

namespace {
constexpr double kResolveTimeout = 10;
constexpr int kConnectTimeoutMs = 10000;

// Owns a socket descriptor.
class Socket {
 public:
  Socket() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// Connects within the time limit; errno tells why when it does not. A blocking connect to a host
// that never answers would hold the configuration holder's queue, and every shutdown that waits
// for it, for the system's own time-out of about two minutes (a hang): the probe gives up after
// as long as it waits for the name.
bool connectWithin(int fd, const std::string& address, int port, int timeoutMs) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1) {
    errno = EINVAL;
    return false;
  }
  int flags = fcntl(fd, F_GETFL, 0);
  fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) return true;
  if (errno != EINPROGRESS) return false;
  pollfd p{fd, POLLOUT, 0};
  int ready = ::poll(&p, 1, timeoutMs);
  if (ready == 0) {
    errno = ETIMEDOUT;
    return false;
  }
  if (ready < 0) return false;
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return false;
  if (error != 0) {
    errno = error;
    return false;
  }
  return true;
}

double millisecondTime() {
  double now = NSDate::timeIntervalSince1970();
  return static_cast<double>(static_cast<long long>(now * 1000)) / 1000;
}
}  // namespace

std::vector<std::string> PLOStatDispatcher::splitSpeedString(const std::string& text) const {
  std::vector<std::string> urls;
  for (const auto& entry : NSString::componentsSeparatedByString(text, ";")) {
    if (entry.empty()) continue;
    urls.push_back("http://" + NSString::stringByReplacingOccurrencesOfString(entry, ",", ":"));
  }
  return urls;
}

PLOStatTestSpeed PLOStatDispatcher::taSocket(const std::shared_ptr<NSURL>& url) const {
  PLOStatTestSpeed result;
  result.dm = url ? url->host() : "";
  int port = url && url->port() ? *url->port() : 80;
  result.pt = port;
  auto startSecond = static_cast<int64_t>(NSDate::timeIntervalSince1970());

  Socket socket;
  if (socket.fd() < 0) {
    PLOStatLog("Failed to create socket.");
    result.st = -1;
    return result;
  }
  double start = millisecondTime();
  auto addresses = SimulatedNetwork::shared().resolveIPv4(result.dm, kResolveTimeout);
  if (!addresses || addresses->empty()) {
    result.st = -1;
    return result;
  }
  const std::string& address = addresses->front();
  if (!connectWithin(socket.fd(), address, port, kConnectTimeoutMs)) {
    PLOStatLog("errorInfo socket. %@ >> Failed to connect to %@:%@", std::strerror(errno),
               result.dm, port);
    result.st = -1;
    return result;
  }
  result.rip = address;
  result.tm = static_cast<int64_t>((millisecondTime() - start) * 100);
  result.st = 0;
  result.ts = startSecond;
  PLOStatLog("test finished");
  return result;
}

void PLOStatDispatcher::speedTest(const std::string& text) const {
  std::vector<std::string> parts;
  for (const auto& url : splitSpeedString(text))
    parts.push_back(taSocket(NSURL::URLWithString(url)).toJsonString());
  std::string joined = "[" + NSString::componentsJoinedByString(parts, ",") + "]";
  PLOStatLog("speed test finished");
  auto config = PLOStatConfig::getInstance();
  config->setSp(joined);
  auto reachability = PLOStatReachability::reachabilityForInternetConnection();
  if (reachability->isReachableViaWiFi())
    config->setCn("WIFI");
  else if (reachability->isReachableViaWWAN())
    config->setCn("CellNetwork");
  const std::string& op = PLOStatHelper::getInstance()->getEnv().mccmnc;
  if (!op.empty()) config->setOp(op);
}

std::string PLOStatDispatcher::GetCurTime() const {
  NSDateFormatter formatter;
  formatter.setDateFormat("yyyy/MM/dd HH:mm:ss:SSS");
  return formatter.stringFromDate(NSDate::timeIntervalSince1970());
}
