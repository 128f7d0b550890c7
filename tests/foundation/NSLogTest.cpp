#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/NSLog.h"

TEST(NSLog, KeepsFormattedLinesFromEveryThreadForTestsToRead) {
  NSLogSink::clear();
  NSLog("DES加密失败");
  NSLog("reply %@ state=%d", Value::dict({{"a", 1}})["a"], 3);
  EXPECT_EQ(NSLogSink::lines(), (std::vector<std::string>{"DES加密失败", "reply 1 state=3"}));
  EXPECT_TRUE(NSLogSink::contains("state=3"));
  NSLogSink::clear();
  EXPECT_TRUE(NSLogSink::lines().empty());
  NSLogSink::setEcho(false);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 100; ++i) NSLog("thread %d line %d", t, i);
    });
  for (auto& th : threads) th.join();
  NSLogSink::setEcho(true);
  EXPECT_EQ(NSLogSink::lines().size(), 400u);
  NSLogSink::clear();
}
