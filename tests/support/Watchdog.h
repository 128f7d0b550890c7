#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the test process when a test hangs: if the watchdog is still alive after `seconds` of real
// time, it prints what was running and aborts, so that a hang is a failure with a name instead of
// a stuck CI job. Destroying it (the normal end of a test) disarms it.
class Watchdog {
 public:
  explicit Watchdog(double seconds, std::string what = "");
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool disarmed_ = false;
  std::thread thread_;
};
