#include "platform/foundation/RunLoop.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <limits>
#include <map>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/foundation/NSLog.h"

namespace {

// Timers due within this much of "now" fire: it absorbs the rounding of fire times that
// were computed as sums of intervals.
constexpr double kEpsilon = 1e-6;
constexpr double kMinimumTimerInterval = 0.0001;

using SteadyClock = std::chrono::steady_clock;

void runGuarded(const std::function<void()>& fn, const char* where) {
  try {
    fn();
  } catch (const std::exception& e) {
    NSLog("Uncaught exception in %s: %s", where, e.what());
  } catch (...) {
    NSLog("Uncaught exception in %s", where);
  }
}

}  // namespace

Clock::~Clock() = default;

double RealClock::now() const {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

void VirtualClock::advance(double seconds) {
  if (!(seconds > 0)) return;
  double t = now_.load();
  while (!now_.compare_exchange_weak(t, t + seconds)) {
  }
}

void VirtualClock::set(double t) {
  if (!std::isnan(t)) now_.store(t);
}

// ---- the run loop's state --------------------------------------------------------------

struct RunLoop::State {
  using Key = std::pair<double, uint64_t>;  // fire time, then order of scheduling
  struct Entry {
    std::function<void()> block;     // a delayed block, or
    std::shared_ptr<NSTimer> timer;  // a timer, held strongly while scheduled
  };

  mutable std::mutex m;
  std::condition_variable cv;
  std::deque<std::function<void()>> queue;
  std::map<Key, Entry> timers;
  std::unordered_map<const NSTimer*, Key> timerKeys;
  uint64_t seq = 0;
  size_t background = 0;
  double watchdog = 60;

  mutable std::mutex clockMutex;
  std::shared_ptr<Clock> clock = std::make_shared<VirtualClock>();
  // Clocks replaced by install() are kept, so that a Clock& handed out earlier stays valid.
  std::vector<std::shared_ptr<Clock>> retiredClocks;

  std::atomic<std::thread::id> owner{std::this_thread::get_id()};
  std::atomic<bool> driving{false};
  std::atomic<bool> stopRequested{false};

  std::shared_ptr<Clock> currentClock() const {
    std::lock_guard<std::mutex> lock(clockMutex);
    return clock;
  }
  double now() const { return currentClock()->now(); }

  bool hasDueTimerLocked(double now) const {
    return !timers.empty() && timers.begin()->first.first <= now + kEpsilon;
  }

  // Runs one piece of work: the oldest queued block, else the earliest due timer. Returns
  // false when nothing was runnable. Called on the driving thread without the lock held.
  bool runOne() {
    std::function<void()> block;
    Entry entry;
    {
      std::unique_lock<std::mutex> lock(m);
      if (!queue.empty()) {
        block = std::move(queue.front());
        queue.pop_front();
      } else {
        double t = now();
        if (!hasDueTimerLocked(t)) return false;
        auto node = timers.extract(timers.begin());
        entry = std::move(node.mapped());
        if (entry.timer) timerKeys.erase(entry.timer.get());
      }
    }
    if (block) {
      runGuarded(block, "a main-queue block");
    } else if (entry.timer) {
      std::shared_ptr<NSTimer> timer = std::move(entry.timer);
      runGuarded([&] { timer->fireFromRunLoop(); }, "a timer");
    } else if (entry.block) {
      runGuarded(entry.block, "a delayed block");
    }
    return true;
  }

  // Runs until nothing is queued, nothing is due and no background work is running.
  bool drainUntilIdle(SteadyClock::time_point deadline) {
    for (;;) {
      while (runOne()) {
        if (SteadyClock::now() > deadline) return watchdogExpired();
      }
      std::unique_lock<std::mutex> lock(m);
      if (!queue.empty() || hasDueTimerLocked(now())) continue;
      if (background == 0) return true;
      // Background work is running: wait for it to end or to post something. A real clock
      // can make a timer due meanwhile, hence the short slices.
      cv.wait_for(lock, std::chrono::milliseconds(10),
                  [&] { return !queue.empty() || background == 0; });
      if (SteadyClock::now() > deadline) return watchdogExpired();
    }
  }

  bool watchdogExpired() {
    NSLog("RunLoop: gave up waiting for the loop to become idle after %.1f s", watchdog);
    return false;
  }

  SteadyClock::time_point deadline() const {
    std::lock_guard<std::mutex> lock(m);
    return SteadyClock::now() + std::chrono::duration_cast<SteadyClock::duration>(
                                    std::chrono::duration<double>(watchdog));
  }

  std::optional<double> nextTimerTime() const {
    std::lock_guard<std::mutex> lock(m);
    if (timers.empty()) return std::nullopt;
    return timers.begin()->first.first;
  }
};

namespace {

// Marks the loop as driven by the calling thread for the length of a call, and refuses
// nested runs: deferred work must never run inside the work that deferred it.
class DriveScope {
 public:
  explicit DriveScope(RunLoop::State& s) : s_(s) {
    entered_ = !s_.driving.exchange(true);
    if (entered_)
      s_.owner.store(std::this_thread::get_id());
    else
      NSLog("RunLoop: refused a nested run of the main loop");
  }
  ~DriveScope() {
    if (entered_) s_.driving.store(false);
  }
  bool entered() const { return entered_; }

 private:
  RunLoop::State& s_;
  bool entered_;
};

}  // namespace

RunLoop::RunLoop() : s_(std::make_unique<State>()) {}

RunLoop& RunLoop::main() {
  // Never destroyed: background threads and static destructors may still post to it.
  static RunLoop* loop = new RunLoop();
  return *loop;
}

void RunLoop::install(std::shared_ptr<Clock> clock) {
  if (!clock) return;
  {
    std::lock_guard<std::mutex> lock(s_->clockMutex);
    if (s_->retiredClocks.size() < 1000) s_->retiredClocks.push_back(s_->clock);
    s_->clock = std::move(clock);
  }
  s_->cv.notify_all();
}

Clock& RunLoop::clock() { return *s_->currentClock(); }
std::shared_ptr<Clock> RunLoop::clockPtr() { return s_->currentClock(); }
double RunLoop::now() const { return s_->now(); }

void RunLoop::post(std::function<void()> fn) {
  if (!fn) return;
  {
    std::lock_guard<std::mutex> lock(s_->m);
    s_->queue.push_back(std::move(fn));
  }
  s_->cv.notify_all();
}

void RunLoop::postAfter(double seconds, std::function<void()> fn) {
  if (!fn) return;
  if (!(seconds > 0)) seconds = 0;
  double t = now() + seconds;
  {
    std::lock_guard<std::mutex> lock(s_->m);
    s_->timers.emplace(State::Key{t, s_->seq++}, State::Entry{std::move(fn), nullptr});
  }
  s_->cv.notify_all();
}

bool RunLoop::runUntilIdle() {
  DriveScope scope(*s_);
  if (!scope.entered()) return false;
  return s_->drainUntilIdle(s_->deadline());
}

bool RunLoop::advance(double seconds) {
  if (!(seconds > 0)) seconds = 0;
  auto clock = s_->currentClock();
  auto* virtualClock = dynamic_cast<VirtualClock*>(clock.get());
  if (!virtualClock) {
    run(seconds);
    return true;
  }
  DriveScope scope(*s_);
  if (!scope.entered()) return false;
  auto deadline = s_->deadline();
  double target = virtualClock->now() + seconds;
  if (!s_->drainUntilIdle(deadline)) return false;
  for (;;) {
    auto next = s_->nextTimerTime();
    if (!next || *next > target + kEpsilon) break;
    if (*next > virtualClock->now()) virtualClock->set(*next);
    if (!s_->drainUntilIdle(deadline)) return false;
  }
  if (target > virtualClock->now()) virtualClock->set(target);
  return s_->drainUntilIdle(deadline);
}

bool RunLoop::runUntil(const std::function<bool()>& done, double timeoutSeconds) {
  DriveScope scope(*s_);
  auto isDone = [&] { return done && done(); };
  if (!scope.entered()) return isDone();
  struct ClearStop {
    State& s;
    ~ClearStop() { s.stopRequested.store(false); }
  } clearStop{*s_};
  if (std::isnan(timeoutSeconds) || timeoutSeconds < 0) timeoutSeconds = 0;
  const bool forever = std::isinf(timeoutSeconds);
  const double end = now() + timeoutSeconds;

  for (;;) {
    if (s_->stopRequested.load()) return isDone();
    if (s_->runOne()) {
      if (isDone()) return true;
      continue;
    }
    if (isDone()) return true;
    auto clock = s_->currentClock();
    auto* virtualClock = dynamic_cast<VirtualClock*>(clock.get());
    std::unique_lock<std::mutex> lock(s_->m);
    if (!s_->queue.empty() || s_->hasDueTimerLocked(clock->now())) continue;
    double t = clock->now();
    if (!forever && t >= end - kEpsilon && s_->background == 0) return isDone();
    if (virtualClock) {
      if (s_->background > 0) {
        // Background work may post something: wait for it before moving time on.
        s_->cv.wait_for(lock, std::chrono::milliseconds(10));
        continue;
      }
      if (!s_->timers.empty() && (forever || s_->timers.begin()->first.first <= end + kEpsilon)) {
        virtualClock->set(std::max(t, s_->timers.begin()->first.first));
        continue;
      }
      if (!forever) {
        virtualClock->set(end);
        continue;
      }
      // Nothing will ever happen unless another thread posts work or stops the loop.
      s_->cv.wait_for(lock, std::chrono::milliseconds(50));
      continue;
    }
    // A real clock: sleep until the next timer, the end, or new work.
    double wake = forever ? t + 0.05 : std::min(end, t + 0.05);
    if (!s_->timers.empty()) wake = std::min(wake, s_->timers.begin()->first.first);
    double wait = std::max(0.0, wake - t);
    s_->cv.wait_for(lock, std::chrono::duration<double>(wait),
                    [&] { return !s_->queue.empty() || s_->stopRequested.load(); });
  }
}

void RunLoop::run(double seconds) { runUntil(nullptr, seconds); }
void RunLoop::run() { runUntil(nullptr, std::numeric_limits<double>::infinity()); }

void RunLoop::stop() {
  {
    std::lock_guard<std::mutex> lock(s_->m);
    s_->stopRequested.store(true);
  }
  s_->cv.notify_all();
}

bool RunLoop::isMainThread() const { return s_->owner.load() == std::this_thread::get_id(); }

void RunLoop::setWatchdogSeconds(double seconds) {
  std::lock_guard<std::mutex> lock(s_->m);
  if (seconds > 0) s_->watchdog = seconds;
}

size_t RunLoop::pendingCount() const {
  std::lock_guard<std::mutex> lock(s_->m);
  return s_->queue.size() + s_->timers.size();
}

void RunLoop::reset() {
  std::deque<std::function<void()>> queue;
  std::map<State::Key, State::Entry> timers;
  {
    std::unique_lock<std::mutex> lock(s_->m);
    double limit = s_->watchdog;
    if (!s_->cv.wait_for(lock, std::chrono::duration<double>(limit),
                         [&] { return s_->background == 0; }))
      NSLog("RunLoop: reset gave up waiting for background work after %.1f s", limit);
    queue.swap(s_->queue);
    timers.swap(s_->timers);
    s_->timerKeys.clear();
    s_->stopRequested.store(false);
  }
  // Outside the lock: invalidating releases blocks, whose captures may call back in.
  for (auto& [key, entry] : timers)
    if (entry.timer) entry.timer->invalidate();
  timers.clear();
  queue.clear();
  install(std::make_shared<VirtualClock>());
  s_->owner.store(std::this_thread::get_id());
}

void RunLoop::backgroundBegan() {
  std::lock_guard<std::mutex> lock(s_->m);
  ++s_->background;
}

void RunLoop::backgroundEnded() {
  {
    std::lock_guard<std::mutex> lock(s_->m);
    if (s_->background > 0) --s_->background;
  }
  s_->cv.notify_all();
}

void RunLoop::scheduleTimer(const std::shared_ptr<NSTimer>& timer, double fireTime) {
  if (!timer) return;
  State::Entry old;
  {
    std::lock_guard<std::mutex> lock(s_->m);
    auto it = s_->timerKeys.find(timer.get());
    if (it != s_->timerKeys.end()) {
      auto node = s_->timers.extract(it->second);
      if (!node.empty()) old = std::move(node.mapped());
    }
    State::Key key{fireTime, s_->seq++};
    s_->timers.emplace(key, State::Entry{nullptr, timer});
    s_->timerKeys[timer.get()] = key;
  }
  s_->cv.notify_all();
}

void RunLoop::unscheduleTimer(const NSTimer* timer) {
  State::Entry removed;  // released after the lock
  std::lock_guard<std::mutex> lock(s_->m);
  auto it = s_->timerKeys.find(timer);
  if (it == s_->timerKeys.end()) return;
  auto node = s_->timers.extract(it->second);
  if (!node.empty()) removed = std::move(node.mapped());
  s_->timerKeys.erase(it);
}

// ---- dispatch ----------------------------------------------------------------------------

namespace {

// The global queue: a pool of worker threads that grows while all are busy. It lives for
// the whole process; idle workers wait for work.
class WorkerPool {
 public:
  static WorkerPool& shared() {
    static WorkerPool* pool = new WorkerPool();
    return *pool;
  }

  void submit(std::function<void()> fn) {
    RunLoop::main().backgroundBegan();
    std::lock_guard<std::mutex> lock(m_);
    tasks_.push_back(std::move(fn));
    if (idle_ < tasks_.size() && threads_ < kMaxThreads) {
      ++threads_;
      ++idle_;
      std::thread([this] { work(); }).detach();
    }
    cv_.notify_one();
  }

 private:
  static constexpr size_t kMaxThreads = 64;

  void work() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      cv_.wait(lock, [&] { return !tasks_.empty(); });
      auto fn = std::move(tasks_.front());
      tasks_.pop_front();
      --idle_;
      lock.unlock();
      runGuarded(fn, "a global-queue block");
      fn = nullptr;  // release captures before the run loop hears that the work ended
      RunLoop::main().backgroundEnded();
      lock.lock();
      ++idle_;
    }
  }

  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> tasks_;
  size_t idle_ = 0;
  size_t threads_ = 0;
};

}  // namespace

