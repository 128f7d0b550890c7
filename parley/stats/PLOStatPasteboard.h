#pragma once

#include <string>

// The module's own named pasteboard (named after the company domain, persistent), holding
// values per pasteboard type. Class methods; thread-safe.
class PLOStatPasteboard {
 public:
  static void set(const std::string& type, const std::string& value);
  // The data stored for the type as UTF-8 text; "" when there is none.
  static std::string get(const std::string& type);
  // The bundle identifier without its last component ("a.b.c" gives "a.b"); whole when it
  // has no dot.
  static std::string getCompanyDomain();
};
