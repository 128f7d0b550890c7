#include <gtest/gtest.h>

#include "core/Config.h"

TEST(ConfigTest, TheEndpointIsTheSettableHostPlusTheFixedPath) {
  Config::setApiHost("http://127.0.0.1:4321/");
  EXPECT_EQ(Config::apiEndpoint(), "http://127.0.0.1:4321/index.php/DemoGulvanebeta");
  Config::setTimeout(1.5);
  EXPECT_EQ(Config::timeout(), 1.5);
  Config::setTimeout(0);
  EXPECT_EQ(Config::timeout(), 10.0);
  Config::reset();
  EXPECT_EQ(Config::apiHost(), Config::kDefaultApiHost);
}

TEST(ConfigTest, NamesTheThreeGamePlatforms) {
  EXPECT_EQ(Config::platformDisplayName("3"), "掌上");
  EXPECT_EQ(Config::platformIconName("1"), "ktr_plat_1.png");
  EXPECT_EQ(Config::platformDisplayName("4"), "");
  EXPECT_EQ(Config::platformIconName(""), "");
}
