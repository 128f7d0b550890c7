#pragma once

#include <string>

// The distribution channel id sent with every request as "tgid".
class Tgid {
 public:
  // Walks the main bundle's "_CodeSignature" folder recursively (entries of each folder in sorted
  // order, a folder before its contents) and takes the last entry whose name begins with "cid_",
  // less that prefix. Config::kDefaultChannelId ("777") when there is none. Any thread.
  // The answer is kept for the bundle folder: the bundle does not change while the app runs.
  static std::string gettgid();
  // The same walk under another bundle folder, done afresh at each call.
  static std::string gettgid(const std::string& bundlePath);
};
