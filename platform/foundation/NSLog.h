#pragma once
// NSLog: formats like NSString::stringWithFormat, writes the line to stderr (unless
// echo is off) and keeps it in the sink, where tests read it. Thread-safe. The sink keeps
// the newest 10000 lines.
#include <string>
#include <vector>

#include "platform/foundation/NSString.h"

namespace NSLogSink {
void write(const std::string& line);
std::vector<std::string> lines();
bool contains(const std::string& fragment);  // any kept line containing fragment
void clear();
void setEcho(bool echoToStderr);  // default on
}  // namespace NSLogSink

template <class... A>
void NSLog(std::string_view fmt, const A&... args) {
  NSLogSink::write(NSString::stringWithFormat(fmt, args...));
}
