#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <utility>

#include "platform/foundation/Value.h"

TEST(Value, MissingKeysAndJsonNullReadAsAbsentWithNoTextNoCountAndZeroNumbers) {
  Value reply = *Value::fromJSON(R"({"state":"ok","data":null,"list":[1,2]})");
  for (const Value* v :
       {&reply["data"], &reply["missing"], &reply["state"]["nested"], &reply["list"][7]}) {
    EXPECT_TRUE(v->isNil());
    EXPECT_FALSE(static_cast<bool>(*v));
    EXPECT_EQ(v->str(), "");
    EXPECT_EQ(v->count(), 0u);
    EXPECT_EQ(v->intValue(), 0);
    EXPECT_EQ(v->doubleValue(), 0.0);
    EXPECT_FALSE(v->boolValue());
    EXPECT_FALSE(v->isEqualToString(""));
    EXPECT_FALSE(v->isEqualToString("ok"));
  }
  EXPECT_TRUE(reply["data"].isNull());
  EXPECT_FALSE(reply["missing"].isNull());
  EXPECT_EQ(reply["data"], Value());
  EXPECT_EQ(Value().description(), "(null)");
  EXPECT_EQ(Value::null().description(), "<null>");
}

TEST(Value, DescriptionPrintsIntegersWithoutFractionAndDoublesInShortestForm) {
  const std::pair<Value, const char*> rows[] = {
      {42, "42"},   {-7L, "-7"},      {9.5, "9.5"},
      {0.1, "0.1"}, {10.0, "10"},     {1.0 / 3, "0.3333333333333333"},
      {12, "12"},   {"文字", "文字"}, {Value::boolean(true), "1"}};
  for (const auto& [value, text] : rows) EXPECT_EQ(value.description(), text);
  EXPECT_EQ(Value(12).str(), "12");
  EXPECT_EQ(Value::data({0x0a, 0x1b, 0x2c, 0x3d, 0x4e}).description(), "<0a1b2c3d 4e>");
  EXPECT_EQ(Value::dict({{"a", 1}, {"b c", "x y"}}).description(),
            "{\n    a = 1;\n    \"b c\" = \"x y\";\n}");
  EXPECT_EQ(Value::array({1, "two"}).description(), "(\n    1,\n    two\n)");
}

TEST(Value, NumbersParseLeadingDigitsAndTruthFollowsTheFirstSignificantCharacter) {
  // Each text or number with its intValue, doubleValue and boolValue.
  const struct {
    Value value;
    int integer;
    double real;
    bool truth;
  } rows[] = {
      // clang-format off
      {"12abc", 12, 12, true},  {" -3", -3, -3, true},    {"abc", 0, 0, false},  {"", 0, 0, false},
      {"9.99", 9, 9.99, true},  {9.99, 9, 9.99, true},    {-9.99, -9, -9.99, true},
      {" 1.5e3xyz", 1, 1500, true},  {".5", 0, 0.5, false},  {"1e", 1, 1, true},
      {"inf", 0, 0, false},     {Value::boolean(true), 1, 1, true},  {2, 2, 2, true},
      {1e300, INT_MAX, 1e300, true},  {"99999999999", INT_MAX, 99999999999.0, true},
      {Value::dict({{"a", 1}}), 0, 0, false},  {"YES", 0, 0, true},  {" true", 0, 0, true},
      {"007", 7, 7, true},      {"NO", 0, 0, false},      {"000", 0, 0, false},  {"-0", 0, 0, false},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value.description());
    EXPECT_EQ(row.value.intValue(), row.integer);
    EXPECT_DOUBLE_EQ(row.value.doubleValue(), row.real);
    EXPECT_EQ(row.value.boolValue(), row.truth);
  }
  EXPECT_EQ(Value("\n\t+8").integerValue(), 8);
  EXPECT_FLOAT_EQ(Value("2.25").floatValue(), 2.25f);
  EXPECT_EQ(Value("-99999999999999999999").longLongValue(), LLONG_MIN);
}

TEST(Value, EqualityComparesNumbersByValueAndNeverTextWithNumbers) {
  EXPECT_EQ(Value(1), Value(1.0));
  EXPECT_EQ(Value::boolean(true), Value(1));
  EXPECT_NE(Value("1"), Value(1));
  EXPECT_TRUE(Value(1).isEqualToString("1"));
  EXPECT_TRUE(Value(9.5).isEqualToString("9.5"));
  EXPECT_EQ(Value::dict({{"a", Value::array({1, 2})}}), *Value::fromJSON(R"({"a":[1,2.0]})"));
  EXPECT_NE(Value::dict({{"a", 1}}), Value::dict({{"a", 2}}));
}

