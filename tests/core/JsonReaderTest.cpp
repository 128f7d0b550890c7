#include <gtest/gtest.h>

#include <string>

#include "core/JsonReader.h"

// The reader must decode exactly what Value::fromJSON decodes, and refuse what it refuses.
TEST(JsonReaderTest, DecodesLikeTheValueParser) {
  const std::string texts[] = {
      R"({"state":"ok","msg":"登录成功","data":{"gold":"1280.00","safe_code":2,"list":[1,2.5,-3,true,null]}})",
      R"([{"a":{"b":[[],{}]}}, "x\u00e9\ud83d\ude00\n", 1e3, 0.1, -0, 18446744073709551615, 9223372036854775807])",
      R"({"dup":1,"dup":2})",
      "null",
      "\"text\"",
      "42",
      "  {\"k\" : [ ] }  ",
      "0e400",
      "[-1e-400, 1E+2, 123456789012345678901234567890, -9223372036854775809]",
      "\xEF\xBB\xBF{\"bom\":1}",
      std::string("8\0trailing", 10),
  };
  for (const auto& text : texts) {
    const auto expected = Value::fromJSON(text);
    const auto actual = JsonReader::parse(text);
    ASSERT_TRUE(expected) << text;
    ASSERT_TRUE(actual) << text;
    EXPECT_EQ(*actual, *expected) << text;
    EXPECT_EQ(actual->toJSON(), expected->toJSON()) << text;
  }
  EXPECT_TRUE(JsonReader::parse("null")->isNull());
  EXPECT_TRUE(JsonReader::parse("7")->isInteger());
}

TEST(JsonReaderTest, RefusesWhatIsNotJson) {
  const std::string texts[] = {
      "",
      "<html></html>",
      R"({"state":"ok",)",
      R"({"a":1} trailing)",
      "{'a':1}",
      "[1,]",
      "1e999",
      "\"bad \xff utf8\"",
      "{\"a\":\"\xe4\xb8\"}",
      std::string(513, '[') + std::string(513, ']'),
      R"("\udc00 alone")",
      R"("\ud800 alone")",
      "\"\xed\xa0\x80\"",
      "NaN",
      "01",
      // A second byte order mark is no JSON, whichever reader the rest of the text goes to.
      std::string("\xEF\xBB\xBF\xEF\xBB\xBF" "55\0\0{\"a\":}\0", 17),
      std::string("\xEF\xBB\xBF\xEF\xBB\xBF" "0e400", 11),
  };
  for (const auto& text : texts) {
    EXPECT_FALSE(JsonReader::parse(text)) << text;
    EXPECT_FALSE(Value::fromJSON(text)) << text;
  }
  EXPECT_TRUE(JsonReader::parse(std::string(512, '[') + std::string(512, ']')));
}
