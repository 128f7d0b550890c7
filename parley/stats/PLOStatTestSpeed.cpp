#include "parley/stats/PLOStatTestSpeed.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatHelper.h"
#include "parley/stats/PLOStatReachability.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/services/SimulatedNetwork.h"

namespace {
constexpr double kResolveTimeout = 10;
constexpr int kConnectTimeoutMs = 10000;

Value optionalNumber(const std::optional<int64_t>& n) {
  return n ? Value(static_cast<long long>(*n)) : Value();
}

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

// Connects within the time limit; errno tells why when it does not.
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

std::string PLOStatTestSpeed::toJsonString() const {
  Value d = Value::dict();
  if (!dm.empty()) d.set("dm", dm);
  d.set("pt", optionalNumber(pt));
  if (!rip.empty()) d.set("rip", rip);
  d.set("st", optionalNumber(st));
  d.set("ts", optionalNumber(ts));
  d.set("tm", optionalNumber(tm));
  return PLOStatHelper::getJson(d);
}

std::string PLOStatTestSpeed::description() const {
  return NSString::stringWithFormat(
      "StatTestSpeed info is dm:%@ , pt:%@ , rip:%@ , st:%@ , ts:%@ , tm:%@ ",
      dm.empty() ? Value() : Value(dm), optionalNumber(pt), rip.empty() ? Value() : Value(rip),
      optionalNumber(st), optionalNumber(ts), optionalNumber(tm));
}

std::vector<std::string> PLOStatTestSpeed::splitSpeedString(const std::string& text) {
  std::vector<std::string> urls;
  for (const auto& entry : NSString::componentsSeparatedByString(text, ";")) {
    if (entry.empty()) continue;
    urls.push_back("http://" + NSString::stringByReplacingOccurrencesOfString(entry, ",", ":"));
  }
  return urls;
}

PLOStatTestSpeed PLOStatTestSpeed::taSocket(const std::string& urlText) {
  PLOStatTestSpeed result;
  auto url = NSURL::URLWithString(urlText);
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

void PLOStatTestSpeed::speedTest(const std::string& text) {
  std::vector<std::string> parts;
  for (const auto& url : splitSpeedString(text)) parts.push_back(taSocket(url).toJsonString());
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

std::string PLOStatTestSpeed::GetCurTime() {
  NSDateFormatter formatter;
  formatter.setDateFormat("yyyy/MM/dd HH:mm:ss:SSS");
  return formatter.stringFromDate(NSDate::timeIntervalSince1970());
}
