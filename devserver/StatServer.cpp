#include "devserver/StatServer.h"

#include <httplib.h>
#include <nettle/arcfour.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "devserver/LoopbackHttp.h"
#include "parley/stats/PLOStatHelper.h"

namespace {

// Longest time a held report waits; well beyond any client timeout.
constexpr double kLongestHold = 60.0;

std::string rc4(const std::string& key, std::string bytes) {
  arcfour_ctx ctx;
  arcfour_set_key(&ctx, key.size(), reinterpret_cast<const uint8_t*>(key.data()));
  arcfour_crypt(&ctx, bytes.size(), reinterpret_cast<uint8_t*>(bytes.data()),
                reinterpret_cast<const uint8_t*>(bytes.data()));
  return bytes;
}

// The gzip stream's content, or false when it is not one complete stream.
bool gunzip(const std::string& in, std::string& out) {
  z_stream zs{};
  if (inflateInit2(&zs, 31) != Z_OK) return false;
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  char buffer[16384];
  int rc = Z_OK;
  while (rc == Z_OK) {
    zs.next_out = reinterpret_cast<Bytef*>(buffer);
    zs.avail_out = sizeof buffer;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - zs.avail_out);
    if (rc == Z_BUF_ERROR && zs.avail_in == 0) break;
  }
  inflateEnd(&zs);
  return rc == Z_STREAM_END;
}

bool contains(std::string text, const std::string& word) {
  std::transform(text.begin(), text.end(), text.begin(), ::tolower);
  return text.find(word) != std::string::npos;
}

std::string describeEvent(const Value& event) {
  std::string line = "et=";
  line += event["et"].description();
  if (event.contains("ei")) line.append(" ").append(event["ei"].str());
  if (event.contains("pi")) line.append(" page ").append(event["pi"].str());
  return line;
}

}  // namespace

StatServer::StatServer(std::string rc4Key) : key_(std::move(rc4Key)) {}

StatServer::StatServer() : StatServer(PLOStatRC4Key) {}

StatServer::~StatServer() { stop(); }

void StatServer::install() {
  server_ = std::make_unique<loopback::Server>();
  server_->Post(kReportPath, [this](const httplib::Request& req, httplib::Response& res) {
    StatReport report;
    std::string why;
    report.contentEncoding = req.get_header_value("Content-Encoding");
    report.bodyBytes = req.body.size();
    if (!readReport(report.contentEncoding, req.body, report, why)) {
      {
        std::lock_guard lock(mutex_);
        ++rejected_;
      }
      res.status = 400;
      res.set_content(why, "text/plain");
      return;
    }
    int status = 200;
    std::string body;
    std::string encoding;
    answer(report, status, body, encoding);
    if (status == 0) {
      // Stopped while holding: no answer at all.
      res.status = 500;
      return;
    }
    res.status = status;
    if (!encoding.empty()) res.set_header("Content-Encoding", encoding);
    if (!body.empty()) res.set_content(body, "application/json");
  });
}

bool StatServer::start(const std::string& host, int port) {
  if (thread_.joinable()) return false;
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
  }
  install();
  const int bound = loopback::run(*server_, thread_, host, port);
  if (bound == 0) return false;
  port_ = bound;
  host_ = host;
  return true;
}

void StatServer::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (server_) loopback::halt(*server_, thread_);
}

bool StatServer::comeBack() {
  // stop() has joined every connection, and the socket allows binding again at once
  // (SO_REUSEADDR), so the port is free unless somebody else took it meanwhile.
  return port_ != 0 && start(host_, port_);
}

bool StatServer::isRunning() const { return server_ && server_->is_running(); }

int StatServer::port() const { return port_; }

std::string StatServer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string StatServer::reportUrl() const { return baseUrl() + kReportPath; }

void StatServer::setConfiguration(int type, const Value& content, unsigned version,
                                  const std::string& md5) {
  std::lock_guard lock(mutex_);
  configuration_[std::to_string(type)] =
      Value::dict({{"c", content}, {"v", Value(version)}, {"m", Value(md5)}});
}

void StatServer::clearConfiguration() {
  std::lock_guard lock(mutex_);
  configuration_.clear();
}

Value StatServer::lastConfigurationSent() const {
  std::lock_guard lock(mutex_);
  return lastConfiguration_;
}

void StatServer::failNext(int count, Failure how) {
  std::lock_guard lock(mutex_);
  failuresLeft_ = count;
  nextFailure_ = how;
}

void StatServer::setFailure(Failure how) {
  std::lock_guard lock(mutex_);
  standingFailure_ = how;
}

void StatServer::setDelay(double seconds) {
  std::lock_guard lock(mutex_);
  delay_ = seconds;
}

void StatServer::holdNext() {
  std::lock_guard lock(mutex_);
  holdNext_ = true;
  release_ = false;
}

void StatServer::releaseHeld() {
  {
    std::lock_guard lock(mutex_);
    release_ = true;
  }
  changed_.notify_all();
}

