#include <gtest/gtest.h>

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"

TEST(NSKeyedArchiver, ArchivesInThePlatformsKeyedFormat) {
  auto bytes = NSKeyedArchiver::archivedDataWithRootObject(Value::dict({{"a", 1}}));
  auto plist = Plist::parse(bytes);
  ASSERT_TRUE(plist);
  EXPECT_EQ((*plist)["$archiver"].str(), "NSKeyedArchiver");
  EXPECT_EQ((*plist)["$version"].intValue(), 100000);
  EXPECT_EQ((*plist)["$objects"][0].str(), "$null");
  EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(Value()).empty());
}

TEST(NSKeyedArchiver, DictionariesArraysAndScalarsRoundTrip) {
  Value local =
      Value::dict({{"CommonUDID_slot", "org.CommonUDID.slot.3"},
                   {"count", 7},
                   {"ratio", 0.25},
                   {"saved", Value::boolean(true)},
                   {"blob", Value::data({1, 2, 3})},
                   {"list", Value::array({"a", Value::dict({{"中文", "值"}}), Value::null()})}});
  auto back = NSKeyedUnarchiver::unarchiveObjectWithData(
      NSKeyedArchiver::archivedDataWithRootObject(local));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, local);
  EXPECT_TRUE((*back)["list"][2].isNull());
  EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(
                NSKeyedArchiver::archivedDataWithRootObject("uuid"))
                ->str(),
            "uuid");
}
