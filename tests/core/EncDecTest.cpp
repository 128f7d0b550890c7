#include <gtest/gtest.h>

#include <string>

#include "core/Base64.h"
#include "core/Config.h"
#include "core/EncDec.h"
#include "platform/foundation/NSLog.h"

// Known answers computed once with independent tools on this machine:
//   printf '%s' TEXT | openssl enc -des-cbc -provider legacy -provider default
//       -K 546f763172413038 -iv 546f763172413038 -base64 -A
//   printf '%s' TEXT | md5sum
// (546f763172413038 is the key "Tov1rA08" in hex.)
namespace {

struct Vector {
  const char* plain;
  const char* base64;
};

constexpr Vector kDesVectors[] = {
    {"", "LwCCKy2SYVc="},
    {"abc", "Zb9JzZzEfcY="},
    {"12345678", "lDvFFIz36h8AOA5oG8sqNg=="},
    {"hello world", "kb9rHC0oe1W4jGlSsQ/1Ag=="},
    {"中文密码测试", "eliTykDPeuurt8Jzz0T3kv8OeiqIWsNJ"},
    {"api=login&password=demo123&tgid=777&username=demo",
     "UIN1jvzul4NNQo1LmQxoVCn0ZhSjfZY+//T11+quxLDzA6zTbMTP0+z5EvsVWzSdWJ4z6QB4MKA="},
    {"plus2", "7UG5Wi+H+7E="},  // written "7UG5Wi%2BH%2B7E="
};

std::string escapedPlus(std::string s) {
  for (size_t pos = 0; (pos = s.find('+', pos)) != std::string::npos; pos += 3)
    s.replace(pos, 1, "%2B");
  return s;
}

}  // namespace

TEST(EncDecTest, Md5IsUpperCaseHexOfTheUtf8Bytes) {
  EXPECT_EQ(EncDec::md5(""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(EncDec::md5("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(EncDec::md5("api=login&password=demo123&tgid=777&username=demo"),
            "824AF0D9EAF42523C06CD04D225683E3");
  EXPECT_EQ(EncDec::md5("中文"), "A7BAC2239FCDCB3A067903D8077C4A07");
}

TEST(EncDecTest, EnciphersLikeAnIndependentDesCbcImplementation) {
  ASSERT_EQ(std::string(Config::kDesKey), "Tov1rA08");
  for (const auto& v : kDesVectors) {
    SCOPED_TRACE(v.plain);
    EXPECT_EQ(EncDec::encryptUseDES(v.plain), escapedPlus(v.base64));
    EXPECT_EQ(EncDec::decryptUseDES(escapedPlus(v.base64)), std::string(v.plain));
    EXPECT_EQ(EncDec::decryptUseDES(v.base64), std::string(v.plain)) << "plain + accepted too";
  }
}

TEST(EncDecTest, EnciphersUpTo1023BytesAndRefusesLongerTextWithALogLine) {
  NSLogSink::clear();
  const std::string longest(1023, 'x');
  const auto text = EncDec::encryptUseDES(longest);
  ASSERT_TRUE(text);
  // md5sum of the openssl output for 1023 times "x", with "+" written as "%2B".
  EXPECT_EQ(EncDec::md5(*text), "66CCB1E9F29046596D9170F762119410");
  EXPECT_EQ(EncDec::decryptUseDES(*text), longest);
  EXPECT_FALSE(NSLogSink::contains("DES加密失败"));

  EXPECT_FALSE(EncDec::encryptUseDES(std::string(1024, 'x')));
  EXPECT_TRUE(NSLogSink::contains("DES加密失败"));
  // A key the cipher refuses fails the same way.
  NSLogSink::clear();
  EXPECT_FALSE(EncDec::encryptUseDES("abc", "short"));
  EXPECT_TRUE(NSLogSink::contains("DES加密失败"));
}

TEST(EncDecTest, DecipheringRejectsDamagedText) {
  EXPECT_FALSE(EncDec::decryptUseDES(""));
  EXPECT_FALSE(EncDec::decryptUseDES("not base64!"));
  EXPECT_FALSE(EncDec::decryptUseDES("YWJj"));  // 3 bytes: not a whole block
  EXPECT_FALSE(EncDec::decryptUseDES("Zb9JzZzEfcY=", "Other123")) << "wrong key leaves bad padding";
}

TEST(EncDecTest, Base64RoundTripsBytesAndRejectsMalformedText) {
  const std::string bytes("\x00\xff\x10 binary\x80", 11);
  EXPECT_EQ(Base64::decode(Base64::encode(bytes)), bytes);
  EXPECT_EQ(Base64::encode("abcd"), "YWJjZA==");
  EXPECT_FALSE(Base64::decode("YWJjZA="));
  EXPECT_FALSE(Base64::decode("YW*jZA=="));
}