void dispatch_async_main(std::function<void()> fn) { RunLoop::main().post(std::move(fn)); }
void dispatch_async_global(std::function<void()> fn) {
  if (fn) WorkerPool::shared().submit(std::move(fn));
}
void dispatch_after(double seconds, std::function<void()> fn) {
  RunLoop::main().postAfter(seconds, std::move(fn));
}

struct DispatchQueue::Impl {
  std::mutex m;
  std::condition_variable cv;
  std::deque<std::function<void()>> tasks;
  bool stopping = false;
  std::thread worker;
  std::atomic<std::thread::id> workerId{};

  void work() {
    workerId.store(std::this_thread::get_id());
    std::unique_lock<std::mutex> lock(m);
    for (;;) {
      cv.wait(lock, [&] { return stopping || !tasks.empty(); });
      if (tasks.empty()) return;  // stopping, and all queued work is done
      auto fn = std::move(tasks.front());
      tasks.pop_front();
      lock.unlock();
      runGuarded(fn, "a serial-queue block");
      fn = nullptr;
      RunLoop::main().backgroundEnded();
      lock.lock();
    }
  }
};

DispatchQueue::DispatchQueue(std::string label)
    : label_(std::move(label)), impl_(std::make_shared<Impl>()) {
  std::shared_ptr<Impl> impl = impl_;  // the worker keeps its state alive
  impl_->worker = std::thread([impl] { impl->work(); });
}

