#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/TempData.h"

TEST(TempDataTest, EachSlotKeepsItsOwnValueAndNilClearsIt) {
  TempData::reset();
  TempData::setuserdata(Value::dict({{"username", "demo"}}));
  TempData::setcontrollerdata(Value::dict({{"flag", "1"}}));
  TempData::setotherdata(Value::dict({{"step", "2"}}));
  EXPECT_EQ(TempData::getuserdata()["username"].str(), "demo");
  EXPECT_EQ(TempData::getcontrollerdata()["flag"].str(), "1");
  EXPECT_EQ(TempData::getotherdata()["step"].str(), "2");
  TempData::setcontrollerdata(Value());
  EXPECT_TRUE(TempData::getcontrollerdata().isNil());
  EXPECT_FALSE(TempData::getuserdata().isNil());
  TempData::reset();
  EXPECT_TRUE(TempData::getuserdata().isNil());
  EXPECT_TRUE(TempData::getotherdata().isNil());
}

TEST(TempDataTest, ReadersOnOtherThreadsAlwaysSeeAWholeUserData) {
  TempData::reset();
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) {
    readers.emplace_back([&] {
      while (!done) {
        const Value user = TempData::getuserdata();
        if (!user.isNil() && user["username"].str() != "u" + user["n"].str()) ++torn;
      }
    });
  }
  for (int n = 0; n < 2000; ++n) {
    TempData::setuserdata(Value::dict({{"username", "u" + std::to_string(n)}, {"n", n}}));
  }
  done = true;
  for (auto& t : readers) t.join();
  EXPECT_EQ(torn.load(), 0);
  TempData::reset();
}
