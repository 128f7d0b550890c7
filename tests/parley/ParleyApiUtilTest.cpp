#include <gtest/gtest.h>

#include "ParleyTestSupport.h"
#include "parley/PLApiNSStringURLArgumentsAdditions.h"
#include "parley/ParleyApiUtil.h"
#include "platform/foundation/NSURL.h"

using namespace PLApiNSStringURLArgumentsAdditions;

class ParleyApiUtilTest : public ParleyTest {};

TEST_F(ParleyApiUtilTest, Base64EncodesAndDecodesTheStandardAlphabet) {
  EXPECT_EQ(ParleyApiUtil::EncodeBase64("ab?>"), "YWI/Pg==");
  EXPECT_EQ(ParleyApiUtil::NsDataEncodeBase64({0xFB, 0xFF}), "+/8=");
  EXPECT_EQ(ParleyApiUtil::EncodeBase64(""), "");
  EXPECT_EQ(ParleyApiUtil::DecodeBase64("5ri45oiP"), "游戏");
  EXPECT_EQ(ParleyApiUtil::DecodeWithBase64("+/8="), (std::vector<uint8_t>{0xFB, 0xFF}));
  EXPECT_EQ(ParleyApiUtil::DecodeBase64("YWJj"), "abc");
}

TEST_F(ParleyApiUtilTest, Base64DecodingOfInvalidTextAnswersNilAndNeverCrashes) {
  for (const char* bad : {"", "====", "=", "YQ", "YQ=", "Y===", "YW=j", "YW*j", "YWJj\n", "YWJ j",
                          "\xff\xfe\xfd\xfc", "YQ==YQ=="}) {
    EXPECT_FALSE(ParleyApiUtil::DecodeWithBase64(bad)) << bad;
    EXPECT_FALSE(ParleyApiUtil::DecodeBase64(bad)) << bad;
  }
  // Well-formed Base64 of bytes that are no UTF-8 text: data yes, text no.
  EXPECT_TRUE(ParleyApiUtil::DecodeWithBase64("//8="));
  EXPECT_FALSE(ParleyApiUtil::DecodeBase64("//8="));
}

TEST_F(ParleyApiUtilTest, EscapersKeepOnlyWhatEachFormAllows) {
  const std::string s = "a b&c=d#e/f?g+h%i~j-k.l_m!n'o(p)q*r,s;t:u@v$w[x]y\"z<>{}|\\^`游";
  EXPECT_EQ(plApi_stringByEscapingForURLArgument(s),
            "a%20b%26c%3Dd%23e%2Ff%3Fg%2Bh%25i~j-k.l_m%21n%27o%28p%29q%2Ar%2Cs%3Bt%3Au%40v%24w%5Bx%"
            "5Dy%22z%3C%3E%7B%"
            "7D%7C%5C%5E%60%E6%B8%B8");
  EXPECT_EQ(plApi_stringByEscapingForURLArgumentOnly(s),
            "a%20b&c=d%23e/"
            "f?g+h%i~j-k.l_m!n'o(p)q*r,s;t:u@v$w%5Bx%5Dy%22z%3C%3E%7B%7D%7C%5C%5E%60%E6%B8%B8");
  EXPECT_EQ(plApi_stringByEncodeUrl("https://a.b/c?d=e&f=~g"),
            "https%3A%2F%2Fa.b%2Fc%3Fd%3De%26f%3D%7Eg");
}

TEST_F(ParleyApiUtilTest, UnescapersTurnPlusIntoSpaceAndRefuseBrokenEscapes) {
  EXPECT_EQ(plApi_stringByUnescapingFromURLArgument("a+b%20c%E6%B8%B8"), "a b c游");
  EXPECT_EQ(plApi_stringByEncodeByJsonAndUrlEncode("a+\\x41\\X42%43"), "a ABC");
  EXPECT_FALSE(plApi_stringByUnescapingFromURLArgument("%zz"));
  EXPECT_FALSE(plApi_stringByUnescapingFromURLArgument("100%"));
  EXPECT_FALSE(plApi_stringByUnescapingFromURLArgument("%FF"));
}

TEST_F(ParleyApiUtilTest, SystemVersionAbove6Point9CountsAsSystem7) {
  for (const auto& [version, seven] :
       {std::pair{"6.1", false}, {"6.9", false}, {"7.0", true}, {"10.3.1", true}}) {
    setSystemVersion(version);
    EXPECT_EQ(ParleyApiUtil::isiOS7plus(), seven) << version;
  }
}

TEST_F(ParleyApiUtilTest, UrlsAreBuiltFromTheAppId) {
  EXPECT_FALSE(ParleyApiUtil::getParleyUrl(""));
  EXPECT_EQ(ParleyApiUtil::getAppUrl("app1")->absoluteString(), "app1://");
  EXPECT_EQ(ParleyApiUtil::getAppUrlWithPlatformId("app1")->absoluteString(),
            "app1://platformId=parley");
  EXPECT_EQ(ParleyApiUtil::getAppUrlWithPlatformId("app1", "a=b")->absoluteString(),
            "app1://platformId=parley/a=b");
  EXPECT_TRUE(ParleyApiUtil::isAppOpenUrl(NSURL::URLWithString("app1://oauth?code=1"), "app1"));
  EXPECT_FALSE(ParleyApiUtil::isAppOpenUrl(NSURL::URLWithString("app12://oauth"), "app1"));
  EXPECT_FALSE(ParleyApiUtil::isAppOpenUrl(NSURL::URLWithString("app1://oauth"), ""));
}

TEST_F(ParleyApiUtilTest, InstalledProbesAndTheSdkVersionOfTheInstalledParley) {
  EXPECT_FALSE(ParleyApiUtil::isPLAppSupportApi());
  EXPECT_EQ(ParleyApiUtil::getSDKVersion(), "");
  SimulatedDevice::shared().installApp("parley", [](const std::string&) { return true; });
  EXPECT_TRUE(ParleyApiUtil::isPLAppSupportApi());
  EXPECT_TRUE(ParleyApiUtil::isAppInstalledWithCatchException("parley"));
  EXPECT_FALSE(ParleyApiUtil::isAppInstalledWithCatchException(""));
  EXPECT_EQ(ParleyApiUtil::getSDKVersion(), "1.0");

  auto info = UIPasteboard::pasteboardWithName("parley_sdk_infomation", true);
  info->setData(*ParleyApiUtil::dataFromPropertyList(Value::dict({{"version", Value("2.3")}})),
                "content");
  EXPECT_EQ(ParleyApiUtil::getSDKVersion(), "2.3");
  info->setData({'x'}, "content");
  EXPECT_EQ(ParleyApiUtil::_internal_getSDKVersion(), "");
}

TEST_F(ParleyApiUtilTest, PropertyListsThatCannotBeReadOrWrittenAreNil) {
  EXPECT_TRUE(ParleyApiUtil::propertyListFromData({}).isNil());
  EXPECT_TRUE(ParleyApiUtil::propertyListFromData({'n', 'o'}).isNil());
  EXPECT_FALSE(ParleyApiUtil::dataFromPropertyList(Value()));
}
