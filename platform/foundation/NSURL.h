#pragma once
// NSURL: an absolute URL parsed once at creation. Held by shared_ptr; immutable, so it may
// be shared between threads.
#include <memory>
#include <optional>
#include <string>

class NSURL {
 public:
  // nullptr when the text is not a valid absolute URL: empty, no scheme, characters that a
  // URL may not hold (spaces, quotes, <>, \, ^, `, {, |, }, control or non-ASCII bytes), a
  // "%" not followed by two hex digits, or a port that is not a number.
  static std::shared_ptr<NSURL> URLWithString(const std::string& s);
  // A file URL for an absolute path; the path is percent-escaped. nullptr for "".
  static std::shared_ptr<NSURL> fileURLWithPath(const std::string& path);

  std::string scheme() const;  // as written ("HTTP" stays "HTTP")
  std::string host() const;    // "" when none; brackets of IPv6 literals removed
  std::optional<int> port() const;
  std::string user() const;      // "" when none
  std::string password() const;  // "" when none
  // The path, percent-decoded, with a trailing "/" removed (except the root "/"); "" when
  // the URL has no path or is not hierarchical ("mailto:a@b").
  std::string path() const;
  std::string query() const;              // after "?", not decoded; "" when none
  std::string fragment() const;           // after "#", not decoded; "" when none
  std::string resourceSpecifier() const;  // everything after "scheme:"
  std::string absoluteString() const;     // the text as given
  std::string description() const { return absoluteString(); }
  bool isFileURL() const;
  bool operator==(const NSURL& o) const { return absolute_ == o.absolute_; }

 private:
  NSURL() = default;
  std::string absolute_, scheme_, host_, user_, password_, rawPath_, query_, fragment_;
  std::optional<int> port_;
  bool hasAuthority_ = false;
};
