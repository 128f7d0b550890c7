#pragma once
// The main run loop, the clock, background queues and timers.
//
// Threads: the main run loop runs on whichever thread drives it: the thread that calls
// runUntilIdle(), advance(), run() or runUntil() (the test's thread, or the simulator's
// main thread). Everything posted to the main queue, every delayed block and every timer
// runs there, one at a time, never inside the call that posted it. post(), postAfter(),
// dispatch_*() and DispatchQueue work from any thread.
//
// Time: the installed Clock gives "now" in seconds since 1970. A RealClock reads the
// system clock; a VirtualClock (the default, for tests) stands still until advance() moves
// it, so timers and delayed blocks fire exactly when a test says.
//
// Background work (dispatch_async_global, DispatchQueue) runs on real threads. The run
// loop counts it, so that runUntilIdle() can wait for it to finish and then run what it
// posted to the main queue.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/NSObject.h"

class Clock {
 public:
  virtual ~Clock();
  virtual double now() const = 0;  // seconds since 1970
};

class RealClock : public Clock {
 public:
  double now() const override;
};

// Stands still until advanced. Starts at 1700000000 (2023-11-14 22:13:20 UTC) unless told
// otherwise, so that dates derived from it look like real ones. Thread-safe.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(double start = 1700000000.0) : now_(start) {}
  double now() const override { return now_.load(); }
  void advance(double seconds);  // negative or NaN steps are ignored
  void set(double t);            // used by the run loop to step to each due time

 private:
  std::atomic<double> now_;
};

class NSTimer;

class RunLoop {
 public:
  static RunLoop& main();  // lives for the whole process

  // At start: a RealClock in the simulator; a VirtualClock (the default) in tests.
  void install(std::shared_ptr<Clock> clock);
  Clock& clock();  // stays valid for the whole process, even after install()
  std::shared_ptr<Clock> clockPtr();
  double now() const;

  // The main queue, FIFO. Thread-safe; fn runs later on the loop's thread.
  void post(std::function<void()> fn);
  // Runs fn on the loop's thread once the clock reaches now + seconds (negative -> 0).
  // Blocks due at the same time run in the order they were posted.
  void postAfter(double seconds, std::function<void()> fn);

  // Waits for background work, runs the main queue and due timers, and repeats until all
  // is quiet. Does not move a virtual clock. Returns false when the watchdog (default
  // 60 s of real time) expired first, or when called from inside work that the loop runs
  // (nested runs are refused: deferred work never runs re-entrantly).
  bool runUntilIdle();
  // Virtual clock: steps the clock to each due timer or block up to now + seconds, in time
  // order, running the loop until idle at each step. Real clock: runs the loop for that
  // long. Returns false when a watchdog expired or the call was nested.
  bool advance(double seconds);
  // Runs the loop until done() is true (checked after each piece of work), stop() is
  // called, or timeoutSeconds pass on the installed clock (a virtual clock is stepped
  // from timer to timer). Returns done()'s last answer.
  bool runUntil(const std::function<bool()>& done, double timeoutSeconds);
  void run(double seconds);  // runUntil(never, seconds)
  void run();                // until stop(); for the simulator with a real clock
  void stop();               // thread-safe; ends run()/runUntil() after the current work

  bool isMainThread() const;  // the thread that drives the loop (or created it, before)
  void setWatchdogSeconds(double seconds);  // real-time limit of one runUntilIdle()
  size_t pendingCount() const;              // queued blocks + scheduled timers and delayed blocks
  // For tests: waits for background work, drops pending blocks and timers, installs a
  // fresh VirtualClock and makes the calling thread the loop's thread.
  void reset();

  // Used by the queues to let runUntilIdle() wait for background work.
  void backgroundBegan();
  void backgroundEnded();
  // Used by NSTimer.
  void scheduleTimer(const std::shared_ptr<NSTimer>& timer, double fireTime);
  void unscheduleTimer(const NSTimer* timer);

  struct State;

 private:
  RunLoop();
  ~RunLoop() = delete;
  std::unique_ptr<State> s_;
};

// Runs fn on the main run loop, later.
void dispatch_async_main(std::function<void()> fn);
// Runs fn on a pool of real worker threads (more are started while all are busy, up to 64).
void dispatch_async_global(std::function<void()> fn);
// Runs fn on the main run loop once the clock has moved on by seconds.
void dispatch_after(double seconds, std::function<void()> fn);

// dispatch_once
using dispatch_once_t = std::once_flag;
template <class F>
void dispatch_once(dispatch_once_t& once, F&& fn) {
  std::call_once(once, std::forward<F>(fn));
}

// A named serial queue with one worker thread of its own: blocks run one after another,
// in order. Destroying the queue finishes the blocks already queued, then ends the worker.
class DispatchQueue {
 public:
  explicit DispatchQueue(std::string label);
  ~DispatchQueue();
  DispatchQueue(const DispatchQueue&) = delete;
  DispatchQueue& operator=(const DispatchQueue&) = delete;
  void async(std::function<void()> fn);
  // Runs fn on the queue and waits for it. Called from the queue's own worker, it runs fn
  // at once instead of deadlocking.
  void sync(std::function<void()> fn);
  const std::string& label() const { return label_; }
  bool isCurrent() const;  // true on this queue's worker thread

  struct Impl;

 private:
  std::string label_;
  std::shared_ptr<Impl> impl_;
};

// A timer that fires on the main run loop. The run loop holds a scheduled timer, and with
// it everything its block captures, until the timer is invalidated or, when it does not
// repeat, has fired. Intervals below 0.1 ms are raised to 0.1 ms. A repeating timer that
// fell behind skips the missed firings. Scheduling works from any thread; the block always
// runs on the main run loop.
class NSTimer : public NSObject {
  TOVIRA_CLASS(NSTimer)
  using Block = std::function<void(NSTimer&)>;
  static std::shared_ptr<NSTimer> scheduledTimerWithTimeInterval(double interval, Block fire,
                                                                 bool repeats);
  void invalidate();  // thread-safe; releases the block (after it returns, when it is running)
  bool isValid() const;
  double timeInterval() const { return interval_; }
  bool repeats() const { return repeats_; }
  double fireDate() const;  // next firing on the run loop's clock
  void fire();              // runs the block now; a non-repeating timer is then invalidated

  NSTimer(double interval, Block fire, bool repeats);  // use scheduledTimerWithTimeInterval

 private:
  friend class RunLoop;
  void fireFromRunLoop();
  mutable std::mutex mutex_;
  double interval_;
  bool repeats_;
  bool valid_ = true;
  double fireDate_ = 0;
  double start_ = 0;     // when it was scheduled
  uint64_t firing_ = 0;  // index of the next firing: it is due at start_ + firing_ * interval_
  std::shared_ptr<Block> block_;
};
