#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"

namespace {
// A binary plist of `levels` arrays, each holding the next, around one empty array.
std::vector<uint8_t> nestedBinaryPlist(uint32_t levels) {
  std::vector<uint8_t> out = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  auto be = [&](uint64_t v, int width) {
    for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  std::vector<uint64_t> offsets;
  for (uint32_t i = 0; i < levels; ++i) {
    offsets.push_back(out.size());
    out.push_back(0xA1);  // an array of one member
    be(i + 1, 4);
  }
  offsets.push_back(out.size());
  out.push_back(0xA0);  // an empty array
  uint64_t table = out.size();
  for (uint64_t o : offsets) be(o, 8);
  out.insert(out.end(), 6, 0);
  out.push_back(8);  // offset size
  out.push_back(4);  // reference size
  be(offsets.size(), 8);
  be(0, 8);  // top object
  be(table, 8);
  return out;
}

// A binary plist of the given objects (raw bytes each), the first one on top, with one-byte
// offsets and references.
std::vector<uint8_t> binaryPlist(const std::vector<std::vector<uint8_t>>& objects) {
  std::vector<uint8_t> out = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  std::vector<uint8_t> offsets;
  for (const auto& object : objects) {
    offsets.push_back(static_cast<uint8_t>(out.size()));
    out.insert(out.end(), object.begin(), object.end());
  }
  const auto table = static_cast<uint8_t>(out.size());
  out.insert(out.end(), offsets.begin(), offsets.end());
  out.insert(out.end(), 6, 0);
  out.push_back(1);  // offset size
  out.push_back(1);  // reference size
  const uint8_t counts[] = {0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(objects.size()),
                            0, 0, 0, 0, 0, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, table};
  out.insert(out.end(), std::begin(counts), std::end(counts));
  return out;
}

Value sample() {
  return Value::dict({{"name", "帕利 😀"},
                      {"count", 42},
                      {"negative", -7},
                      {"big", 1LL << 40},
                      {"ratio", 9.5},
                      {"yes", Value::boolean(true)},
                      {"no", Value::boolean(false)},
                      {"bytes", Value::data({0, 1, 2, 255})},
                      {"list", Value::array({1, "two", Value::dict({{"k", "v"}})})},
                      {"empty", Value::dict()}});
}
}  // namespace

TEST(Plist, BinaryAndXmlRoundTripsKeepEveryKindOfValue) {
  auto bytes = Plist::toBinary(sample());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "bplist00");
  std::string xml = Plist::toXML(sample());
  EXPECT_NE(xml.find("<key>name</key>"), std::string::npos);
  for (const auto& back : {Plist::parse(bytes), Plist::parse(xml)}) {
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, sample());
    EXPECT_TRUE((*back)["count"].isInteger());
    EXPECT_TRUE((*back)["yes"].isBool());
  }
}

TEST(Plist, InvalidUtf8IsReplacedBeforeLibplistSeesIt) {
  Value v = Value::dict({{std::string("k\xff"), std::string("v\xc3")}});
  auto back = Plist::parse(Plist::toBinary(v));
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)["k\xEF\xBF\xBD"].str(), "v\xEF\xBF\xBD");
  EXPECT_TRUE(Plist::parse(Plist::toXML(v)));
}

TEST(Plist, NullsAreLeftOutAndAbsentWritesNothing) {
  Value v = Value::dict({{"a", 1}});
  v.append(Value());  // not an array: ignored
  Value list = Value::array({1, Value::null(), 2});
  EXPECT_EQ(Plist::parse(Plist::toBinary(list))->count(), 2u);
  EXPECT_TRUE(Plist::toBinary(Value()).empty());
  EXPECT_EQ(Plist::toXML(Value::null()), "");
}

