#include "Watchdog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

Watchdog::Watchdog(double seconds, std::string what) {
  thread_ = std::thread([this, seconds, what = std::move(what)] {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return disarmed_; })) {
      std::fprintf(stderr, "\nwatchdog: %s still running after %.0f s; aborting\n", what.c_str(),
                   seconds);
      std::fflush(stderr);
      std::abort();
    }
  });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    disarmed_ = true;
  }
  cv_.notify_all();
  thread_.join();
}
