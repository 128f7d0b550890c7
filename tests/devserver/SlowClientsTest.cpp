#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <nettle/arcfour.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DevserverTestSupport.h"
#include "core/Config.h"
#include "core/EncDec.h"
#include "devserver/DevServer.h"
#include "devserver/LoopbackHttp.h"
#include "devserver/StatServer.h"
#include "support/Watchdog.h"

namespace {

using namespace devserver_test;

using std::chrono::milliseconds;

std::string head(const std::string& path, size_t length,
                 const std::string& extra = "Content-Type: application/x-www-form-urlencoded\r\n") {
  return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extra +
         "Content-Length: " + std::to_string(length) + "\r\n\r\n";
}

std::string request(
    const std::string& path, const std::string& body,
    const std::string& extra = "Content-Type: application/x-www-form-urlencoded\r\n") {
  return head(path, body.size(), extra) + body;
}

const std::string kStatKey = "scope_a_key";

// A report the statistics server accepts: one event, RC4-enciphered with its key.
std::string statReport() {
  std::string bytes = R"([{"type":"launch"}])";
  arcfour_ctx ctx;
  arcfour_set_key(&ctx, kStatKey.size(), reinterpret_cast<const uint8_t*>(kStatKey.data()));
  arcfour_crypt(&ctx, bytes.size(), reinterpret_cast<uint8_t*>(bytes.data()),
                reinterpret_cast<const uint8_t*>(bytes.data()));
  return bytes;
}

// A gzip stream that inflates to `size` zero bytes.
std::string gzipOfZeros(size_t size) { return gzip(std::string(size, '\0'), Z_BEST_COMPRESSION); }

std::string statusLine(const std::string& reply) { return reply.substr(0, reply.find("\r\n")); }

// Clients that send a request a byte at a time and never finish it, from a thread of their own.
// The pause between bytes is the behaviour under test, not a wait for something. Each stops when
// told to, when the server closes its connection, or after 30 seconds (giving up).
class Dribblers {
 public:
  Dribblers(int port, const std::string& path, int count) {
    for (int i = 0; i < count; ++i) {
      clients_.push_back(std::make_unique<RawClient>(port));
      // The head of a request whose last header line never ends.
      clients_.back()->send("POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ");
    }
    thread_ = std::thread([this] {
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!stop_) {
        if (std::chrono::steady_clock::now() > giveUp) {
          gaveUp_ = true;
          return;
        }
        bool anyOpen = false;
        for (auto& client : clients_) anyOpen = client->send("a") || anyOpen;
        if (!anyOpen) return;
        std::this_thread::sleep_for(milliseconds(50));
      }
    });
  }
  ~Dribblers() { finish(); }

  bool allConnected() const {
    for (const auto& client : clients_) {
      if (!client->connected()) return false;
    }
    return true;
  }
  // Stops dribbling; true when they stopped before giving up.
  bool finish() {
    stop_ = true;
    return closedByServer();
  }
  // Waits until every connection has been closed by the server; false when they gave up first.
  bool closedByServer() {
    if (thread_.joinable()) thread_.join();
    return !gaveUp_;
  }

 private:
  std::vector<std::unique_ptr<RawClient>> clients_;
  std::thread thread_;
  std::atomic<bool> stop_{false}, gaveUp_{false};
};

}  // namespace

class SlowClientsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dev.start());
    ASSERT_TRUE(stats.start());
    dev.reply("plain", R"({"state":"ok"})");
  }

  struct Target {
    const char* name;
    int port;
    std::string path, body, answer;
  };
  // A request that each server answers, and what the answer contains.
  std::vector<Target> targets() {
    return {
        {"API server", dev.port(), Config::kApiPath, apiBody("plain"), R"({"state":"ok"})"},
        {"statistics server", stats.port(), StatServer::kReportPath, statReport(), "HTTP/1.1 200"},
    };
  }
  std::string plainRequest(const Target& target) {
    return request(target.path, target.body,
                   target.port == stats.port()
                       ? "Content-Encoding: rc4\r\n"
                       : "Content-Type: application/x-www-form-urlencoded\r\n");
  }

  Watchdog watchdog{120, "SlowClientsTest"};
  DevServer dev;
  StatServer stats{kStatKey};
};

TEST_F(SlowClientsTest, ClientsDribblingRequestsDoNotKeepAPlainRequestFromBeingAnswered) {
  for (const auto& target : targets()) {
    SCOPED_TRACE(target.name);
    // More than a fixed pool of connection threads on any machine this runs on.
    Dribblers dribblers(target.port, target.path, 32);
    ASSERT_TRUE(dribblers.allConnected());
    RawClient plain(target.port);
    ASSERT_TRUE(plain.send(plainRequest(target)));
    EXPECT_NE(plain.reply().find(target.answer), std::string::npos);
    EXPECT_TRUE(dribblers.finish());
  }
}

TEST_F(SlowClientsTest, StoppingReturnsWhileAClientKeepsSending) {
  for (const auto& target : targets()) {
    SCOPED_TRACE(target.name);
    Dribblers dribbler(target.port, target.path, 1);
    // Once a later connection has been answered, the dribbler's has been taken up too.
    RawClient plain(target.port);
    ASSERT_TRUE(plain.send(plainRequest(target)));
    ASSERT_NE(plain.reply().find(target.answer), std::string::npos);
    if (target.port == dev.port())
      dev.stop();
    else
      stats.stop();
    // A stop that waited for the dribbler would return only once it gave up.
    EXPECT_TRUE(dribbler.finish());
  }
  EXPECT_FALSE(dev.isRunning() || stats.isRunning());
}

