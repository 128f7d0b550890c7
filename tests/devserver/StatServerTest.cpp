#include <gtest/gtest.h>
#include <httplib.h>
#include <nettle/arcfour.h>
#include <zlib.h>

#include "DevserverTestSupport.h"
#include "devserver/StatServer.h"
#include "support/Watchdog.h"

namespace {

using devserver_test::gzip;

const std::string kKey = "7be2c90d4a1f63e85d0b9c27f4a6e13d";

std::string rc4(std::string bytes) {
  arcfour_ctx ctx;
  arcfour_set_key(&ctx, kKey.size(), reinterpret_cast<const uint8_t*>(kKey.data()));
  arcfour_crypt(&ctx, bytes.size(), reinterpret_cast<uint8_t*>(bytes.data()),
                reinterpret_cast<const uint8_t*>(bytes.data()));
  return bytes;
}

std::string lengthPrefixed(const std::string& text, uint32_t length) {
  std::string prefix = {static_cast<char>(length >> 24), static_cast<char>(length >> 16),
                        static_cast<char>(length >> 8), static_cast<char>(length)};
  return prefix + gzip(text);
}

}  // namespace

class StatServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.start()); }

  httplib::Result post(const std::string& body, const std::string& encoding) {
    httplib::Client client("127.0.0.1", server.port());
    client.set_read_timeout(5, 0);
    return client.Post(StatServer::kReportPath, {{"Content-Encoding", encoding}}, body, "json");
  }

  static Value replyOf(const httplib::Result& result) {
    if (!result) return Value();
    const bool ciphered = result->get_header_value("Content-Encoding") == "rc4";
    auto json = Value::fromJSON(ciphered ? rc4(result->body) : result->body);
    return json ? *json : Value();
  }

  Watchdog watchdog{60, "StatServerTest"};
  StatServer server;
};

TEST_F(StatServerTest, ReadsPlainAndCompressedReportsAndRecordsEveryEvent) {
  const std::string small = R"([{"et":1000,"ei":"onBackground_PL","si":7}])";
  auto reply = post(rc4(small), "rc4");
  ASSERT_TRUE(reply);
  EXPECT_EQ(replyOf(reply)["ret"].intValue(), 0);

  std::string big = "[";
  for (int i = 0; i < 20; ++i) big += std::string(i ? "," : "") + R"({"et":3,"er":"error text"})";
  big += "]";
  ASSERT_TRUE(post(rc4(lengthPrefixed(big, static_cast<uint32_t>(big.size()))), "rc4,gzip"));

  const auto reports = server.reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_FALSE(reports[0].compressed);
  EXPECT_TRUE(reports[1].compressed);
  EXPECT_TRUE(reports[1].acknowledged);
  EXPECT_EQ(server.eventCount(), 21u);
  const auto lines = server.summaryLines();
  EXPECT_EQ(lines.front(), "et=1000 onBackground_PL");
  EXPECT_EQ(lines[lines.size() - 2], "2 report(s), 21 event(s); et=1000: 1; et=3: 20");
  EXPECT_EQ(lines.back(), "last configuration: (none)");
}

TEST_F(StatServerTest, RejectsWhatIsNoReport) {
  const std::string batch = R"([{"et":2}])";
  EXPECT_EQ(post(rc4(lengthPrefixed(batch, 99)), "rc4,gzip")->status, 400) << "wrong length";
  EXPECT_EQ(post(batch, "rc4")->status, 400) << "not enciphered";
  EXPECT_EQ(post(rc4(R"({"et":2})"), "rc4")->status, 400) << "not an array";
  EXPECT_EQ(post(rc4("[1]"), "rc4")->status, 400) << "an event that is no object";
  EXPECT_EQ(server.rejectedCount(), 4u);
  EXPECT_EQ(server.eventCount(), 0u);
}

TEST_F(StatServerTest, AnswersWithTheConfigurationItWasGiven) {
  server.setConfiguration(1, Value::dict({{"rs", Value(2)}}), 4, "abc");
  server.setConfiguration(2, Value::dict({{"color", "red"}}), 1);
  const Value reply = replyOf(post(rc4("[]"), "rc4"));
  EXPECT_EQ(reply["cfg"], *Value::fromJSON(R"({"1": {"c": {"rs": 2}, "v": 4, "m": "abc"},
      "2": {"c": {"color": "red"}, "v": 1, "m": ""}})"));

  server.setCipheredReplies(false);
  server.clearConfiguration();
  auto plain = post(rc4("[]"), "rc4");
  EXPECT_EQ(plain->get_header_value("Content-Encoding"), "");
  EXPECT_EQ(plain->body, R"({"ret":0})");
}