DispatchQueue::~DispatchQueue() {
  {
    std::lock_guard<std::mutex> lock(impl_->m);
    impl_->stopping = true;
  }
  impl_->cv.notify_all();
  if (impl_->worker.get_id() == std::this_thread::get_id())
    impl_->worker.detach();  // dying from its own block
  else if (impl_->worker.joinable())
    impl_->worker.join();
}

void DispatchQueue::async(std::function<void()> fn) {
  if (!fn) return;
  RunLoop::main().backgroundBegan();
  {
    std::lock_guard<std::mutex> lock(impl_->m);
    impl_->tasks.push_back(std::move(fn));
  }
  impl_->cv.notify_one();
}

void DispatchQueue::sync(std::function<void()> fn) {
  if (!fn) return;
  if (isCurrent()) {
    fn();
    return;
  }
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  async([&] {
    runGuarded(fn, "a serial-queue block");
    std::lock_guard<std::mutex> lock(m);
    done = true;
    cv.notify_all();
  });
  std::unique_lock<std::mutex> lock(m);
  cv.wait(lock, [&] { return done; });
}

bool DispatchQueue::isCurrent() const {
  return impl_->workerId.load() == std::this_thread::get_id();
}

// ---- NSTimer -------------------------------------------------------------------------------

NSTimer::NSTimer(double interval, Block fire, bool repeats)
    : interval_(std::isnan(interval) || interval < kMinimumTimerInterval ? kMinimumTimerInterval
                                                                         : interval),
      repeats_(repeats),
      block_(std::make_shared<Block>(std::move(fire))) {}

