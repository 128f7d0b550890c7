#include <nettle/arcfour.h>
#include <zlib.h>

#include <thread>

#include "LoopbackListener.h"
#include "StatTestFixture.h"
#include "parley/stats/PLOStatCustomEvent.h"
#include "parley/stats/PLOStatDataConfigHolder.h"
#include "parley/stats/PLOStatErrorEvent.h"

namespace {

// RC4 and gunzip computed here with nettle and zlib, not through the module.
std::string rc4(std::string bytes) {
  const std::string key = "7be2c90d4a1f63e85d0b9c27f4a6e13d";
  arcfour_ctx ctx;
  arcfour_set_key(&ctx, key.size(), reinterpret_cast<const uint8_t*>(key.data()));
  arcfour_crypt(&ctx, bytes.size(), reinterpret_cast<uint8_t*>(bytes.data()),
                reinterpret_cast<const uint8_t*>(bytes.data()));
  return bytes;
}

std::string gunzip(const std::string& in) {
  z_stream zs{};
  EXPECT_EQ(inflateInit2(&zs, 16 + MAX_WBITS), Z_OK);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  std::string out(1 << 20, '\0');
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END) << "a complete gzip stream";
  out.resize(zs.total_out);
  inflateEnd(&zs);
  return out;
}

std::shared_ptr<PLOStatCustomEvent> customEvent(const std::string& id) {
  auto event = std::make_shared<PLOStatCustomEvent>();
  event->eventID = id;
  return event;
}

// Takes one request on the listener and answers it with {"ret":0} followed by spaces, `size`
// bytes in all, with its length declared or in chunks. Answers how much it wrote before the
// client hung up.
size_t answerOversized(int listener, bool chunked, size_t size) {
  const int fd = ::accept(listener, nullptr, nullptr);
  if (fd < 0) return 0;
  // The request first: its head, then the body of its declared length.
  std::string request;
  size_t expected = SIZE_MAX;
  char buffer[4096];
  while (request.size() < expected) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
    const size_t end = request.find("\r\n\r\n");
    const size_t length = request.find("Content-Length: ");
    if (end != std::string::npos && length != std::string::npos)
      expected = end + 4 + std::strtoul(request.c_str() + length + 16, nullptr, 10);
  }
  auto put = [fd](const std::string& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  };
  std::string block = "{\"ret\":0}" + std::string((64u << 10) - 9, ' ');
  size_t written = 0;
  bool open = put("HTTP/1.1 200 OK\r\n" +
                  (chunked ? std::string("Transfer-Encoding: chunked\r\n")
                           : "Content-Length: " + std::to_string(size) + "\r\n") +
                  "\r\n");
  while (open && written < size) {
    open = chunked ? put("10000\r\n" + block + "\r\n") : put(block);
    if (open) written += block.size();
    block.assign(block.size(), ' ');
  }
  if (open && chunked) put("0\r\n\r\n");
  ::close(fd);
  return written;
}

}  // namespace

class PLOStatDispatcherTest : public StatTestFixture {
 protected:
  bool request(const std::string& batch) {
    std::optional<std::string> response;
    return PLOStatDispatcher::getInstance()->nsRequest(batch, response);
  }
};

TEST_F(PLOStatDispatcherTest, BatchesFrom256BytesOnAreCompressedBehindTheirBigEndianLength) {
  EXPECT_EQ(PLOStatDispatcher::batchText({R"({"et":1000,"ei":"a"})"}), R"([{"et":1000,"ei":"a"}])");
  for (const size_t size : {22u, 255u, 256u}) {
    SCOPED_TRACE(size);
    const std::string batch = "[" + std::string(size - 2, 'y') + "]";
    std::string encoding;
    const auto body = PLOStatDispatcher::frameBody(batch, encoding);
    ASSERT_TRUE(body);
    const std::string payload = rc4(*body);
    if (size < 256) {
      EXPECT_EQ(encoding, "rc4");
      EXPECT_EQ(payload, batch);
      continue;
    }
    EXPECT_EQ(encoding, "rc4,gzip");
    EXPECT_EQ(payload.substr(0, 6), std::string("\x00\x00\x01\x00\x1f\x8b", 6))
        << "the length, then a gzip header";
    EXPECT_EQ(gunzip(payload.substr(4)), batch);
  }
}

TEST_F(PLOStatDispatcherTest, AnEventWithEmptyJsonIsNotJoinedIntoABody) {
  EXPECT_EQ(PLOStatDispatcher::batchText({"", R"({"a":1})", "", R"({"b":2})"}),
            R"([{"a":1},{"b":2}])");

  // A batch of nothing but empty texts goes out as an empty array.
  auto row = std::make_shared<PLOStatStoreEvent>();
  bool called = false, delivered = false;
  PLOStatDispatcher::getInstance()->send({row}, [&](bool ok) {
    called = true;
    delivered = ok;
  });
  PLOStatDispatcher::getInstance()->waitForQueue();
  EXPECT_TRUE(called);
  EXPECT_TRUE(delivered);
  ASSERT_EQ(server.reports().size(), 1u);
  EXPECT_EQ(server.reports()[0].events, Value::array());
}

