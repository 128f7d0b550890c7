// Values at the very limit of what the property-list readers let through (a million values, or
// 64 MB of data and text, with objects shared by reference). Reading them is cheap; writing them
// out expanded is not, so the fuzzing harness writes such a value as XML only when it is small.
// Here each is written both ways and read back whole, however long that takes.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "platform/foundation/Plist.h"
#include "support/ThreadSanitizer.h"

namespace {

struct LimitCase {
  const char* name;
  std::function<Value()> make;
};

// 2^19 - 1 arrays, each but the deepest holding the next one twice, the deepest holding a string
// twice: 2^20 - 1 values from 126 bytes, one value short of the budget.
Value doublingArrays() {
  std::ifstream in(
      std::string(TOVIRA_RESOURCES) +
          "/../fuzz/corpus/plist/plist-bin-arrays-doubling-2-pow-20-minus-1-values.bplist",
      std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  return Plist::parse(bytes).value_or(Value());
}

// One 64 KB object referred to 1,000 times: 65.5 MB expanded, within the budget of 64 MiB.
Value sharedThousandTimes(const Value& item) {
  Value list = Value::array();
  for (int i = 0; i < 1000; ++i) list.append(item);
  return list;
}

const LimitCase kCases[] = {
    {"ArraysDoublingToAMillionValues", doublingArrays},
    {"OneDataSharedByAThousandReferences",
     [] { return sharedThousandTimes(Value::data(Value::Data(64 * 1024, 0xA5))); }},
    {"OneStringSharedByAThousandReferences",
     [] { return sharedThousandTimes(Value(std::string(64 * 1024, 'z'))); }},
};

void PrintTo(const LimitCase& limit, std::ostream* out) { *out << limit.name; }

class PlistBudgetLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(PlistBudgetLimitTest, AValueAtTheReadingBudgetRoundTripsThroughBothWriters) {
  if (kUnderThreadSanitizer) GTEST_SKIP() << "one thread only: nothing for ThreadSanitizer";
  const Value value = GetParam().make();
  ASSERT_FALSE(value.isNil());
  // The binary form shares what the value shares, so it stays as small as the reference table.
  const auto binary = Plist::toBinary(value);
  EXPECT_LT(binary.size(), 100'000u);
  const auto fromBinary = Plist::parse(binary);
  ASSERT_TRUE(fromBinary);
  EXPECT_EQ(*fromBinary, value);
  // XML writes every reference out in full, and is read back whole within the budget.
  const auto xml = Plist::toXML(value);
  ASSERT_FALSE(xml.empty());
  const auto fromXml = Plist::parse(xml);
  ASSERT_TRUE(fromXml);
  EXPECT_EQ(*fromXml, value);
}

INSTANTIATE_TEST_SUITE_P(Values, PlistBudgetLimitTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LimitCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
