#include "platform/foundation/NSLog.h"

#include <cstdio>
#include <deque>
#include <mutex>

namespace {

constexpr size_t kKeptLines = 10000;

struct Sink {
  std::mutex mutex;
  std::deque<std::string> lines;
  bool echo = true;
};

Sink& sink() {
  static Sink* s = new Sink();  // never destroyed: other static destructors may log
  return *s;
}

}  // namespace

namespace NSLogSink {

void write(const std::string& line) {
  Sink& s = sink();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.echo) std::fprintf(stderr, "%s\n", line.c_str());
  s.lines.push_back(line);
  if (s.lines.size() > kKeptLines) s.lines.pop_front();
}

std::vector<std::string> lines() {
  Sink& s = sink();
  std::lock_guard<std::mutex> lock(s.mutex);
  return {s.lines.begin(), s.lines.end()};
}

bool contains(const std::string& fragment) {
  Sink& s = sink();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (const auto& line : s.lines)
    if (line.find(fragment) != std::string::npos) return true;
  return false;
}

void clear() {
  Sink& s = sink();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.lines.clear();
}

void setEcho(bool echoToStderr) {
  Sink& s = sink();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.echo = echoToStderr;
}

}  // namespace NSLogSink
