#include "devserver/DevServer.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "core/Config.h"
#include "core/EncDec.h"
#include "devserver/LoopbackHttp.h"
#include "platform/foundation/NSString.h"

namespace {

constexpr const char* kBadSignature = R"({"state":"error","msg":"签名错误"})";
constexpr const char* kBadData = R"({"state":"error","msg":"数据错误"})";
constexpr const char* kUnknownApi = R"({"state":"error","msg":"接口不存在"})";
// Longest time an unanswered request is held; well beyond any client timeout.
constexpr double kLongestHold = 60.0;

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Form decoding as a web server does it: "+" is a space and %XX a byte. A malformed escape
// stays as it is.
std::string formDecode(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
               hexDigit(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Splits "k1=v1&k2=v2" into decoded pairs; a pair without "=" has an empty value.
std::vector<std::pair<std::string, std::string>> parseForm(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> pairs;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('&', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    if (!item.empty()) {
      const size_t eq = item.find('=');
      if (eq == std::string::npos) {
        pairs.emplace_back(formDecode(item), "");
      } else {
        pairs.emplace_back(formDecode(item.substr(0, eq)), formDecode(item.substr(eq + 1)));
      }
    }
    start = end + 1;
  }
  return pairs;
}

}  // namespace

bool DevRequest::has(const std::string& key) const {
  for (const auto& [k, v] : params) {
    if (k == key) return true;
  }
  return false;
}

std::string DevRequest::value(const std::string& key) const {
  for (const auto& [k, v] : params) {
    if (k == key) return v;
  }
  return "";
}

std::vector<std::string> DevRequest::keys() const {
  std::vector<std::string> out;
  for (const auto& [k, v] : params) out.push_back(k);
  return out;
}

DevServer::DevServer() : server_(std::make_unique<loopback::Server>()) {
  server_->Post(Config::kApiPath, [this](const httplib::Request& req, httplib::Response& res) {
    std::string body;
    int status = 200;
    const Answer answer = handle(req.body, req.remote_port, body, status);
    if (answer == Answer::Close) loopback::Server::closeCurrentConnection();
    if (answer == Answer::Endless) {
      std::string block;
      while (block.size() < 65536) block += body;
      res.set_chunked_content_provider("text/html; charset=utf-8",
                                       [this, block](size_t, httplib::DataSink& sink) {
                                         {
                                           std::lock_guard lock(mutex_);
                                           if (stopping_) return false;
                                         }
                                         return sink.write(block.data(), block.size());
                                       });
      return;
    }
    if (answer != Answer::Body) {
      res.status = 500;
      return;
    }
    res.status = status;
    res.set_content(NSString::stringByReplacingOccurrencesOfString(body, "${server}", baseUrl()),
                    "text/html; charset=utf-8");
  });
}

DevServer::~DevServer() { stop(); }

bool DevServer::start(const std::string& host, int port) {
  if (thread_.joinable()) return false;
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
  }
  const int bound = loopback::run(*server_, thread_, host, port);
  if (bound == 0) return false;
  port_ = bound;
  return true;
}

void DevServer::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  released_.notify_all();
  loopback::halt(*server_, thread_);
}

bool DevServer::isRunning() const { return server_->is_running(); }

int DevServer::port() const { return port_; }

std::string DevServer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string DevServer::endpoint() const { return baseUrl() + Config::kApiPath; }

void DevServer::reply(const std::string& api, const std::string& jsonText, double delaySeconds) {
  if (!Value::fromJSON(jsonText)) {
    std::cerr << "devserver: reply for " << api << " is not valid JSON; sent as it is\n";
  }
  replyRaw(api, jsonText, delaySeconds);
}

void DevServer::reply(const std::string& api, const char* jsonText, double delaySeconds) {
  reply(api, std::string(jsonText ? jsonText : ""), delaySeconds);
}

void DevServer::reply(const std::string& api, const Value& value, double delaySeconds) {
  replyRaw(api, value.toJSON(), delaySeconds);
}

void DevServer::replyOnce(const std::string& api, const std::string& jsonText,
                          double delaySeconds) {
  std::lock_guard lock(mutex_);
  queued_[api].push_back(Scripted::make(Scripted::Kind::Body, jsonText, delaySeconds));
}

void DevServer::replyRaw(const std::string& api, const std::string& body, double delaySeconds) {
  std::lock_guard lock(mutex_);
  standing_[api] = Scripted::make(Scripted::Kind::Body, body, delaySeconds);
}

void DevServer::replyNothing(const std::string& api) {
  std::lock_guard lock(mutex_);
  standing_[api] = Scripted::make(Scripted::Kind::Nothing, "", 0);
}

void DevServer::replyWithStatus(const std::string& api, int status, const std::string& body) {
  std::lock_guard lock(mutex_);
  Scripted scripted = Scripted::make(Scripted::Kind::Body, body, 0);
  scripted.status = status;
  standing_[api] = std::move(scripted);
}

void DevServer::replyEndless(const std::string& api, const std::string& chunk) {
  std::lock_guard lock(mutex_);
  standing_[api] = Scripted::make(Scripted::Kind::Endless, chunk.empty() ? " " : chunk, 0);
}

void DevServer::replyCloseConnection(const std::string& api) {
  std::lock_guard lock(mutex_);
  standing_[api] = Scripted::make(Scripted::Kind::Close, "", 0);
}

