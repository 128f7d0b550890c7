#include <gtest/gtest.h>

#include "platform/foundation/NSURL.h"

TEST(NSURL, ParsesTheComponentsOfAHierarchicalUrl) {
  auto url =
      NSURL::URLWithString("http://user:pw@example.com:8080/index.php/Api/?a=1&b=%E4%B8%AD#top");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->scheme(), "http");
  EXPECT_EQ(url->host(), "example.com");
  EXPECT_EQ(url->port(), 8080);
  EXPECT_EQ(url->user(), "user");
  EXPECT_EQ(url->password(), "pw");
  EXPECT_EQ(url->path(), "/index.php/Api");
  EXPECT_EQ(url->query(), "a=1&b=%E4%B8%AD");
  EXPECT_EQ(url->fragment(), "top");
  EXPECT_EQ(url->absoluteString(),
            "http://user:pw@example.com:8080/index.php/Api/?a=1&b=%E4%B8%AD#top");
}

TEST(NSURL, AppSchemesAndOpaqueUrlsParse) {
  auto parley = NSURL::URLWithString("parley://app/app123/sendreq/?");
  ASSERT_TRUE(parley);
  EXPECT_EQ(parley->host(), "app");
  EXPECT_EQ(parley->path(), "/app123/sendreq");
  EXPECT_EQ(parley->query(), "");
  auto mail = NSURL::URLWithString("mailto:a@b.c");
  ASSERT_TRUE(mail);
  EXPECT_EQ(mail->path(), "");
  EXPECT_EQ(mail->resourceSpecifier(), "a@b.c");
  EXPECT_FALSE(mail->port());
  auto v6 = NSURL::URLWithString("http://[::1]:80/");
  ASSERT_TRUE(v6);
  EXPECT_EQ(v6->host(), "::1");
  EXPECT_EQ(v6->path(), "/");
  EXPECT_EQ(NSURL::fileURLWithPath("/tmp/a b")->path(), "/tmp/a b");
}

TEST(NSURL, InvalidTextGivesNoUrl) {
  for (const char* bad :
       {"", "no scheme here", "/just/a/path", "http://a b", "http://例子.com", "1http://x",
        "http://x/%zz", "http://x:port/", "http://x/{y}", ":nothing", "http://x:99999/"})
    EXPECT_FALSE(NSURL::URLWithString(bad)) << bad;
}
