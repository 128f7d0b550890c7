#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "DevserverTestSupport.h"
#include "core/Config.h"
#include "core/CurlHandle.h"
#include "core/EncDec.h"
#include "devserver/DevServer.h"
#include "devserver/LoopbackHttp.h"
#include "devserver/StatServer.h"
#include "support/Watchdog.h"

using namespace devserver_test;

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
