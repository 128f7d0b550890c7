#include <gtest/gtest.h>

#include "platform/foundation/NSDateFormatter.h"

TEST(NSDateFormatter, FormatsTr35PatternsInTheDeviceOrDefaultTimeZone) {
  NSDateFormatter f;
  EXPECT_EQ(f.timeZone(), "Asia/Shanghai");
  f.setDateFormat("yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(f.stringFromDate(0), "1970-01-01 08:00:00");
  EXPECT_EQ(f.stringFromDate(1700000000), "2023-11-15 06:13:20");
  f.setDateFormat("MM月dd日 HH:mm");
  EXPECT_EQ(f.stringFromDate(1700000000), "11月15日 06:13");
  // A new default time zone applies to the formatters made after it.
  NSDateFormatter::setDefaultTimeZone("Europe/London");
  NSDateFormatter london;
  london.setDateFormat("HH:mm");
  EXPECT_EQ(london.stringFromDate(1700000000), "22:13");
  NSDateFormatter::setDefaultTimeZone("Asia/Shanghai");
}

TEST(NSDateFormatter, DatesPast2038FormatAndParseInASetTimeZoneAndUnparsableTextGivesNoDate) {
  NSDateFormatter f;
  f.setTimeZone("UTC");
  f.setDateFormat("yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(f.stringFromDate(2147483648.0), "2038-01-19 03:14:08");
  EXPECT_EQ(f.stringFromDate(4102444800.0), "2100-01-01 00:00:00");
  f.setTimeZone("America/New_York");
  EXPECT_EQ(f.stringFromDate(4102444800.0), "2099-12-31 19:00:00");
  EXPECT_EQ(f.dateFromString("2099-12-31 19:00:00"), 4102444800.0);
  for (const char* bad : {"tomorrow", "2099-12-31 19:00:00 extra"})
    EXPECT_FALSE(f.dateFromString(bad)) << bad;
  EXPECT_EQ(f.stringFromDate(std::numeric_limits<double>::quiet_NaN()), "");
}