TEST(Value, ChangesAreCopyOnWriteAndSettingNilRemoves) {
  Value a;
  a.set("k", "v").set("n", 1);
  Value b = a;
  b.set("k", "changed");
  b.append("ignored: not an array");
  EXPECT_EQ(a["k"].str(), "v");
  EXPECT_EQ(b["k"].str(), "changed");
  b.set("k", Value());
  EXPECT_EQ(b.count(), 1u);
  b.set("null", Value::null());
  EXPECT_FALSE(b.dictValue().count("null"));
  Value list;
  list.append(1).append(Value()).append("x");
  EXPECT_EQ(list.count(), 2u);
  Value copy = list;
  copy.removeAt(0);
  EXPECT_EQ(list.count(), 2u);
  EXPECT_EQ(copy[0].str(), "x");
  EXPECT_TRUE(list[-1].isNil());
}

TEST(Value, JsonKeepsIntegersAsIntegersAndBigOnesIn64Bits) {
  auto v =
      Value::fromJSON(R"({"i":12,"big":9007199254740993,"neg":-5,"f":9.5,"t":true,"s":"中文"})");
  ASSERT_TRUE(v);
  EXPECT_TRUE((*v)["i"].isInteger());
  EXPECT_EQ((*v)["big"].longLongValue(), 9007199254740993LL);
  EXPECT_EQ((*v)["neg"].intValue(), -5);
  EXPECT_TRUE((*v)["t"].isBool());
  EXPECT_EQ(v->toJSON(), R"({"big":9007199254740993,"f":9.5,"i":12,"neg":-5,"s":"中文","t":true})");
  EXPECT_TRUE(Value::fromJSON("null")->isNull());
  EXPECT_EQ(Value::fromJSON("12")->intValue(), 12);
  EXPECT_EQ(Value().toJSON(), "null");
}

TEST(Value, InvalidJsonAndNonUtf8TextNeverThrow) {
  const std::string bad[] = {
      "", "{", "{\"a\":1,}", "<html>", "\"\xff\xfe\"", std::string(100000, '[')};
  for (const auto& text : bad) EXPECT_FALSE(Value::fromJSON(text)) << text.substr(0, 8);
  EXPECT_EQ(Value(std::string("a\xff") + "b").toJSON(),
            "\"a\xEF\xBF\xBD"
            "b\"");
  EXPECT_EQ(Value::data({1, 2}).toJSON(), "null");
}

TEST(Value, DoublesPrintInPlainNotationUpToSixteenDigitsAsThePlatformDoes) {
  const std::pair<double, const char*> rows[] = {
      {1700000000.0, "1700000000"}, {1000000.0, "1000000"},
      {1e15, "1000000000000000"},   {0.0001, "0.0001"},
      {-2500000.5, "-2500000.5"},   {1e16, "1e+16"},
      {1.5e-5, "1.5e-05"},          {1e20, "1e+20"}};
  for (const auto& [number, text] : rows) {
    EXPECT_EQ(Value(number).description(), text);
    EXPECT_EQ(Value(number).str(), text);
  }
  EXPECT_EQ((*Value::fromJSON(R"({"balance":1000000.0})"))["balance"].str(), "1000000");
}

TEST(Value, CopiesReadOnOtherThreadsWhileTheOwnerKeepsChangingItsOwn) {
  // Run under ThreadSanitizer: a copy dropped on one thread must be ordered before the
  // owner's next in-place change of what the copy shared.
  Value owner = Value::dict({{"a", 1}});
  owner.append(1);  // ignored: not an array
  Value list = Value::array({1, 2});
  for (int round = 0; round < 200; ++round) {
    std::thread reader([dict = owner, array = list]() mutable {
      EXPECT_GE(dict["a"].intValue(), 1);
      EXPECT_GE(array.count(), 2u);
      dict = Value();
      array = Value();
    });
    owner.set("r" + std::to_string(round % 7), round);
    list.append(round);
    reader.join();
  }
  EXPECT_EQ(owner.count(), 8u);
  EXPECT_EQ(list.count(), 202u);
}