void DevServer::clearReplies() {
  std::lock_guard lock(mutex_);
  standing_.clear();
  queued_.clear();
}

namespace {
bool isConditional(const Value& reply) {
  return reply.isDict() && reply.dictValue().count("$when");
}
}  // namespace

DevServer::Scripted DevServer::conditional(const Value& reply) {
  Scripted scripted = Scripted::make(Scripted::Kind::Body, reply["$then"].toJSON(), 0);
  for (const auto& [key, value] : reply["$when"].dictValue())
    scripted.when.emplace_back(key, value.str());
  if (isConditional(reply["$else"])) {
    scripted.elseWhen = std::make_shared<const Scripted>(conditional(reply["$else"]));
  } else {
    scripted.elseBody = reply["$else"].toJSON();
  }
  return scripted;
}

bool DevServer::loadReplies(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    std::cerr << "devserver: cannot read " << folder << "\n";
    return false;
  }
  bool ok = true;
  for (const auto& entry : it) {
    if (entry.path().extension() != ".json") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || !Value::fromJSON(text.str())) {
      std::cerr << "devserver: " << entry.path().string() << " is not valid JSON\n";
      ok = false;
      continue;
    }
    const auto reply = *Value::fromJSON(text.str());
    Scripted scripted = Scripted::make(Scripted::Kind::Body, text.str(), 0);
    if (isConditional(reply)) scripted = conditional(reply);
    std::lock_guard lock(mutex_);
    standing_[entry.path().stem().string()] = std::move(scripted);
  }
  return ok;
}

bool DevServer::loadDemo(const std::string& folder) {
  const bool files = serveFiles("/files", folder + "/files");
  return loadReplies(folder) && files;
}

bool DevServer::serveFiles(const std::string& urlPrefix, const std::string& folder) {
  return server_->set_mount_point(urlPrefix, folder);
}

std::vector<DevRequest> DevServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<DevRequest> DevServer::requests(const std::string& api) const {
  std::lock_guard lock(mutex_);
  std::vector<DevRequest> out;
  for (const auto& r : requests_) {
    if (r.api == api) out.push_back(r);
  }
  return out;
}

std::optional<DevRequest> DevServer::lastRequest(const std::string& api) const {
  std::lock_guard lock(mutex_);
  for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
    if (api.empty() || it->api == api) return *it;
  }
  return std::nullopt;
}

size_t DevServer::rejectedCount() const {
  std::lock_guard lock(mutex_);
  return rejected_;
}

void DevServer::clearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
  rejected_ = 0;
}

std::optional<DevServer::Scripted> DevServer::takeScripted(const std::string& api) {
  auto queued = queued_.find(api);
  if (queued != queued_.end() && !queued->second.empty()) {
    Scripted s = std::move(queued->second.front());
    queued->second.pop_front();
    return s;
  }
  auto standing = standing_.find(api);
  if (standing != standing_.end()) return standing->second;
  return std::nullopt;
}

bool DevServer::hold(double seconds) {
  std::unique_lock lock(mutex_);
  return !released_.wait_for(lock, std::chrono::duration<double>(seconds),
                             [this] { return stopping_; });
}

DevServer::Answer DevServer::handle(const std::string& body, int clientPort, std::string& replyBody,
                                    int& status) {
  // The body is one form field; its value is the enciphered request with "+" written as "%2B".
  std::optional<std::string> data;
  for (auto& [key, value] : parseForm(body)) {
    if (key == "data") data = std::move(value);
  }
  const auto plain = data ? EncDec::decryptUseDES(*data) : std::nullopt;
  const size_t signAt = plain ? plain->rfind("&sign=") : std::string::npos;
  if (signAt == std::string::npos) {
    std::lock_guard lock(mutex_);
    ++rejected_;
    replyBody = kBadData;
    return Answer::Body;
  }
  const std::string params = plain->substr(0, signAt);
  const std::string sign = plain->substr(signAt + 6);
  if (EncDec::md5(params + Config::kSignKey) != sign) {
    std::lock_guard lock(mutex_);
    ++rejected_;
    replyBody = kBadSignature;
    return Answer::Body;
  }

  DevRequest request;
  request.raw = params;
  request.params = parseForm(params);
  request.api = request.value("api");
  request.clientPort = clientPort;
  // Recorded and answered in one step: once requests() shows a request, scripting other replies
  // no longer changes its answer.
  std::optional<Scripted> scripted;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    scripted = takeScripted(request.api);
  }
  if (!scripted) {
    replyBody = kUnknownApi;
    return Answer::Body;
  }
  if (scripted->kind == Scripted::Kind::Close) return Answer::Close;
  if (scripted->kind == Scripted::Kind::Endless) {
    replyBody = scripted->body;
    return Answer::Endless;
  }
  if (scripted->kind == Scripted::Kind::Nothing) {
    hold(kLongestHold);
    return Answer::None;
  }
  if (scripted->delay > 0 && !hold(scripted->delay)) return Answer::None;
  for (const Scripted* s = &*scripted; s; s = s->elseWhen.get()) {
    bool matches = true;
    for (const auto& [key, value] : s->when) matches = matches && request.value(key) == value;
    if (matches || !s->elseWhen) {
      replyBody = matches ? s->body : s->elseBody;
      break;
    }
  }
  status = scripted->status;
  return Answer::Body;
}
