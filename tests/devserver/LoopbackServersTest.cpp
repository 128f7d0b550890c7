#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "core/Config.h"
#include "core/CurlHandle.h"
#include "core/EncDec.h"
#include "devserver/DevServer.h"
#include "devserver/LoopbackHttp.h"
#include "devserver/StatServer.h"
#include "support/Watchdog.h"

namespace {

// A connection to 127.0.0.1:port made by hand, so that a test decides when its bytes go out.
class RawClient {
 public:
  explicit RawClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { close(fd_); }
  bool connected() const { return connected_; }

  // Sends a POST and reads until the server closes the connection.
  std::string post(const std::string& path, const std::string& body) {
    const std::string request =
        "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
        "Connection: close\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    if (send(fd_, request.data(), request.size(), MSG_NOSIGNAL) < 0) return "";
    std::string reply;
    char buffer[4096];
    for (ssize_t n; (n = recv(fd_, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, n);
    return reply;
  }

 private:
  int fd_;
  bool connected_ = false;
};

std::string apiBody(const std::string& api) {
  const std::string params = "api=" + api;
  return "data=" +
         *EncDec::encryptUseDES(params + "&sign=" + EncDec::md5(params + Config::kSignKey));
}

}  // namespace

class LoopbackServersTest : public ::testing::Test {
 protected:
  Watchdog watchdog{60, "LoopbackServersTest"};
  DevServer dev, otherDev;
  StatServer stats, otherStats;
};

TEST_F(LoopbackServersTest, AClientThatWaitsBeforeSendingIsStillAnswered) {
  ASSERT_TRUE(dev.start());
  ASSERT_TRUE(stats.start());
  dev.reply("slow", R"({"state":"ok"})");
  const struct {
    const char* name;
    int port;
    std::string path, body, expected;
  } cases[] = {
      {"API server", dev.port(), Config::kApiPath, apiBody("slow"), R"({"state":"ok"})"},
      // Not a report: the point is that an answer comes at all.
      {"statistics server", stats.port(), StatServer::kReportPath, "{}", "HTTP/1.1 400"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawClient client(c.port);
    ASSERT_TRUE(client.connected());
    // The client itself is slow: this pause is the behaviour under test, not a wait for it.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NE(client.post(c.path, c.body).find(c.expected), std::string::npos);
  }
}

TEST_F(LoopbackServersTest, APortInUseIsRefusedAndTheNextServerFallsBackWithItsOwnTraffic) {
  ASSERT_TRUE(dev.start());
  ASSERT_TRUE(stats.start());
  // Neither kind of server shares a port with either kind.
  EXPECT_FALSE(otherDev.start("127.0.0.1", dev.port()));
  EXPECT_FALSE(otherDev.start("127.0.0.1", stats.port()));
  EXPECT_FALSE(otherStats.start("127.0.0.1", stats.port()));
  EXPECT_FALSE(otherStats.start("127.0.0.1", dev.port()));

  // As a second simulator does: any free port instead, and each sees only its own requests.
  std::ostringstream note;
  ASSERT_TRUE(loopback::startPreferring(otherDev, dev.port(), note, "demo"));
  EXPECT_EQ(note.str(), "port " + std::to_string(dev.port()) +
                            " is in use; the demo server listens on " + otherDev.baseUrl() + "\n");
  dev.reply("mine", R"({"state":"ok"})");
  otherDev.reply("mine", R"({"state":"ok"})");
  CurlHandle curl;
  for (int i = 0; i < 4; ++i) curl.post(dev.endpoint(), apiBody("mine"), 5);
  curl.post(otherDev.endpoint(), apiBody("mine"), 5);
  EXPECT_EQ(dev.requests().size(), 4u);
  EXPECT_EQ(otherDev.requests().size(), 1u);
}

TEST_F(LoopbackServersTest, StoppingNeverWaitsForAClientThatSendsNothing) {
  ASSERT_TRUE(dev.start());
  ASSERT_TRUE(stats.start());
  RawClient idleAtDev(dev.port()), idleAtStats(stats.port());
  ASSERT_TRUE(idleAtDev.connected() && idleAtStats.connected());
  // Both return at once; a stop that waited for these clients would trip the watchdog.
  dev.stop();
  stats.stop();
  EXPECT_FALSE(dev.isRunning() || stats.isRunning());
}
