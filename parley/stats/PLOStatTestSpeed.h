#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The result of one speed probe, and the probes themselves.
//
// A probe resolves a host (giving up after 10 seconds) and connects to it (giving up after
// 10 seconds), blocking the calling thread: run probes on a background queue (the
// configuration holder's). The probe functions hold no state and may run on any thread.
class PLOStatTestSpeed {
 public:
  std::string dm;             // host
  std::optional<int64_t> pt;  // port
  std::string rip;            // resolved IPv4 address, "" when not resolved
  std::optional<int64_t> st;  // 0 connected, -1 failed
  std::optional<int64_t> ts;  // start second
  std::optional<int64_t> tm;  // hundredths of a second to resolve and connect

  // {"dm", "pt", "rip", "st", "ts", "tm"}, each present when set, as compact JSON.
  std::string toJsonString() const;
  std::string description() const;

  // The probe URLs of a "host,port;host,port" text: "http://host:port" for each non-empty
  // entry (an entry without a port gives "http://host").
  static std::vector<std::string> splitSpeedString(const std::string& text);
  // Resolves and connects to the URL's host and port (80 when it has none).
  static PLOStatTestSpeed taSocket(const std::string& url);
  // Runs every probe in order and sets the sp, cn and op settings.
  static void speedTest(const std::string& text);
  // The current local time, "yyyy/MM/dd HH:mm:ss:SSS".
  static std::string GetCurTime();
};