TEST_F(SlowClientsTest, ASilentCrowdDoesNotPushOutAClientThatWaitsBeforeSending) {
  for (const auto& target : targets()) {
    SCOPED_TRACE(target.name);
    std::vector<std::unique_ptr<RawClient>> silent;
    for (int i = 0; i < 16; ++i) {
      silent.push_back(std::make_unique<RawClient>(target.port));
      ASSERT_TRUE(silent.back()->connected());
    }
    RawClient slow(target.port);
    ASSERT_TRUE(slow.connected());
    // The client itself is slow: this pause is the behaviour under test.
    std::this_thread::sleep_for(milliseconds(300));
    ASSERT_TRUE(slow.send(plainRequest(target)));
    EXPECT_NE(slow.reply().find(target.answer), std::string::npos);
  }
}

TEST_F(SlowClientsTest, ACompleteRequestIsAnsweredAfterTheClientHalfCloses) {
  // Answers that take a moment, so that the client's end of input is there before them.
  dev.reply("plain", R"({"state":"ok"})", 0.05);
  stats.setDelay(0.05);
  for (const auto& target : targets()) {
    SCOPED_TRACE(target.name);
    for (int i = 0; i < 5; ++i) {
      RawClient client(target.port);
      ASSERT_TRUE(client.send(plainRequest(target)));
      client.halfClose();
      EXPECT_NE(client.reply().find(target.answer), std::string::npos);
    }
  }
}

TEST_F(SlowClientsTest, ABodyOverTheLimitIsRefusedBeforeAnyHandlerSeesIt) {
  const std::string body(loopback::Server::kMaxBodyBytes + 1, 'a');
  for (const auto& target : targets()) {
    SCOPED_TRACE(target.name);
    for (const char* type :
         {"Content-Type: text/plain\r\n", "Content-Type: application/x-www-form-urlencoded\r\n"}) {
      RawClient client(target.port);
      ASSERT_TRUE(client.send(request(target.path, body, type)));
      EXPECT_EQ(statusLine(client.reply()), "HTTP/1.1 413 Payload Too Large");
    }
  }
  EXPECT_EQ(dev.rejectedCount(), 0u);
  EXPECT_EQ(stats.rejectedCount(), 0u);
  // Both go on answering.
  for (const auto& target : targets()) {
    RawClient client(target.port);
    ASSERT_TRUE(client.send(plainRequest(target)));
    EXPECT_NE(client.reply().find(target.answer), std::string::npos) << target.name;
  }
}

TEST_F(SlowClientsTest, BodiesWithoutADeclaredLengthOrThatWouldInflateNeverReachAHandler) {
  // Chunked: cut off at the limit, whatever the client goes on sending.
  std::string chunked = "POST " + std::string(Config::kApiPath) +
                        " HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n";
  const std::string chunk(1 << 16, 'a');
  for (size_t sent = 0; sent <= loopback::Server::kMaxBodyBytes; sent += chunk.size())
    chunked += "10000\r\n" + chunk + "\r\n";
  chunked += "0\r\n\r\n";
  {
    RawClient client(dev.port());
    client.send(chunked);  // the server may stop reading before the end
    client.reply();
  }
  // Compressed: the library would inflate it with no bound (here a few KB to twice the limit), so
  // it is refused unread.
  {
    RawClient client(dev.port());
    const std::string bomb = gzipOfZeros(2 * loopback::Server::kMaxBodyBytes);
    ASSERT_LT(bomb.size(), 64u << 10);
    ASSERT_TRUE(client.send(
        request(Config::kApiPath, bomb, "Content-Encoding: gzip\r\nContent-Type: text/plain\r\n")));
    EXPECT_EQ(statusLine(client.reply()), "HTTP/1.1 415 Unsupported Media Type");
  }
  EXPECT_EQ(dev.rejectedCount(), 0u);
  EXPECT_TRUE(dev.requests().empty());
}

TEST(LoopbackServerTest, ARequestNotWhollyArrivedByTheDeadlineIsDropped) {
  Watchdog watchdog{60, "LoopbackServerTest"};
  loopback::Server server;
  server.setRequestDeadline(milliseconds(300));
  std::atomic<int> handled{0};
  server.Post("/slow", [&](const httplib::Request&, httplib::Response& response) {
    ++handled;
    response.set_content("done", "text/plain");
  });
  std::thread thread;
  const int port = loopback::run(server, thread, "127.0.0.1", 0);
  ASSERT_NE(port, 0);
  {
    Dribblers dribbler(port, "/slow", 1);
    ASSERT_TRUE(dribbler.allConnected());
    EXPECT_TRUE(dribbler.closedByServer());
  }
  // A request that comes whole is answered as ever.
  RawClient client(port);
  ASSERT_TRUE(client.send(request("/slow", "abcd", "")));
  EXPECT_NE(client.reply().find("done"), std::string::npos);
  EXPECT_EQ(handled, 1);
  loopback::halt(server, thread);
}
