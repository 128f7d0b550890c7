#pragma once

#include <string>

// Text helpers for display. Pure; any thread.
class StrHelper {
 public:
  // Masks an account name or mobile number for display: its first 3 characters, "****", then
  // its characters from index 7 on (counted in UTF-16 units). Shorter text never fails: it keeps
  // what it has of the first 3 characters, then "****".
  static std::string getjiamiphonenum(const std::string& text);
};