bool StatServer::waitForHeld(double seconds) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::duration<double>(seconds),
                           [this] { return holding_; });
}

void StatServer::setCipheredReplies(bool ciphered) {
  std::lock_guard lock(mutex_);
  ciphered_ = ciphered;
}

std::vector<StatReport> StatServer::reports() const {
  std::lock_guard lock(mutex_);
  return reports_;
}

std::vector<Value> StatServer::events() const {
  std::lock_guard lock(mutex_);
  std::vector<Value> out;
  out.reserve(eventCount_);
  for (const auto& report : reports_) {
    for (const auto& event : report.events.arrayValue()) out.push_back(event);
  }
  return out;
}

size_t StatServer::eventCount() const {
  std::lock_guard lock(mutex_);
  return eventCount_;
}

size_t StatServer::rejectedCount() const {
  std::lock_guard lock(mutex_);
  return rejected_;
}

void StatServer::clear() {
  std::lock_guard lock(mutex_);
  reports_.clear();
  eventCount_ = 0;
  rejected_ = 0;
  lastConfiguration_ = Value();
}

bool StatServer::waitForEvents(size_t n, double seconds) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::duration<double>(seconds),
                           [&] { return eventCount_ >= n; });
}

std::vector<std::string> StatServer::summaryLines() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  std::map<std::string, size_t> perType;
  for (const auto& report : reports_) {
    for (const auto& event : report.events.arrayValue()) {
      lines.push_back(describeEvent(event));
      std::string type = "et=";
      type += event["et"].description();
      ++perType[type];
    }
  }
  std::ostringstream counts;
  counts << reports_.size() << " report(s), " << eventCount_ << " event(s)";
  if (rejected_) counts << ", " << rejected_ << " rejected";
  for (const auto& [type, n] : perType) counts << "; " << type << ": " << n;
  lines.push_back(counts.str());
  lines.push_back("last configuration: " + (lastConfiguration_.isNil()
                                                ? std::string("(none)")
                                                : lastConfiguration_.toJSON()));
  return lines;
}

bool StatServer::readReport(const std::string& encoding, const std::string& body,
                            StatReport& report, std::string& why) const {
  if (body.empty()) {
    why = "empty body";
    return false;
  }
  std::string payload = contains(encoding, "rc4") ? rc4(key_, body) : body;
  std::string text;
  if (contains(encoding, "gzip")) {
    report.compressed = true;
    if (payload.size() < 4) {
      why = "no length prefix";
      return false;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(payload.data());
    const uint32_t length =
        (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
    if (!gunzip(payload.substr(4), text)) {
      why = "not a gzip stream";
      return false;
    }
    if (text.size() != length) {
      why = "length prefix " + std::to_string(length) + " for " + std::to_string(text.size()) +
            " bytes";
      return false;
    }
  } else {
    text = std::move(payload);
  }
  auto parsed = Value::fromJSON(text);
  if (!parsed || !parsed->isArray()) {
    why = "not a JSON array";
    return false;
  }
  for (const auto& event : parsed->arrayValue()) {
    if (!event.isDict()) {
      why = "an event is not a JSON object";
      return false;
    }
  }
  report.events = *parsed;
  return true;
}

bool StatServer::hold(double seconds) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, std::chrono::duration<double>(seconds),
                            [this] { return stopping_; });
}

void StatServer::answer(const StatReport& incoming, int& status, std::string& replyBody,
                        std::string& replyEncoding) {
  Failure failure;
  double delay;
  bool held;
  bool ciphered;
  Value cfg;
  {
    std::lock_guard lock(mutex_);
    failure = standingFailure_;
    if (failuresLeft_ > 0) {
      --failuresLeft_;
      failure = nextFailure_;
    }
    delay = delay_;
    held = holdNext_;
    holdNext_ = false;
    ciphered = ciphered_;
    for (const auto& [type, part] : configuration_) cfg.set(type, part);
    StatReport report = incoming;
    report.acknowledged = failure == Failure::None;
    eventCount_ += report.events.count();
    reports_.push_back(std::move(report));
    if (held) holding_ = true;
  }
  changed_.notify_all();

  if (held) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::duration<double>(kLongestHold),
                      [this] { return stopping_ || release_; });
    holding_ = false;
    if (stopping_) {
      status = 0;
      return;
    }
  }
  if (delay > 0 && !hold(delay)) {
    status = 0;
    return;
  }

  Value reply = Value::dict({{"ret", Value(0)}});
  switch (failure) {
    case Failure::None:
      if (cfg.count()) {
        reply.set("cfg", cfg);
        std::lock_guard lock(mutex_);
        lastConfiguration_ = cfg;
      }
      break;
    case Failure::Status500:
      status = 500;
      break;
    case Failure::RetNotZero:
      reply.set("ret", Value(1));
      break;
    case Failure::NotJson:
      replyBody = "this is no JSON";
      return;
    case Failure::Empty:
      return;
  }
  replyBody = reply.toJSON();
  if (ciphered) {
    replyBody = rc4(key_, replyBody);
    replyEncoding = "rc4";
  }
}
