#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "core/StrHelper.h"
#include "core/Tgid.h"
#include "core/Time.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/Sandbox.h"
#include "support/AppFixture.h"

namespace fs = std::filesystem;

// Short text does not crash and keeps what it has of the first three characters.
TEST(StrHelperTest, MasksTheMiddleOfAMobileNumber) {
  const std::pair<const char*, const char*> cases[] = {{"13812345678", "138****5678"},
                                                       {"1381234", "138****"},
                                                       {"张三丰abcdefg", "张三丰****efg"},
                                                       {"", "****"},
                                                       {"ab", "ab****"},
                                                       {"abcdef", "abc****"},
                                                       {"用户", "用户****"}};
  for (const auto& [number, masked] : cases) EXPECT_EQ(StrHelper::getjiamiphonenum(number), masked);
}

class TimeTest : public AppFixture {};

TEST_F(TimeTest, CurrentTimeIsWholeSecondsOnTheRunLoopClock) {
  EXPECT_EQ(Time::getCurrentTime(), 1700000000);
  advance(1.7);
  EXPECT_EQ(Time::getCurrentTime(), 1700000001);
}

// In the device's time zone, and 64-bit past 2038.
TEST_F(TimeTest, DatesAreWrittenInTheDeviceTimeZone) {
  const std::string zone = NSDateFormatter::defaultTimeZone();
  const std::tuple<const char*, long long, const char*, const char*> cases[] = {
      {"Asia/Shanghai", 1700000000, "yyyy/MM/dd HH:mm:ss", "2023/11/15 06:13:20"},
      {"UTC", 1700000000, "yyyy-MM-dd HH:mm", "2023-11-14 22:13"},
      {"UTC", 4102444800LL, "yyyy-MM-dd", "2100-01-01"},
      {"UTC", 2147483648LL, "yyyy-MM-dd HH:mm:ss", "2038-01-19 03:14:08"},
  };
  for (const auto& [timeZone, stamp, format, expected] : cases) {
    NSDateFormatter::setDefaultTimeZone(timeZone);
    EXPECT_EQ(Time::getDateFromTimestamp(stamp, format), expected) << timeZone << " " << stamp;
  }
  NSDateFormatter::setDefaultTimeZone(zone);
}

class TgidTest : public ::testing::Test {
 protected:
  std::string bundle = Sandbox::makeTemporaryDirectory("tovira-bundle");
  void TearDown() override { fs::remove_all(bundle); }
  void touch(const std::string& relative) {
    fs::create_directories(fs::path(bundle + "/" + relative).parent_path());
    std::ofstream(bundle + "/" + relative) << "";
  }
};

// Without a marker in the signature folder the channel is 777; with markers, the last one of a
// sorted recursive walk.
TEST_F(TgidTest, TakesTheLastMarkerOfASortedRecursiveWalkOr777) {
  EXPECT_EQ(Tgid::gettgid(bundle), "777");
  touch("_CodeSignature/CodeResources");
  touch("cid_999");  // outside the signature folder: not a marker
  EXPECT_EQ(Tgid::gettgid(bundle), "777");
  touch("_CodeSignature/cid_1001");
  EXPECT_EQ(Tgid::gettgid(bundle), "1001");
  touch("_CodeSignature/cid_0500");
  touch("_CodeSignature/sub/cid_2002");
  touch("_CodeSignature/zz/other");
  // Walk order: cid_0500, cid_1001, sub, sub/cid_2002, zz, zz/other.
  EXPECT_EQ(Tgid::gettgid(bundle), "2002");
  touch("_CodeSignature/zz/cid_3003");
  EXPECT_EQ(Tgid::gettgid(bundle), "3003");
}