std::shared_ptr<NSTimer> NSTimer::scheduledTimerWithTimeInterval(double interval, Block fire,
                                                                 bool repeats) {
  auto timer = std::make_shared<NSTimer>(interval, std::move(fire), repeats);
  std::lock_guard<std::mutex> lock(timer->mutex_);
  timer->start_ = RunLoop::main().now();
  timer->firing_ = 1;
  timer->fireDate_ = timer->start_ + timer->interval_;
  RunLoop::main().scheduleTimer(timer, timer->fireDate_);
  return timer;
}

void NSTimer::invalidate() {
  auto keepAlive = weak_from_this().lock();  // the run loop may hold the last reference
  std::shared_ptr<Block> released;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!valid_) return;
    valid_ = false;
    released = std::move(block_);
  }
  RunLoop::main().unscheduleTimer(this);
}

bool NSTimer::isValid() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return valid_;
}

double NSTimer::fireDate() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return fireDate_;
}

void NSTimer::fire() {
  auto keepAlive = weak_from_this().lock();
  std::shared_ptr<Block> block;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!valid_) return;
    block = block_;
  }
  if (block && *block) (*block)(*this);
  if (!repeats_) invalidate();
}

void NSTimer::fireFromRunLoop() {
  auto self = std::static_pointer_cast<NSTimer>(shared_from_this());
  std::shared_ptr<Block> block;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!valid_) return;
    block = block_;
    if (repeats_) {
      // Firings keep to the original schedule (start + n * interval, so that rounding does
      // not add up) and skip the ones missed.
      double now = RunLoop::main().now();
      uint64_t n = firing_ + 1;
      double behind = std::floor((now - start_) / interval_ + kEpsilon) + 1;
      if (behind > static_cast<double>(n)) n = static_cast<uint64_t>(behind);
      firing_ = n;
      double next = start_ + static_cast<double>(n) * interval_;
      fireDate_ = next;
      RunLoop::main().scheduleTimer(self, next);
    }
  }
  if (block && *block) (*block)(*this);
  if (!repeats_) invalidate();
}