TEST(Plist, GarbageDeeplyNestedOrBrokenBinaryInputIsRefusedWithoutCrashing) {
  EXPECT_FALSE(Plist::parse(std::vector<uint8_t>{}));
  for (const std::string& garbage :
       {std::string("not a plist"), std::string("bplist00\x01\x02garbage", 17),
        std::string("<plist><dict><key>a</key>")})
    EXPECT_FALSE(Plist::parse(garbage)) << garbage;
  auto shallow = Plist::parse(nestedBinaryPlist(20));
  ASSERT_TRUE(shallow);
  EXPECT_EQ((*shallow)[0][0][0].count(), 1u);
  // A hundred thousand levels overflowed the stack of the binary reader.
  auto deep = nestedBinaryPlist(100000);
  EXPECT_FALSE(Plist::parse(deep));
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(deep));
  auto cut = nestedBinaryPlist(3);
  cut[cut.size() - 1] = 0xFF;  // the offset table lies past the end
  EXPECT_FALSE(Plist::parse(cut));
  auto loop = nestedBinaryPlist(3);
  loop[8 + 5 * 2 + 4] = 0;  // the last array (object 2) refers back to the first
  EXPECT_FALSE(Plist::parse(loop));
}

TEST(Plist, StringsHoldingNulOfEitherWidthAreRefusedBeforeLibplistSeesThem) {
  const std::vector<std::vector<uint8_t>> refused[] = {
      {{0x53, 'a', 0, 'b'}},                            // one byte per character
      {{0x62, 0x00, 'a', 0x00, 0x00}},                  // UTF-16
      {{0xA1, 1}, {0x61, 0x00, 0x00}},                  // inside an array
      {{0xD1, 1, 2}, {0x61, 0x00, 0x00}, {0x51, 'v'}},  // a dictionary's key
      {{0xD1, 1, 2}, {0x52, 'k', 0}, {0x51, 'v'}},
      {{0x6F, 0x10, 0x01, 0x00, 0x00}},  // a length that runs past the objects
  };
  for (const auto& objects : refused) {
    const auto bytes = binaryPlist(objects);
    EXPECT_FALSE(Plist::parse(bytes)) << objects[0].size();
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(bytes));
  }
  auto clean = Plist::parse(binaryPlist({{0xD1, 1, 2}, {0x62, 0x00, 'k', 0x00, 'y'}, {0x51, 'v'}}));
  ASSERT_TRUE(clean);
  EXPECT_EQ((*clean)["ky"].str(), "v");
  EXPECT_EQ(Plist::parse(binaryPlist({{0x53, 'a', 'b', 'c'}}))->str(), "abc");
}

TEST(Plist, DatesRoundTripAsDatesOnEitherSideOf2001) {
  // 1999-12-31 23:59:59 and 2026-12-07 05:58:31, each with a quarter second.
  for (double seconds : {946684799.25, 1796623111.25, 978307200.0}) {
    SCOPED_TRACE(seconds);
    const Value dict = Value::dict({{"at", Value::date(seconds)}});
    const auto binary = Plist::parse(Plist::toBinary(dict));
    ASSERT_TRUE(binary);
    EXPECT_TRUE((*binary)["at"].isDate());
    EXPECT_DOUBLE_EQ((*binary)["at"].dateValue(), seconds);
    // XML dates carry whole seconds, toward 2001.
    const auto xml = Plist::parse(Plist::toXML(dict));
    ASSERT_TRUE(xml);
    EXPECT_TRUE((*xml)["at"].isDate());
    EXPECT_DOUBLE_EQ((*xml)["at"].dateValue(),
                     seconds < 978307200.0 ? std::ceil(seconds) : std::floor(seconds));
  }
  EXPECT_NE(Plist::toXML(Value::date(946684799)).find("<date>1999-12-31T23:59:59Z</date>"),
            std::string::npos);
  // A moment a plist date cannot hold is kept as its number of seconds.
  EXPECT_EQ(*Plist::parse(Plist::toBinary(Value::date(-5e9))), Value(-5e9));
}
