#pragma once

#include <cstdint>
#include <string>

// A remembered login: a row of the local table user.
struct LoginRecord {
  std::string username;
  std::string password;
  int64_t date = 0;   // seconds since 1970 of the last login
  int autologin = 0;  // 1: log in at start
};
