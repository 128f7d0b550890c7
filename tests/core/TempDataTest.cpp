#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/TempData.h"

TEST(TempDataTest, EachSlotKeepsItsOwnValueAndNilClearsIt) {
  TempData::reset();
  TempData::setuserdata(Value("user"));
  TempData::setcontrollerdata(Value("controller"));
  TempData::setotherdata(Value("other"));
  auto slots = [] {
    return TempData::getuserdata().str() + "|" + TempData::getcontrollerdata().str() + "|" +
           TempData::getotherdata().str();
  };
  EXPECT_EQ(slots(), "user|controller|other");
  TempData::setcontrollerdata(Value());
  EXPECT_EQ(slots(), "user||other");
  TempData::reset();
  EXPECT_EQ(slots(), "||");
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
