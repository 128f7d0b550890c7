#include <gtest/gtest.h>

#include "platform/foundation/Plist.h"

namespace {
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

TEST(Plist, BinaryRoundTripKeepsEveryKindOfValue) {
  auto bytes = Plist::toBinary(sample());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "bplist00");
  auto back = Plist::parse(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, sample());
  EXPECT_TRUE((*back)["count"].isInteger());
  EXPECT_TRUE((*back)["yes"].isBool());
  EXPECT_EQ((*back)["negative"].intValue(), -7);
}

TEST(Plist, XmlRoundTripKeepsEveryKindOfValue) {
  std::string xml = Plist::toXML(sample());
  EXPECT_NE(xml.find("<plist"), std::string::npos);
  EXPECT_NE(xml.find("<key>name</key>"), std::string::npos);
  auto back = Plist::parse(xml);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, sample());
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

TEST(Plist, GarbageIsNotAPlist) {
  EXPECT_FALSE(Plist::parse(std::vector<uint8_t>{}));
  EXPECT_FALSE(Plist::parse(std::string("not a plist")));
  EXPECT_FALSE(Plist::parse(std::string("bplist00\x01\x02garbage", 17)));
  EXPECT_FALSE(Plist::parse(std::string("<plist><dict><key>a</key>")));
}
