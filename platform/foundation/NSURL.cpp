#include "platform/foundation/NSURL.h"

#include <cctype>

#include "platform/foundation/NSString.h"

namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Characters that may stand in a URL as they are (RFC 3986 unreserved, reserved and "%").
bool isURLChar(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return false;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return false;
    default:
      return true;
  }
}

}  // namespace

std::shared_ptr<NSURL> NSURL::URLWithString(const std::string& s) {
  if (s.empty()) return nullptr;
  for (size_t i = 0; i < s.size(); ++i) {
    if (!isURLChar(static_cast<unsigned char>(s[i]))) return nullptr;
    if (s[i] == '%' && (i + 2 >= s.size() || !isHex(s[i + 1]) || !isHex(s[i + 2]))) return nullptr;
  }
  // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
  size_t colon = s.find(':');
  if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(s[0])))
    return nullptr;
  for (size_t i = 1; i < colon; ++i) {
    char c = s[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return nullptr;
  }
  std::shared_ptr<NSURL> url(new NSURL());
  url->absolute_ = s;
  url->scheme_ = s.substr(0, colon);
  std::string rest = s.substr(colon + 1);

  size_t hash = rest.find('#');
  if (hash != std::string::npos) {
    url->fragment_ = rest.substr(hash + 1);
    rest.resize(hash);
  }
  size_t question = rest.find('?');
  if (question != std::string::npos) {
    url->query_ = rest.substr(question + 1);
    rest.resize(question);
  }
  if (rest.rfind("//", 0) == 0) {
    url->hasAuthority_ = true;
    size_t slash = rest.find('/', 2);
    std::string authority =
        rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    url->rawPath_ = slash == std::string::npos ? "" : rest.substr(slash);
    size_t at = authority.rfind('@');
    if (at != std::string::npos) {
      std::string userinfo = authority.substr(0, at);
      authority = authority.substr(at + 1);
      size_t c = userinfo.find(':');
      url->user_ = userinfo.substr(0, c);
      if (c != std::string::npos) url->password_ = userinfo.substr(c + 1);
    }
    std::string hostPart = authority, portPart;
    bool hasPort = false;
    if (!authority.empty() && authority[0] == '[') {
      size_t close = authority.find(']');
      if (close == std::string::npos) return nullptr;
      hostPart = authority.substr(1, close - 1);
      std::string after = authority.substr(close + 1);
      if (!after.empty()) {
        if (after[0] != ':') return nullptr;
        hasPort = true;
        portPart = after.substr(1);
      }
    } else {
      size_t c = authority.rfind(':');
      if (c != std::string::npos) {
        hostPart = authority.substr(0, c);
        portPart = authority.substr(c + 1);
        hasPort = true;
      }
    }
    if (hostPart.find_first_of("[]") != std::string::npos) return nullptr;
    url->host_ = hostPart;
    if (hasPort && !portPart.empty()) {
      if (portPart.size() > 5) return nullptr;
      int port = 0;
      for (char c : portPart) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return nullptr;
        port = port * 10 + (c - '0');
      }
      if (port > 65535) return nullptr;
      url->port_ = port;
    }
  } else if (!rest.empty() && rest[0] == '/') {
    url->rawPath_ = rest;
  }
  return url;
}

std::shared_ptr<NSURL> NSURL::fileURLWithPath(const std::string& path) {
  if (path.empty()) return nullptr;
  std::string absolute = path[0] == '/' ? path : "/" + path;
  return URLWithString("file://" + NSString::percentEscape(absolute, "/!$&'()*+,;=:@"));
}

std::string NSURL::scheme() const { return scheme_; }
std::string NSURL::host() const { return host_; }
std::optional<int> NSURL::port() const { return port_; }
std::string NSURL::user() const { return user_; }
std::string NSURL::password() const { return password_; }
std::string NSURL::query() const { return query_; }
std::string NSURL::fragment() const { return fragment_; }
std::string NSURL::absoluteString() const { return absolute_; }
bool NSURL::isFileURL() const { return NSString::lowercaseString(scheme_) == "file"; }

std::string NSURL::resourceSpecifier() const { return absolute_.substr(scheme_.size() + 1); }

std::string NSURL::path() const {
  std::string p = rawPath_;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return NSString::percentUnescape(p).value_or(p);
}
