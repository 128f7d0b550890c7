#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"

namespace {
// An archive of `levels` arrays whose object i lists object `next(i)` `copies` times; the
// last array's class record follows them. Root is object 1.
Value::Data arrayChainArchive(int levels, int copies, int (*next)(int)) {
  plist_t archive = plist_new_dict();
  plist_dict_set_item(archive, "$archiver", plist_new_string("NSKeyedArchiver"));
  plist_dict_set_item(archive, "$version", plist_new_uint(100000));
  plist_t top = plist_new_dict();
  plist_dict_set_item(top, "root", plist_new_uid(1));
  plist_dict_set_item(archive, "$top", top);
  plist_t objects = plist_new_array();
  plist_array_append_item(objects, plist_new_string("$null"));
  const int classIndex = levels + 1;
  for (int i = 1; i <= levels; ++i) {
    plist_t array = plist_new_dict();
    plist_t refs = plist_new_array();
    for (int c = 0; c < copies; ++c)
      plist_array_append_item(refs, plist_new_uid(static_cast<uint64_t>(next(i))));
    plist_dict_set_item(array, "NS.objects", refs);
    plist_dict_set_item(array, "$class", plist_new_uid(static_cast<uint64_t>(classIndex)));
    plist_array_append_item(objects, array);
  }
  plist_t record = plist_new_dict();
  plist_dict_set_item(record, "$classname", plist_new_string("NSArray"));
  plist_array_append_item(objects, record);
  plist_dict_set_item(archive, "$objects", objects);
  char* raw = nullptr;
  uint32_t length = 0;
  plist_to_bin(archive, &raw, &length);
  Value::Data bytes(reinterpret_cast<uint8_t*>(raw), reinterpret_cast<uint8_t*>(raw) + length);
  std::free(raw);
  plist_free(archive);
  return bytes;
}

}  // namespace

TEST(NSKeyedArchiver, DictionariesArraysAndScalarsRoundTripThroughThePlatformsKeyedFormat) {
  Value local =
      Value::dict({{"CommonUDID_slot", "org.CommonUDID.slot.3"},
                   {"count", 7},
                   {"ratio", 0.25},
                   {"saved", Value::boolean(true)},
                   {"blob", Value::data({1, 2, 3})},
                   {"list", Value::array({"a", Value::dict({{"中文", "值"}}), Value::null()})}});
  auto bytes = NSKeyedArchiver::archivedDataWithRootObject(local);
  auto plist = Plist::parse(bytes);
  ASSERT_TRUE(plist);
  EXPECT_EQ((*plist)["$archiver"].str(), "NSKeyedArchiver");
  EXPECT_EQ((*plist)["$version"].intValue(), 100000);
  EXPECT_EQ((*plist)["$objects"][0].str(), "$null");
  auto back = NSKeyedUnarchiver::unarchiveObjectWithData(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, local);
  EXPECT_TRUE((*back)["list"][2].isNull());
  EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(
                NSKeyedArchiver::archivedDataWithRootObject("uuid"))
                ->str(),
            "uuid");
  EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(Value()).empty());
}

TEST(NSKeyedUnarchiver, DataThatIsNotAKeyedArchiveOrIsCircularCannotBeUnarchived) {
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData({}));
  EXPECT_FALSE(
      NSKeyedUnarchiver::unarchiveObjectWithData({'g', 'a', 'r', 'b', 'a', 'g', 'e', '!', '!'}));
  EXPECT_FALSE(
      NSKeyedUnarchiver::unarchiveObjectWithData(Plist::toBinary(Value::dict({{"a", 1}}))));
  // The root array holds a reference to itself.
  EXPECT_FALSE(
      NSKeyedUnarchiver::unarchiveObjectWithData(arrayChainArchive(1, 1, [](int) { return 1; })));
}

TEST(NSKeyedUnarchiver, AnArchiveThatExpandsWithoutBoundIsRefusedQuickly) {
  // Sixty levels, each listing the next level twice: a few kilobytes that would expand to
  // 2^60 objects. A pasteboard slot can hold this, written by any app on the device.
  auto bomb = arrayChainArchive(60, 2, [](int i) { return i < 60 ? i + 1 : 0; });
  EXPECT_LT(bomb.size(), 10000u);
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(bomb));
  // Shared references within reason still read: eight levels of two make 256 leaves.
  auto shared = NSKeyedUnarchiver::unarchiveObjectWithData(
      arrayChainArchive(8, 2, [](int i) { return i < 8 ? i + 1 : 0; }));
  ASSERT_TRUE(shared);
  EXPECT_EQ((*shared)[0][1][0][1][0][1][0].count(), 2u);
}

TEST(NSKeyedArchiver, ADateIsArchivedAsTheDateClassWithItsSecondsSince2001) {
  const auto archive = Plist::parse(
      NSKeyedArchiver::archivedDataWithRootObject(Value::dict({{"at", Value::date(978307260.5)}})));
  ASSERT_TRUE(archive);
  bool found = false;
  for (const auto& object : (*archive)["$objects"].arrayValue()) {
    if (object.contains("NS.time")) {
      found = true;
      EXPECT_EQ(object["NS.time"], Value(60.5));
    }
  }
  EXPECT_TRUE(found);
  const auto back = NSKeyedUnarchiver::unarchiveObjectWithData(
      NSKeyedArchiver::archivedDataWithRootObject(Value::dict({{"at", Value::date(978307260.5)}})));
  ASSERT_TRUE(back);
  EXPECT_DOUBLE_EQ((*back)["at"].isDate() ? (*back)["at"].dateValue() : (*back)["at"].doubleValue(),
                   978307260.5);
}