TEST(Value, ADateIsAMomentThatPrintsInUtcAndIsNoNumber) {
  const Value date = Value::date(1796623111.75);  // 2026-12-07 05:58:31.75 UTC
  EXPECT_TRUE(date.isDate());
  EXPECT_FALSE(date.isNumber());
  EXPECT_DOUBLE_EQ(date.dateValue(), 1796623111.75);
  EXPECT_EQ(date.description(), "2026-12-07 05:58:31 +0000");
  EXPECT_EQ(date.str(), date.description());
  // Before 1970 a fraction still belongs to the second it falls in.
  EXPECT_EQ(Value::date(-0.5).description(), "1969-12-31 23:59:59 +0000");
  EXPECT_EQ(Value::date(1796623111.75), Value::date(1796623111.75));
  EXPECT_NE(date, Value::date(1796623111.0));
  EXPECT_NE(date, Value(1796623111.75));
  EXPECT_EQ(date.doubleValue(), 0);
  EXPECT_EQ(Value(12.5).dateValue(), 0);
  EXPECT_EQ(Value::dict({{"at", date}}).toJSON(), R"({"at":null})");
}

TEST(Value, UnsignedIntegersAboveTheSignedRangeStayTheNumberTheyAre) {
  const unsigned long long max = std::numeric_limits<unsigned long long>::max();
  const long long min = std::numeric_limits<long long>::min();
  const struct {
    Value v;
    const char* text;
    long long asLongLong;  // NSNumber's longLongValue: the same 64 bits, signed
    double asDouble;
  } numbers[] = {
      {Value(max), "18446744073709551615", -1, 18446744073709551615.0},
      {Value(1ULL << 63), "9223372036854775808", min, 9223372036854775808.0},
      {Value(static_cast<unsigned long>(max - 1)), "18446744073709551614", -2,
       18446744073709551615.0},
      {*Value::fromJSON("18446744073709551615"), "18446744073709551615", -1,
       18446744073709551615.0},
  };
  for (const auto& n : numbers) {
    SCOPED_TRACE(n.text);
    EXPECT_TRUE(n.v.isInteger());
    EXPECT_TRUE(n.v.isUnsigned());
    EXPECT_EQ(n.v.description(), n.text);
    EXPECT_EQ(n.v.str(), n.text);
    EXPECT_TRUE(n.v.isEqualToString(n.text));
    EXPECT_EQ(n.v.toJSON(), n.text);
    EXPECT_EQ(*Value::fromJSON(n.v.toJSON()), n.v);
    EXPECT_EQ(n.v.longLongValue(), n.asLongLong);
    EXPECT_EQ(n.v.integerValue(), n.asLongLong);
    EXPECT_EQ(n.v.unsignedLongLongValue(), static_cast<unsigned long long>(n.asLongLong));
    EXPECT_EQ(n.v.doubleValue(), n.asDouble);
    EXPECT_TRUE(n.v.boolValue());
    // Equal only to the same number: not to the signed number of the same bits.
    EXPECT_NE(n.v, Value(n.asLongLong));
    EXPECT_EQ(n.v, Value(static_cast<unsigned long long>(n.asLongLong)));
    EXPECT_EQ(n.v, Value(n.asDouble));
  }
  // Below 2^63 an unsigned number is the signed one.
  EXPECT_FALSE(Value(5ULL).isUnsigned());
  EXPECT_EQ(Value(5ULL), Value(5));
  EXPECT_EQ(Value(-1).unsignedLongLongValue(), max);
  EXPECT_FALSE(Value(min).isUnsigned());
  EXPECT_EQ(Value(min).description(), "-9223372036854775808");
}

TEST(Value, ADateKeepsItsSecondsSince2001AndPrintsTheSecondItFallsIn) {
  // 2242-03-16 12:56:32.999999: in seconds since 1970 the nearest double is 12:56:33.
  const double since2001 = 0x1.c5b03780fffffp+32;
  const Value date = Value::dateSinceReferenceDate(since2001);
  EXPECT_TRUE(date.isDate());
  EXPECT_EQ(date.timeIntervalSinceReferenceDate(), since2001);
  EXPECT_EQ(date.description(), "2242-03-16 12:56:32 +0000");
  EXPECT_EQ(date.dateValue(), since2001 + 978307200.0);
  EXPECT_NE(date, Value::dateSinceReferenceDate(std::nextafter(since2001, 0.0)));
  // A date made from seconds since 1970 gives them back.
  for (double since1970 : {1796623111.75, -0.5, 978307200.0, -62135596800.0, 7258118400.001})
    EXPECT_EQ(Value::date(since1970).dateValue(), since1970) << since1970;
  EXPECT_EQ(Value::date(978307260.5).timeIntervalSinceReferenceDate(), 60.5);
  EXPECT_EQ(Value(1.0).timeIntervalSinceReferenceDate(), 0);
}
