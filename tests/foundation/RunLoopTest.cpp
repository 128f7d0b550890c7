#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/RunLoop.h"

namespace {

class RunLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop().reset();
    loop().setWatchdogSeconds(10);  // a hanging loop fails the test instead of the run
  }
  void TearDown() override { loop().reset(); }
  static RunLoop& loop() { return RunLoop::main(); }
};

}  // namespace

TEST_F(RunLoopTest, MainQueueRunsInOrderOnTheDrivingThreadAndNeverInsideThePost) {
  std::vector<int> order;
  bool ranInsidePost = true;
  dispatch_async_main([&] {
    order.push_back(1);
    dispatch_async_main([&] { order.push_back(3); });
    ranInsidePost = order.size() != 1;
  });
  dispatch_async_main([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(loop().runUntilIdle());
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(ranInsidePost);
  EXPECT_TRUE(loop().isMainThread());
}

TEST_F(RunLoopTest, DelayedBlocksFireWhenTheVirtualClockReachesThem) {
  double start = loop().now();
  std::vector<std::pair<int, double>> fired;
  dispatch_after(2.0, [&] { fired.push_back({2, loop().now() - start}); });
  dispatch_after(0.5, [&] { fired.push_back({1, loop().now() - start}); });
  dispatch_after(2.0, [&] { fired.push_back({3, loop().now() - start}); });
  loop().runUntilIdle();
  EXPECT_TRUE(fired.empty());
  loop().advance(1.0);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_DOUBLE_EQ(fired[0].second, 0.5);
  loop().advance(1.0);
  ASSERT_EQ(fired.size(), 3u);
  EXPECT_EQ(fired[1].first, 2);
  EXPECT_EQ(fired[2].first, 3);
  EXPECT_NEAR(fired[2].second, 2.0, 1e-6);
  EXPECT_NEAR(loop().now() - start, 2.0, 1e-6);
}

TEST_F(RunLoopTest, RepeatingTimerFiresOncePerIntervalWithoutDriftUntilInvalidated) {
  int ticks = 0;
  auto timer = NSTimer::scheduledTimerWithTimeInterval(
      0.1,
      [&](NSTimer& t) {
        if (++ticks == 1000) t.invalidate();
      },
      true);
  loop().advance(1.0);
  EXPECT_EQ(ticks, 10);
  EXPECT_TRUE(timer->isValid());
  for (int i = 0; i < 99; ++i) loop().advance(1.0);  // fractional steps add up exactly
  EXPECT_EQ(ticks, 1000);
  EXPECT_FALSE(timer->isValid());
  EXPECT_EQ(loop().pendingCount(), 0u);
  loop().advance(10);
  EXPECT_EQ(ticks, 1000);
}

TEST_F(RunLoopTest, TimersReleaseWhatTheirBlocksCaptureOnceFiredOrInvalidated) {
  auto owner = std::make_shared<int>(7), repeated = std::make_shared<int>(1);
  std::weak_ptr<int> watchOwner = owner, watchRepeated = repeated;
  int fired = 0;
  NSTimer::scheduledTimerWithTimeInterval(
      3, [owner, &fired](NSTimer&) { fired += *owner; }, false);
  auto timer = NSTimer::scheduledTimerWithTimeInterval(
      1, [repeated](NSTimer&) {}, true);
  owner.reset();
  repeated.reset();
  EXPECT_FALSE(watchOwner.expired()) << "the scheduled timer keeps its block's captures alive";
  loop().advance(2.9);
  EXPECT_EQ(fired, 0);
  loop().advance(0.2);
  EXPECT_EQ(fired, 7);
  EXPECT_TRUE(watchOwner.expired());
  loop().advance(10);
  EXPECT_EQ(fired, 7);
  EXPECT_FALSE(watchRepeated.expired());
  timer->invalidate();
  EXPECT_TRUE(watchRepeated.expired());
  EXPECT_EQ(loop().pendingCount(), 0u);
}

TEST_F(RunLoopTest, SerialQueueRunsBlocksOneAtATimeInOrder) {
  DispatchQueue queue("StatStore");
  EXPECT_EQ(queue.label(), "StatStore");
  std::vector<int> order;  // touched only on the queue's worker
  std::atomic<int> concurrent{0}, maxConcurrent{0};
  for (int i = 0; i < 50; ++i) {
    queue.async([&, i] {
      int now = ++concurrent;
      maxConcurrent = std::max(maxConcurrent.load(), now);
      order.push_back(i);
      --concurrent;
    });
  }
  bool nestedSyncRan = false;
  queue.sync([&] {
    EXPECT_TRUE(queue.isCurrent());
    queue.sync([&] { nestedSyncRan = true; });
  });
  EXPECT_TRUE(nestedSyncRan);
  EXPECT_EQ(order.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(maxConcurrent.load(), 1);
  EXPECT_TRUE(loop().runUntilIdle());
}

TEST_F(RunLoopTest,
       NestedRunsAreRefusedSoDeferredWorkIsNeverReentrantAndTheWatchdogStopsEndlessWork) {
  NSLogSink::setEcho(false);
  bool innerResult = true, laterRan = false, laterRanInside = false;
  dispatch_async_main([&] {
    dispatch_async_main([&] { laterRan = true; });
    innerResult = loop().runUntilIdle();
    laterRanInside = laterRan;
  });
  loop().runUntilIdle();
  EXPECT_FALSE(innerResult);
  EXPECT_FALSE(laterRanInside);
  EXPECT_TRUE(laterRan);
  // The watchdog stops a loop that never becomes idle.
  loop().setWatchdogSeconds(0.2);
  std::function<void()> again = [&] { dispatch_async_main(again); };
  dispatch_async_main(again);
  EXPECT_FALSE(loop().runUntilIdle());
  NSLogSink::setEcho(true);
  EXPECT_TRUE(NSLogSink::contains("gave up"));
}

TEST_F(RunLoopTest, RunUntilStopsWhenDoneOrAtTheTimeout) {
  int ticks = 0;
  auto timer = NSTimer::scheduledTimerWithTimeInterval(
      0.5, [&](NSTimer&) { ++ticks; }, true);
  double start = loop().now();
  EXPECT_TRUE(loop().runUntil([&] { return ticks == 3; }, 10));
  EXPECT_NEAR(loop().now() - start, 1.5, 1e-6);
  EXPECT_FALSE(loop().runUntil([] { return false; }, 2));
  EXPECT_EQ(ticks, 7);
  timer->invalidate();
}

TEST_F(RunLoopTest, RealClockRunsTimersInRealTimeUntilStopped) {
  loop().install(std::make_shared<RealClock>());
  int ticks = 0;
  auto timer = NSTimer::scheduledTimerWithTimeInterval(
      0.01,
      [&](NSTimer&) {
        if (++ticks == 3) loop().stop();
      },
      true);
  std::promise<void> finished;  // a broken stop() fails the test instead of hanging it
  std::thread watchdog([&, done = finished.get_future()] {
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) loop().stop();
  });
  loop().run();
  finished.set_value();
  watchdog.join();
  EXPECT_EQ(ticks, 3);
  timer->invalidate();
}

TEST_F(RunLoopTest, DispatchOnceRunsItsBlockOnlyOnce) {
  dispatch_once_t once;
  std::atomic<int> count{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) threads.emplace_back([&] { dispatch_once(once, [&] { ++count; }); });
  for (auto& t : threads) t.join();
  EXPECT_EQ(count.load(), 1);
}
