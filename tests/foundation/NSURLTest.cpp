#include <gtest/gtest.h>

#include "platform/foundation/NSURL.h"

namespace {
// A URL's parts in one line: scheme, user, password, host, port, path, query and fragment.
std::string parts(const NSURL& url) {
  return url.scheme() + "|" + url.user() + "|" + url.password() + "|" + url.host() + "|" +
         (url.port() ? std::to_string(*url.port()) : "-") + "|" + url.path() + "|" + url.query() +
         "|" + url.fragment();
}
}  // namespace

TEST(NSURL, ParsesTheComponentsOfHierarchicalAppSchemeAndOpaqueUrls) {
  const std::pair<const char*, const char*> rows[] = {
      {"http://user:pw@example.com:8080/index.php/Api/?a=1&b=%E4%B8%AD#top",
       "http|user|pw|example.com|8080|/index.php/Api|a=1&b=%E4%B8%AD|top"},
      {"parley://app/app123/sendreq/?", "parley|||app|-|/app123/sendreq||"},
      {"mailto:a@b.c", "mailto||||-|||"},
      {"http://[::1]:80/", "http|||::1|80|/||"}};
  for (const auto& [text, expected] : rows) {
    auto url = NSURL::URLWithString(text);
    ASSERT_TRUE(url) << text;
    EXPECT_EQ(parts(*url), expected);
    EXPECT_EQ(url->absoluteString(), text);
  }
  EXPECT_EQ(NSURL::URLWithString("mailto:a@b.c")->resourceSpecifier(), "a@b.c");
  EXPECT_EQ(NSURL::fileURLWithPath("/tmp/a b")->path(), "/tmp/a b");
}

TEST(NSURL, InvalidTextGivesNoUrl) {
  for (const char* bad :
       {"", "no scheme here", "/just/a/path", "http://a b", "http://例子.com", "1http://x",
        "http://x/%zz", "http://x:port/", "http://x/{y}", ":nothing", "http://x:99999/"})
    EXPECT_FALSE(NSURL::URLWithString(bad)) << bad;
}
