#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/PlistFormat.h"

namespace {
using plist_format::BinaryWriter;

// A keyed archive whose $objects are "$null" and then the objects `fill` adds (as indexes of the
// writer's objects); root is object 1.
Value::Data keyedArchive(const std::function<void(BinaryWriter&, std::vector<uint64_t>&)>& fill) {
  BinaryWriter w;
  auto key = [&](const char* k) { return w.addScalar(Value(k)); };
  std::vector<uint64_t> objects = {w.addScalar(Value("$null"))};
  fill(w, objects);
  const uint64_t top = w.addDict({{key("root"), w.addUid(1)}});
  return w.finish(w.addDict({{key("$archiver"), w.addScalar(Value("NSKeyedArchiver"))},
                             {key("$version"), w.addScalar(Value(100000))},
                             {key("$top"), top},
                             {key("$objects"), w.addArray(objects)}}));
}

// An archived object of class record `classIndex` with one array field of UIDs.
uint64_t arrayObject(BinaryWriter& w, const std::vector<uint64_t>& uids, uint64_t classIndex) {
  std::vector<uint64_t> refs;
  refs.reserve(uids.size());
  for (uint64_t uid : uids) refs.push_back(w.addUid(uid));
  return w.addDict({{w.addScalar(Value("NS.objects")), w.addArray(std::move(refs))},
                    {w.addScalar(Value("$class")), w.addUid(classIndex)}});
}

uint64_t classRecord(BinaryWriter& w, const char* name) {
  return w.addDict({{w.addScalar(Value("$classname")), w.addScalar(Value(name))}});
}

// An archive of `levels` arrays whose object i lists object `next(i)` `copies` times; the
// last array's class record follows them. Root is object 1.
Value::Data arrayChainArchive(int levels, int copies, int (*next)(int)) {
  return keyedArchive([&](BinaryWriter& w, std::vector<uint64_t>& objects) {
    const auto classIndex = static_cast<uint64_t>(levels + 1);
    for (int i = 1; i <= levels; ++i)
      objects.push_back(arrayObject(
          w, std::vector<uint64_t>(static_cast<size_t>(copies), static_cast<uint64_t>(next(i))),
          classIndex));
    objects.push_back(classRecord(w, "NSArray"));
  });
}

std::vector<uint8_t> corpusFile(const std::string& name) {
  std::ifstream in(std::string(TOVIRA_RESOURCES) + "/../fuzz/corpus/keyed_unarchiver/" + name,
                   std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
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

TEST(NSKeyedUnarchiver, ArchiveReferencesAreBudgetedBySize) {
  const struct {
    const char* name;
    bool reads;
  } files[] = {{"archive-array-100k-refs-to-one-64KB-string.bplist", false},
               {"archive-array-20k-refs-to-one-16KB-string.bplist", false},
               {"archive-dag-2-pow-20-paths.bplist", false},
               {"archive-chain-600-deep.bplist", false},
               {"archive-cycle.bplist", false},
               {"archive-unreferenced-nested-array-2-pow-30.bplist", true},
               {"dictionary", true},
               {"date", true}};
  for (const auto& file : files) {
    const auto bytes = corpusFile(file.name);
    ASSERT_FALSE(bytes.empty()) << file.name;
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(bytes).has_value(), file.reads)
        << file.name;
  }
  // One 64 KB string referred to 500 times reads, decoded once; 1,100 times (70 MB) is refused.
  const std::string text(64 * 1024, 'z');
  for (int copies : {500, 1100}) {
    const auto archive = keyedArchive([&](BinaryWriter& w, std::vector<uint64_t>& objects) {
      objects.push_back(arrayObject(w, std::vector<uint64_t>(static_cast<size_t>(copies), 2), 3));
      objects.push_back(w.addScalar(Value(text)));
      objects.push_back(classRecord(w, "NSArray"));
    });
    const auto read = NSKeyedUnarchiver::unarchiveObjectWithData(archive);
    EXPECT_EQ(read.has_value(), copies == 500) << copies;
    if (read) {
      EXPECT_EQ(read->count(), 500u);
      EXPECT_EQ((*read)[499].str(), text);
    }
  }
  // References to $null count like any other.
  const auto nulls = NSKeyedUnarchiver::unarchiveObjectWithData(
      arrayChainArchive(1, 80000, [](int) { return 0; }));
  ASSERT_TRUE(nulls);
  EXPECT_EQ(nulls->count(), 80000u);
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(
      arrayChainArchive(1, 1100000, [](int) { return 0; })));
  // Objects nothing refers to are never decoded: a broken or circular one does not matter.
  const auto unreferenced = keyedArchive([&](BinaryWriter& w, std::vector<uint64_t>& objects) {
    objects.push_back(w.addScalar(Value("kept")));
    objects.push_back(arrayObject(w, {2}, 99));  // itself, of a class that is not there
  });
  EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(unreferenced), std::optional<Value>("kept"));
}

TEST(NSKeyedUnarchiver, ArchivedDatesComeBackAsDatesExactly) {
  for (double seconds : {-62135596800.0, -3187209600.25, 978307199.5, 978307260.5, 1796623111.0,
                         7258118400.125, 253402300799.0}) {
    const Value local = Value::dict({{"CommonUDID_createdTS", Value::date(seconds)}});
    const auto back = NSKeyedUnarchiver::unarchiveObjectWithData(
        NSKeyedArchiver::archivedDataWithRootObject(local));
    ASSERT_TRUE(back) << seconds;
    EXPECT_TRUE((*back)["CommonUDID_createdTS"].isDate()) << seconds;
    EXPECT_EQ(*back, local) << seconds;
  }
  // NS.time written as an integer by another archiver is a date too.
  const auto integral = keyedArchive([&](BinaryWriter& w, std::vector<uint64_t>& objects) {
    objects.push_back(w.addDict({{w.addScalar(Value("NS.time")), w.addScalar(Value(60))},
                                 {w.addScalar(Value("$class")), w.addUid(2)}}));
    objects.push_back(classRecord(w, "NSDate"));
  });
  EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(integral),
            std::optional<Value>(Value::date(978307260.0)));
}
