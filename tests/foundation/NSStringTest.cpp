#include <gtest/gtest.h>

#include <memory>

#include "platform/foundation/NSString.h"

using namespace NSString;

TEST(NSString, LengthsAndRangesCountUtf16UnitsInChineseText) {
  std::string s = "金币兑换平台币";
  EXPECT_EQ(length(s), 7u);
  EXPECT_EQ(substring(s, 2, 2), "兑换");
  EXPECT_EQ(substringToIndex(s, 1), "金");
  EXPECT_EQ(substringFromIndex(s, 4), "平台币");
  EXPECT_EQ(substring(s, 5, 100), "台币");
  EXPECT_EQ(substring(s, 100, 1), "");
  EXPECT_EQ(rangeOfString("本次可兑换9.50平台币", "平台币"), 9u);
  EXPECT_FALSE(rangeOfString(s, "x"));
}

TEST(NSString, EmojiCountAsSurrogatePairsAndHalfAPairBecomesAReplacement) {
  std::string s = "a😀b";
  EXPECT_EQ(length(s), 4u);
  EXPECT_EQ(substring(s, 1, 2), "😀");
  EXPECT_EQ(substringFromIndex(s, 3), "b");
  EXPECT_EQ(substring(s, 1, 1), "\xEF\xBF\xBD");
  EXPECT_EQ(toUTF16(s), u"a\U0001F600b");
  EXPECT_EQ(fromUTF16(toUTF16(s)), s);
  EXPECT_EQ(length("\xff"), 1u);
}

TEST(NSString, Utf8ValidationRejectsOverlongsSurrogatesAndTruncations) {
  EXPECT_TRUE(isValidUTF8("ok 中文 😀"));
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE4\xB8", "\xF4\x90\x80\x80"})
    EXPECT_FALSE(isValidUTF8(bad)) << bad;
  EXPECT_EQ(sanitizeUTF8("a\xE4\xB8"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(NSString, TrimRemovesAsciiAndUnicodeWhitespace) {
  EXPECT_EQ(trim("  hi there \n\t"), "hi there");
  EXPECT_EQ(trim("\u3000中文\u00A0"), "中文");
  for (const char* blank : {" \n ", ""}) EXPECT_EQ(trim(blank), "");
}

TEST(NSString, SplittingJoiningAndReplacing) {
  EXPECT_EQ(componentsSeparatedByString("a,b,,c", ","),
            (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(componentsSeparatedByString("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(componentsJoinedByString({"a", "b"}, "&"), "a&b");
  EXPECT_EQ(stringByReplacingOccurrencesOfString("a+b+c", "+", "%2B"), "a%2Bb%2Bc");
  EXPECT_TRUE(hasPrefix("cid_777", "cid_"));
  EXPECT_FALSE(hasPrefix("cid", ""));
  EXPECT_TRUE(hasSuffix("icon.png", ".png"));
}

TEST(NSString, FormatFollowsPrintfForNumbersAndDescriptionForObjects) {
  EXPECT_EQ(stringWithFormat("本次可兑换%@平台币", stringWithFormat("%.2f", 9.5)),
            "本次可兑换9.50平台币");
  EXPECT_EQ(stringWithFormat("api=login&password=%@&tgid=%@", Value("p"), std::string("777")),
            "api=login&password=p&tgid=777");
  EXPECT_EQ(stringWithFormat("%li000", 1700000000L), "1700000000000");
  EXPECT_EQ(stringWithFormat("%d|%5d|%-4d|%03d|%lld", 1, 42, 7, 5, 1LL << 40),
            "1|   42|7   |005|1099511627776");
  EXPECT_EQ(stringWithFormat("%u %x %X %lu", 3u, 255, 255, 10UL), "3 ff FF 10");
  EXPECT_EQ(stringWithFormat("%x %lx", -1, -1L), "ffffffff ffffffffffffffff");
  EXPECT_EQ(stringWithFormat("%s-%c-%%-%5.1f", "s", 'A', 3.14159), "s-A-%-  3.1");
  EXPECT_EQ(stringWithFormat("%@ %@ %@", Value(), Value::null(), Value(9.5)), "(null) <null> 9.5");
  EXPECT_EQ(stringWithFormat("%@", 12), "12");
  EXPECT_EQ(stringWithFormat("%*d", 4, 7), "   7");
  EXPECT_EQ(stringWithFormat("%5@|%-3@|", "ab", "中"), "   ab|中  |");
}

TEST(NSString, FormatWithMismatchedOrMissingArgumentsDoesNotCrash) {
  EXPECT_EQ(stringWithFormat("%d", "12abc"), "12");
  EXPECT_EQ(stringWithFormat("%d", 9.99), "9");
  EXPECT_EQ(stringWithFormat("%.1f", "2.25"), "2.2");
  EXPECT_EQ(stringWithFormat("%s", 5), "5");
  EXPECT_EQ(stringWithFormat("%d %@ %s", Value("x")), "0 (null) (null)");
  EXPECT_EQ(stringWithFormat("%d %f", Value(3)), "3 0.000000");
  EXPECT_EQ(stringWithFormat("trailing %", 1), "trailing %");
  EXPECT_EQ(stringWithFormat("%k", 1), "%k");
  EXPECT_EQ(stringWithFormat("%s", static_cast<const char*>(nullptr)), "(null)");
  std::shared_ptr<Value> none;
  EXPECT_EQ(stringWithFormat("%@", none), "(null)");
}

TEST(NSString, PercentEscapingKeepsUnreservedAndTheGivenExtraCharacters) {
  EXPECT_EQ(percentEscape("王者 荣耀&x=1"), "%E7%8E%8B%E8%80%85%20%E8%8D%A3%E8%80%80%26x%3D1");
  EXPECT_EQ(percentEscape("a-b._~c/d?"), "a-b._~c%2Fd%3F");
  EXPECT_EQ(percentEscape("a/b?c", "/?"), "a/b?c");
  EXPECT_EQ(percentUnescape("%E7%8E%8B+%41"), "王+A");
  EXPECT_EQ(percentUnescape(percentEscape("😀 中文 %")), "😀 中文 %");
}

TEST(NSString, PercentUnescapingFailsOnBadSequencesAndInvalidUtf8) {
  for (const char* bad : {"100%", "%4", "%zz", "%FF", "%E7%8E"})
    EXPECT_FALSE(percentUnescape(bad)) << bad;
  EXPECT_EQ(percentUnescape(""), "");
}