TEST_F(PLOStatDispatcherTest, ABatchReachesTheServerAsTheEventsTexts) {
  std::vector<std::shared_ptr<PLOStatStoreEvent>> rows;
  std::vector<Value> sent;
  for (const char* id : {"first", "second"}) {
    rows.push_back(std::make_shared<PLOStatStoreEvent>());
    rows.back()->content = customEvent(id)->toJsonString();
    sent.push_back(*Value::fromJSON(rows.back()->content));
  }
  bool delivered = false;
  PLOStatDispatcher::getInstance()->send(rows, [&](bool ok) { delivered = ok; });
  PLOStatDispatcher::getInstance()->waitForQueue();
  EXPECT_TRUE(delivered);
  EXPECT_EQ(server.events(), sent);
  EXPECT_TRUE(server.reports()[0].compressed) << "two whole events make more than 255 bytes";
}

TEST_F(PLOStatDispatcherTest, OnlyAReplyWhoseRetReadsZeroCountsAsDelivered) {
  EXPECT_TRUE(request("[]")) << R"({"ret":0} with a number)";
  // Status 500 fails even when its body says ret 0.
  for (const auto failure : {StatServer::Failure::RetNotZero, StatServer::Failure::Status500,
                             StatServer::Failure::NotJson, StatServer::Failure::Empty}) {
    server.failNext(1, failure);
    EXPECT_FALSE(request("[]")) << static_cast<int>(failure);
  }
  EXPECT_TRUE(NSLogSink::contains("Receive invalid response:500"));

  server.setCipheredReplies(false);
  EXPECT_TRUE(request("[]")) << "a reply without Content-Encoding is plain JSON";
}

TEST_F(PLOStatDispatcherTest, AReplysConfigurationReachesTheHolder) {
  PLOStatDataConfigHolder::initSingleton([] {});
  server.setConfiguration(1, Value::dict({{"rs", Value(5)}}), 3, "m");
  bool delivered = false;
  PLOStatDispatcher::getInstance()->send(customEvent("x"), [&](bool ok) { delivered = ok; });
  PLOStatDispatcher::getInstance()->waitForQueue();
  EXPECT_TRUE(delivered);
  EXPECT_EQ(PLOStatConfig::getInstance()->reportStrategy(), 5);
  EXPECT_EQ(server.lastConfigurationSent()["1"]["v"].intValue(), 3);
}

TEST_F(PLOStatDispatcherTest, AnEventTooLongToReportIsDroppedAndCountsAsDelivered) {
  PLOStatConfig::getInstance()->setMaxReportEventLength(40);
  auto event = customEvent(std::string(60, 'z'));
  bool called = false, delivered = false;
  PLOStatDispatcher::getInstance()->sendEvent(event, [&](bool ok) {
    called = true;
    delivered = ok;
  });
  PLOStatDispatcher::getInstance()->waitForQueue();
  EXPECT_TRUE(called);
  EXPECT_TRUE(delivered);
  EXPECT_TRUE(server.reports().empty());
  EXPECT_TRUE(NSLogSink::contains("[ERROR]Too large event content length to report:"));

  // Error events have no limit.
  auto error = std::make_shared<PLOStatErrorEvent>();
  error->error = std::string(200, 'e');
  PLOStatDispatcher::getInstance()->sendEvent(error, [&](bool ok) { delivered = ok; });
  PLOStatDispatcher::getInstance()->waitForQueue();
  EXPECT_EQ(server.eventCount(), 1u);
}

TEST_F(PLOStatDispatcherTest, TransportFailuresAreReportedAsNotDelivered) {
  server.goAway();
  EXPECT_FALSE(request("[]"));
  EXPECT_TRUE(NSLogSink::contains("Failed to send request for reason:"));
  ASSERT_TRUE(server.comeBack());
  EXPECT_TRUE(request("[]"));

  // Without a configured URL the placeholder endpoint is never dialled.
  PLOStatConfig::getInstance()->setStatReportURL("");
  EXPECT_FALSE(request("[]"));
}

TEST_F(PLOStatDispatcherTest, RequestsTimeOutAfterTenSeconds) {
  EXPECT_EQ(PLOStatDispatcher::requestTimeout(), 10.0);
  // The same limit, shortened so that the test need not wait ten seconds.
  PLOStatDispatcher::setRequestTimeout(0.3);
  server.setDelay(2);
  const auto started = std::chrono::steady_clock::now();
  const bool delivered = request("[]");
  const auto waited = std::chrono::steady_clock::now() - started;
  PLOStatDispatcher::setRequestTimeout(10);
  EXPECT_FALSE(delivered);
  EXPECT_LT(waited, std::chrono::seconds(2));
  EXPECT_TRUE(NSLogSink::contains("Failed to send request for reason:Timeout was reached"));
}

TEST_F(PLOStatDispatcherTest, AReplyPastItsCapIsAFailedSendAndIsNotReadToItsEnd) {
  constexpr size_t kSize = 64u << 20;
  for (const bool chunked : {false, true}) {
    SCOPED_TRACE(chunked ? "chunked, of no declared length" : "of a declared length");
    LoopbackListener listener;
    PLOStatConfig::getInstance()->setStatReportURL(
        "http://127.0.0.1:" + std::to_string(listener.port()) + "/mstat/report");
    size_t written = 0;
    std::thread server([&] { written = answerOversized(listener.fd(), chunked, kSize); });
    const bool delivered = request("[]");
    server.join();
    EXPECT_FALSE(delivered);
    EXPECT_LT(written, kSize) << "the client stopped reading at its cap";
  }
  EXPECT_TRUE(NSLogSink::contains("Failed to send request for reason:reply longer than 262144"));
}
